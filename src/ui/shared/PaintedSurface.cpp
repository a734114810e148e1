#include "ui/shared/PaintedSurface.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>

namespace varonel::ui {

namespace {

constexpr char kImageProperty[] = "persistentBackground";

// Paints a widget's persistent image before the widget paints itself.
class BackgroundPainter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* widget = static_cast<QWidget*>(watched);
            const QImage image = widget->property(kImageProperty).value<QImage>();
            if (!image.isNull()) {
                QPainter painter(widget);
                painter.drawImage(widget->rect(), image);
            }
        }
        return false;
    }
};

// Once per widget; marked by a property, as the painter has no meta-object
// that a search by type could rely on.
void installPainter(QWidget* widget) {
    if (!widget->property("backgroundPainter").toBool()) {
        widget->setProperty("backgroundPainter", true);
        widget->installEventFilter(new BackgroundPainter(widget));
    }
}

// Dark texts on the light part of the shading, light texts below.
void markShades(QWidget* panel) {
    for (QWidget* child : panel->findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(child) && !qobject_cast<QAbstractButton*>(child)) {
            continue;
        }
        const QPoint middle = child->mapTo(panel, child->rect().center());
        const double fraction = panel->height() > 0 ? double(middle.y()) / panel->height() : 0;
        const char* shade = core::panelGreyAt(fraction) > 140 ? "light" : "dark";
        if (child->property("shade").toString() != QLatin1String(shade)) {
            child->setProperty("shade", shade);
            child->style()->unpolish(child);
            child->style()->polish(child);
        }
    }
}

}  // namespace

PaintedSurface::PaintedSurface(QWidget* widget) : m_widget(widget) {
    m_settings.scaleWidth = widget->width();
    m_settings.scaleHeight = widget->height();
    m_settings.scaleMode = 3;
}

bool PaintedSurface::readSettings(Settings* settings) const {
    *settings = m_settings;
    return m_widget != nullptr;
}

void PaintedSurface::setAutoRedraw(bool on) {
    m_settings.autoRedraw = on;
    if (on) {
        m_image = QImage(m_widget->size().expandedTo({1, 1}), QImage::Format_RGB32);
        m_image.fill(m_widget->palette().color(QPalette::Window));
    } else if (!m_image.isNull()) {
        // The drawing is done: it becomes the widget's persistent background.
        m_widget->setProperty(kImageProperty, m_image);
        installPainter(m_widget);
        m_widget->update();
    }
}

void PaintedSurface::fillBox(double x1, double y1, double x2, double y2, core::Rgb colour) {
    if (m_image.isNull() || m_settings.scaleWidth <= 0 || m_settings.scaleHeight <= 0) {
        return;
    }
    const double sx = m_image.width() / m_settings.scaleWidth;
    const double sy = m_image.height() / m_settings.scaleHeight;
    QPainter painter(&m_image);
    painter.fillRect(QRectF(QPointF(x1 * sx, y1 * sy), QPointF(x2 * sx, y2 * sy)),
                     QColor(colour.red, colour.green, colour.blue));
}

void paintPanelShading(QWidget* panel) {
    PaintedSurface surface(panel);
    core::Degrade(surface, {true, true, true, true, false, true, 2});
    markShades(panel);
}

}  // namespace varonel::ui
