#include "ui/player/PitchSlider.h"

#include <QWheelEvent>

#include "core/player/PlayerDisplay.h"

namespace varonel::ui {

namespace {
// A notch of a mouse wheel, in eighths of a degree.
constexpr int kNotch = 120;
}  // namespace

PitchSlider::PitchSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(core::kPitchMin, core::kPitchMax);
    setSingleStep(1);
    setPageStep(1);
    // The deck's keys are read by the tick; a focused slider would move too.
    setFocusPolicy(Qt::NoFocus);
}

void PitchSlider::mousePressEvent(QMouseEvent* event) {
    QSlider::mousePressEvent(event);
    // One step for the click, none more while the button stays down.
    setRepeatAction(SliderNoAction);
}

void PitchSlider::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const int turned = delta.y() != 0 ? delta.y() : delta.x();
    // A natural scrolling reports the wheel the other way round.
    m_wheelEighths += event->inverted() ? -turned : turned;
    while (m_wheelEighths >= kNotch) {
        m_wheelEighths -= kNotch;
        triggerAction(SliderSingleStepAdd);
    }
    while (m_wheelEighths <= -kNotch) {
        m_wheelEighths += kNotch;
        triggerAction(SliderSingleStepSub);
    }
    event->accept();
}

}  // namespace varonel::ui
