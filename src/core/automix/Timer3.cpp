#include "core/automix/Timer3.h"

#include <cmath>

#include "core/automix/Transport.h"

namespace varonel::core {

Timer3::Timer3(Transport& transport, const Clock& clock, TickSource& ticks, QObject* parent)
    : QObject(parent),
      m_transport(transport),
      m_clock(clock),
      m_tick(ticks.makeTick(QStringLiteral("Timer3"), kPeriodMs, [this] { Timer3_Timer(); })) {
    m_tick->start();
}

Timer3::~Timer3() = default;

void Timer3::Timer3_Timer() {
    const QTime now = m_clock.timeOfDay();
    const QString time = now.toString(QStringLiteral("HH:mm:ss"));
    if (time != m_time) {
        m_time = time;
        emit timeChanged(m_time);
    }
    if (m_keyboard) {
        if (m_keyboard->mainWindowActive()) {
            readKeys(now);
        }
        m_keyboard->tickRead();
    }
    m_transport.refillTick(now);
}

void Timer3::readKeys(const QTime& now) {
    if (m_keyboard->isHeld(TransportKey::Numpad0)) {
        m_transport.requestChain();
    }
    if (m_keyboard->isHeld(TransportKey::Space)) {
        spaceKey(now.msecsSinceStartOfDay() / 1000.0);
    }
    if (m_keyboard->isHeld(TransportKey::Enter)) {
        m_transport.CmdPlay_Click();
    }
}

// Space toggles start and stop; held down, it toggles again once the clock is more
// than two seconds past the whole second of the last toggle (the time is kept
// truncated to the second), so between one and two seconds later.
void Timer3::spaceKey(double now) {
    if (now - m_DernierEspace < 0) {
        m_DernierEspace = now - 3;  // midnight has passed
    }
    if (now - m_DernierEspace > 2) {
        m_DernierEspace = std::floor(now);
        if (m_transport.EnDiffusion()) {
            m_transport.CmdStop_Click();
        } else {
            m_transport.CmdPlay_Click();
        }
    }
}

}  // namespace varonel::core
