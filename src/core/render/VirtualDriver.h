#pragma once
// Runs a transport in virtual time: renders the main chain's offline output block
// by block, moves the virtual clock with it, and fires the transport's ticks when
// their periods come round, as the window's timers would. Tests and the offline
// render use it; a render is identical every time and runs far faster than real
// time.

#include <cstdint>
#include <functional>

#include "Clock.h"
#include "OfflineOutput.h"
#include "Transport.h"

namespace varonel::core {

class VirtualDriver {
public:
    // 10 ms blocks at 44.1 kHz: ticks land within 10 ms of their due time.
    static constexpr int kBlockFrames = 441;

    VirtualDriver(Transport& transport, audio::OfflineOutput& output, VirtualClock& clock);

    // Called with each rendered block (interleaved stereo), e.g. to write it.
    void setBlockSink(std::function<void(const float*, int)> sink) { m_sink = std::move(sink); }

    // Renders `ms` of audio, ticking on the way.
    void advanceMs(int64_t ms);
    // Renders until `done` holds after a block, or `limitMs` have passed. Returns
    // whether `done` held.
    bool advanceUntil(const std::function<bool()>& done, int64_t limitMs);

    int64_t nowMs() const { return m_clock.monotonicMs(); }

private:
    void step();

    Transport& m_transport;
    audio::OfflineOutput& m_output;
    VirtualClock& m_clock;
    std::function<void(const float*, int)> m_sink;
    bool m_timer1WasEnabled = false;
    int64_t m_timer1Due = 0;
    int64_t m_timer3Due = 0;
};

}  // namespace varonel::core
