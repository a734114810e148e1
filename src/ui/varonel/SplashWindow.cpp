#include "SplashWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace varonel::ui {

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("F2"));
    setWindowTitle(QStringLiteral("Varonel"));
    setStyleSheet(
        QStringLiteral("QWidget#F2 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 #2a313a, stop:1 #15181c); }"
                       "QLabel { color: #e7ecf1; }"));
    setAttribute(Qt::WA_StyledBackground);

    auto* name = new QLabel(QStringLiteral("Varonel"), this);
    QFont big = name->font();
    big.setPointSize(32);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);

    const QString version = QCoreApplication::applicationVersion();
    auto* versionLabel = new QLabel(version, this);
    versionLabel->setObjectName(QStringLiteral("LblVersion"));
    versionLabel->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    layout->addWidget(name);
    layout->addWidget(versionLabel);
    setFixedSize(360, 180);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }
}

}  // namespace varonel::ui
