#pragma once
// The about window `F2`, also shown while the main window loads: a picture,
// the program's name, version and revision, and where to find its makers.

#include <QLabel>
#include <QWidget>

namespace varonel::ui {

class SplashWindow final : public QWidget {
    Q_OBJECT

public:
    explicit SplashWindow(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QLabel* m_lblRev = nullptr;
};

}  // namespace varonel::ui
