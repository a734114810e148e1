#pragma once
// A level meter: the peak of the last block that an output sent to be heard,
// linear in amplitude, 0 for silence and 32767 for a full-scale peak.
//
// Threads: setPeak() by the puller after each block; level() by anyone.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace varonel::audio {

class LevelMeter {
public:
    static constexpr int32_t kFullScale = 32767;

    int32_t level() const { return m_level.load(std::memory_order_relaxed); }

    // Takes the peak (0 to 1) of the block just sent to be heard.
    void setPeak(float peak) {
        m_level.store(int32_t(std::lround(std::min(peak, 1.0f) * kFullScale)),
                      std::memory_order_relaxed);
    }
    void clear() { m_level.store(0, std::memory_order_relaxed); }

private:
    std::atomic<int32_t> m_level{0};
};

}  // namespace varonel::audio
