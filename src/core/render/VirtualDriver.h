#pragma once
// Runs the main sound chain in virtual time: renders its offline output block
// by block, moves the virtual clock with it, and fires the ticks that came due,
// as a window's timers would. A file being opened holds virtual time still, as
// the render waits for the decoders: every run is the same and runs far faster
// than real time, through the program's own paths. Tests and the offline
// render use it.

#include <cstdint>
#include <functional>

#include "audio/OfflineOutput.h"
#include "core/automix/MainAudioChain.h"
#include "core/render/VirtualTicks.h"
#include "core/shared/Clock.h"

namespace varonel::core {

class VirtualDriver {
public:
    // 10 ms blocks at 44.1 kHz: ticks land within 10 ms of their due time.
    static constexpr int kBlockFrames = 441;

    // The chain's main output must be an offline output.
    VirtualDriver(MainAudioChain& chain, VirtualClock& clock, VirtualTicks& ticks);

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

    MainAudioChain& m_chain;
    audio::OfflineOutput& m_output;
    VirtualClock& m_clock;
    VirtualTicks& m_ticks;
    std::function<void(const float*, int)> m_sink;
};

}  // namespace varonel::core
