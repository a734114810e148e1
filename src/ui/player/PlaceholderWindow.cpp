#include "PlaceholderWindow.h"

#include <QLabel>

namespace varonel::ui {

PlaceholderWindow::PlaceholderWindow(const QString& title, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(title);
    auto* label = new QLabel(title, this);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSize(24);
    label->setFont(font);
    setCentralWidget(label);
    resize(800, 600);
}

}  // namespace varonel::ui
