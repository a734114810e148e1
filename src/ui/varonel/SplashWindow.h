#pragma once
// The window `F2` shown while the main window loads: the program's name and
// version on a plain frameless panel.

#include <QWidget>

namespace varonel::ui {

class SplashWindow final : public QWidget {
    Q_OBJECT

public:
    explicit SplashWindow(QWidget* parent = nullptr);
};

}  // namespace varonel::ui
