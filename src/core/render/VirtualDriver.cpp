#include "core/render/VirtualDriver.h"

namespace varonel::core {

VirtualDriver::VirtualDriver(MainAudioChain& chain, VirtualClock& clock, VirtualTicks& ticks)
    : m_chain(chain),
      m_output(static_cast<audio::OfflineOutput&>(*chain.output)),
      m_clock(clock),
      m_ticks(ticks) {}

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

// A file opening takes no virtual time; then one block of audio, then the
// ticks that came due in it.
void VirtualDriver::step() {
    for (audio::FileSource& source : m_chain.sources) {
        source.waitForLoad(-1);
    }
    const float* block = m_output.pull(kBlockFrames);
    if (m_sink) {
        m_sink(block, kBlockFrames);
    }
    m_clock.setMs(m_output.elapsedMs());
    m_ticks.fireDue();
}

}  // namespace varonel::core
