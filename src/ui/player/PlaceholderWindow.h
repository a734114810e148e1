#pragma once
// A plain main window that shows the program's title; the real windows replace it.

#include <QMainWindow>

namespace varonel::ui {

class PlaceholderWindow : public QMainWindow {
public:
    explicit PlaceholderWindow(const QString& title, QWidget* parent = nullptr);
};

}  // namespace varonel::ui
