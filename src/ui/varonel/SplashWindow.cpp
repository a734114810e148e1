#include "ui/varonel/SplashWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "core/shared/CentrerFenetre.h"
#include "core/shared/TwipRect.h"

namespace varonel::ui {

namespace {

// The picture: a turntable drawn in code.
QPixmap turntablePicture() {
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x0e, 0x10, 0x13));
    painter.drawEllipse(QRectF(4, 4, 88, 88));
    painter.setPen(QPen(QColor(0x2c, 0x32, 0x3a), 1.2));
    for (int r = 14; r <= 40; r += 5) {
        painter.drawEllipse(QPointF(48, 48), r, r);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe0, 0x46, 0x3a));
    painter.drawEllipse(QPointF(48, 48), 11, 11);
    painter.setBrush(QColor(0xf4, 0xf6, 0xf8));
    painter.drawEllipse(QPointF(48, 48), 2, 2);
    return pixmap;
}

QLabel* infoLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

SplashWindow::SplashWindow(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("F2"));
    setWindowTitle(QStringLiteral("A propos de DJ Orval"));
    setStyleSheet(
        QStringLiteral("QWidget#F2 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 #2a313a, stop:1 #15181c); }"
                       "QLabel { color: #e7ecf1; }"
                       "QLabel#LblRev { color: #8fb4d8; }"));
    setAttribute(Qt::WA_StyledBackground);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(turntablePicture());
    picture->setAlignment(Qt::AlignCenter);

    auto* name = new QLabel(QStringLiteral("Varonel"), this);
    QFont big = name->font();
    big.setPointSize(28);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);

    auto* versionLabel = infoLabel("LblVersion", QCoreApplication::applicationVersion(), this);
    m_lblRev = infoLabel("LblRev", QStringLiteral("Révision"), this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 24, 40, 24);
    layout->addWidget(picture);
    layout->addWidget(name);
    layout->addWidget(versionLabel);
    layout->addWidget(m_lblRev);
    layout->addWidget(
        infoLabel("Label1", QStringLiteral("Studio Varonel, 12 rue des Platines, Lyon"), this));
    layout->addWidget(infoLabel("Label2", QStringLiteral("Tél. 04 00 00 00 00"), this));
    layout->addWidget(infoLabel("Label3", QStringLiteral("varonel.example.org"), this));
    layout->addWidget(
        infoLabel("Label4", QStringLiteral("Mixage automatique et pré-écoute"), this));
    setFixedSize(420, 340);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const core::TwipPosition at = core::CentrerFenetre(
            area.width() * core::kTwipsPerPixel, area.height() * core::kTwipsPerPixel,
            width() * core::kTwipsPerPixel, height() * core::kTwipsPerPixel);
        move(area.topLeft() + core::toPixels(at));
    }
}

// The revision is written again each time the window is shown or activated.
void SplashWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_lblRev->setText(QStringLiteral("Révision du 29 Juin 2011"));
}

void SplashWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_lblRev->setText(QStringLiteral("Révision du 29 Juin 2011"));
    }
}

}  // namespace varonel::ui
