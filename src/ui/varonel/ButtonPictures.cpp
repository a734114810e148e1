#include "ui/varonel/ButtonPictures.h"

#include <QPainter>
#include <QPainterPath>

#include "core/automix/TransportDisplay.h"

namespace varonel::ui {

namespace {

const QColor kUnlit(0x8a, 0x93, 0x9e);
const QColor kGreen(0x3d, 0xdc, 0x68);
const QColor kRed(0xf0, 0x4a, 0x3e);
const QColor kAmber(0xf5, 0xa6, 0x23);

enum class Shape { Play, Stop };

// A round lamp with its symbol: unlit pictures keep a dark body and a grey
// symbol, lit ones glow in their colour so that the state reads from afar.
QPixmap lamp(int size, Shape shape, const QColor& colour, bool lit) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body(1.5, 1.5, size - 3.0, size - 3.0);
    if (lit) {
        QRadialGradient glow(body.center(), body.width() / 2.0);
        glow.setColorAt(0.0, colour.lighter(130));
        glow.setColorAt(1.0, colour.darker(170));
        painter.setBrush(glow);
        painter.setPen(QPen(colour.lighter(150), 1.5));
    } else {
        painter.setBrush(QColor(0x2b, 0x31, 0x39));
        painter.setPen(QPen(QColor(0x4a, 0x52, 0x5c), 1.5));
    }
    painter.drawEllipse(body);

    painter.setPen(Qt::NoPen);
    painter.setBrush(lit ? QColor(0x12, 0x14, 0x17) : colour);
    const double s = size;
    if (shape == Shape::Play) {
        QPainterPath triangle;
        triangle.moveTo(s * 0.39, s * 0.28);
        triangle.lineTo(s * 0.74, s * 0.5);
        triangle.lineTo(s * 0.39, s * 0.72);
        triangle.closeSubpath();
        painter.drawPath(triangle);
    } else {
        painter.drawRoundedRect(QRectF(s * 0.32, s * 0.32, s * 0.36, s * 0.36), s * 0.04, s * 0.04);
    }
    return pixmap;
}

}  // namespace

QList<QPixmap> makeTransportPictures(int size) {
    QList<QPixmap> pictures(5);
    pictures[core::kPlayIdle] = lamp(size, Shape::Play, kUnlit, false);
    pictures[core::kPlayOnAir] = lamp(size, Shape::Play, kGreen, true);
    pictures[core::kStopIdle] = lamp(size, Shape::Stop, kUnlit, false);
    pictures[core::kStopOnAir] = lamp(size, Shape::Stop, kRed, true);
    pictures[core::kStopInProgress] = lamp(size, Shape::Stop, kAmber, true);
    return pictures;
}

QPixmap makeChainPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2b, 0x31, 0x39));
    painter.setPen(QPen(QColor(0x4a, 0x52, 0x5c), 1.5));
    painter.drawEllipse(QRectF(1.5, 1.5, size - 3.0, size - 3.0));
    // Two overlapping triangles: the next track takes over the one on air.
    const double s = size;
    painter.setPen(Qt::NoPen);
    for (double x : {0.26, 0.48}) {
        QPainterPath triangle;
        triangle.moveTo(s * x, s * 0.3);
        triangle.lineTo(s * (x + 0.28), s * 0.5);
        triangle.lineTo(s * x, s * 0.7);
        triangle.closeSubpath();
        painter.setBrush(x < 0.3 ? kUnlit.darker(130) : kAmber);
        painter.drawPath(triangle);
    }
    return pixmap;
}

QList<QPixmap> makeRequestPictures(int size) {
    QList<QPixmap> pictures;
    for (bool on : {false, true}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor colour = on ? QColor(0x4f, 0xb3, 0xff) : kUnlit;
        painter.setBrush(on ? colour.darker(250) : QColor(0x2b, 0x31, 0x39));
        painter.setPen(QPen(on ? colour : QColor(0x4a, 0x52, 0x5c), 1.5));
        painter.drawRoundedRect(QRectF(1.5, 1.5, size - 3.0, size - 3.0), size * 0.2, size * 0.2);
        // A circular arrow: the playlist refills itself.
        const QRectF ring(size * 0.25, size * 0.25, size * 0.5, size * 0.5);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colour, size * 0.08, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(ring, 100 * 16, 280 * 16);
        QPainterPath head;
        const QPointF tip(ring.center().x() + size * 0.02, ring.top());
        head.moveTo(tip + QPointF(size * 0.12, 0));
        head.lineTo(tip + QPointF(-size * 0.02, -size * 0.1));
        head.lineTo(tip + QPointF(-size * 0.02, size * 0.1));
        head.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPath(head);
        pictures.append(pixmap);
    }
    return pictures;
}

QPixmap makeCataloguePicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    painter.setBrush(QColor(0x2b, 0x31, 0x39));
    painter.setPen(QPen(QColor(0x4a, 0x52, 0x5c), 1.5));
    painter.drawRoundedRect(QRectF(1.5, 1.5, s - 3.0, s - 3.0), s * 0.2, s * 0.2);
    // The lines of a list, then the glass searching it.
    painter.setPen(QPen(kUnlit, s * 0.06, Qt::SolidLine, Qt::RoundCap));
    for (double y : {0.27, 0.42, 0.57}) {
        painter.drawLine(QPointF(s * 0.2, s * y), QPointF(s * 0.5, s * y));
    }
    const QColor glass(0x8f, 0xb4, 0xd8);
    painter.setPen(QPen(glass, s * 0.08, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(QColor(0x1b, 0x1f, 0x24));
    painter.drawEllipse(QPointF(s * 0.58, s * 0.5), s * 0.17, s * 0.17);
    painter.drawLine(QPointF(s * 0.7, s * 0.63), QPointF(s * 0.81, s * 0.76));
    return pixmap;
}

}  // namespace varonel::ui
