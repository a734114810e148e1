#include "VirtualDriver.h"

namespace varonel::core {

VirtualDriver::VirtualDriver(Transport& transport, audio::OfflineOutput& output,
                             VirtualClock& clock)
    : m_transport(transport),
      m_output(output),
      m_clock(clock),
      m_timer3Due(clock.monotonicMs() + Transport::kTimer3PeriodMs) {
    // The output waits for the decoders; the transport waits for files to open.
    m_transport.setLoadsAwaited(true);
}

void VirtualDriver::advanceMs(int64_t ms) {
    const int64_t end = nowMs() + ms;
    while (nowMs() < end) {
        step();
    }
}

bool VirtualDriver::advanceUntil(const std::function<bool()>& done, int64_t limitMs) {
    const int64_t end = nowMs() + limitMs;
    while (!done()) {
        if (nowMs() >= end) {
            return false;
        }
        step();
    }
    return true;
}

// One block of audio, then whatever a window's event loop would have run in it:
// the waits' poll and the timers that came due, a timer that was (re)enabled
// firing one period after that.
void VirtualDriver::step() {
    const float* block = m_output.pull(kBlockFrames);
    if (m_sink) {
        m_sink(block, kBlockFrames);
    }
    m_clock.setMs(m_output.elapsedMs());
    const int64_t now = nowMs();
    m_transport.pollWaits();
    if (m_transport.timer1Enabled() && !m_timer1WasEnabled) {
        m_timer1Due = now + Transport::kTimer1PeriodMs;
    }
    m_timer1WasEnabled = m_transport.timer1Enabled();
    if (m_timer1WasEnabled && now >= m_timer1Due) {
        m_timer1Due += Transport::kTimer1PeriodMs;
        m_transport.Timer1_Timer();
    }
    if (now >= m_timer3Due) {
        m_timer3Due += Transport::kTimer3PeriodMs;
        m_transport.Timer3_Timer();
    }
    // A command run by a tick may have switched Timer1 on or off.
    if (m_transport.timer1Enabled() != m_timer1WasEnabled) {
        m_timer1WasEnabled = m_transport.timer1Enabled();
        m_timer1Due = now + Transport::kTimer1PeriodMs;
    }
}

}  // namespace varonel::core
