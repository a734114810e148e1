#include "ui/player/ProgressBar.h"

#include <QPainter>
#include <algorithm>

namespace varonel::ui {

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProgressBar::setBar(double scaleSeconds, double seconds) {
    if (scaleSeconds != m_scale || seconds != m_seconds) {
        m_scale = std::max(scaleSeconds, 0.001);
        m_seconds = std::max(seconds, 0.0);
        update();
    }
}

double ProgressBar::barFraction() const {
    return std::min(m_seconds / m_scale, 1.0);
}

void ProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x10, 0x12, 0x16));
    const int length = int(rect().width() * barFraction());
    painter.fillRect(QRect(0, 0, length, height()),
                     QColor(0, 0, 255));  // light blue of the palette
}

}  // namespace varonel::ui
