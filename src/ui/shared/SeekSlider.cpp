#include "ui/shared/SeekSlider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

namespace varonel::ui {

SeekSlider::SeekSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    // The programs' keys are read by their ticks; a focused slider would move too.
    setFocusPolicy(Qt::NoFocus);
}

QRect SeekSlider::handleRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

int SeekSlider::valueAt(QPoint point) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = handleRect();
    const bool across = orientation() == Qt::Horizontal;
    const int length = across ? handle.width() : handle.height();
    const int start = across ? groove.x() : groove.y();
    const int end = across ? groove.right() : groove.bottom();
    const int at = (across ? point.x() : point.y()) - length / 2 - start;
    return QStyle::sliderValueFromPosition(minimum(), maximum(), at, end - length + 1 - start,
                                           option.upsideDown);
}

void SeekSlider::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || handleRect().contains(at)) {
        QSlider::mousePressEvent(event);
        return;
    }
    setSliderPosition(valueAt(at));
    // At the ends of the groove the handle may stop short of the pointer: the
    // press is then made on the handle's middle, still a hold and not a page.
    const QRect handle = handleRect();
    const QPoint onHandle = handle.contains(at) ? at : handle.center();
    QMouseEvent press(event->type(), onHandle, mapToGlobal(onHandle), event->button(),
                      event->buttons(), event->modifiers());
    QSlider::mousePressEvent(&press);
    event->setAccepted(press.isAccepted());
}

}  // namespace varonel::ui
