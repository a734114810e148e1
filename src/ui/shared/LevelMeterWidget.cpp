#include "ui/shared/LevelMeterWidget.h"

#include <QPainter>
#include <algorithm>

namespace varonel::ui {

LevelMeterWidget::LevelMeterWidget(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LevelMeterWidget::setLevel(int level) {
    const int clamped = std::clamp(level, 0, kFullScale);
    const int shown = std::max(clamped, m_shown - kFallPerUpdate);
    if (shown != m_shown) {
        m_shown = std::max(shown, 0);
        update();
    }
}

void LevelMeterWidget::setBackground(const QColor& colour) {
    if (colour != m_background) {
        m_background = colour;
        update();
    }
}

void LevelMeterWidget::setCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void LevelMeterWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, m_background);

    // The gradient spans the whole meter, so that a colour always stands for
    // the same level; the level only decides how much of it shows.
    QLinearGradient gradient(area.topLeft(), area.topRight());
    gradient.setColorAt(0.0, QColor(0x2e, 0xb8, 0x57));
    gradient.setColorAt(0.65, QColor(0x9c, 0xd2, 0x3c));
    gradient.setColorAt(0.82, QColor(0xf2, 0xc1, 0x2e));
    gradient.setColorAt(1.0, QColor(0xe8, 0x3b, 0x30));
    const int length = int(int64_t(area.width()) * m_shown / kFullScale);
    painter.fillRect(QRect(area.left(), area.top(), length, area.height()), gradient);

    // Faint ticks every tenth of full scale help read the bar at a glance.
    painter.setPen(QColor(0, 0, 0, 90));
    for (int i = 1; i < 10; ++i) {
        const int x = area.left() + area.width() * i / 10;
        painter.drawLine(x, area.top(), x, area.bottom());
    }
    if (!m_caption.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(QColor(0xc0, 0xc0, 0xc0));  // silver
        painter.drawText(area.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, m_caption);
    }
}

}  // namespace varonel::ui
