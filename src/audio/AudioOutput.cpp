#include "AudioOutput.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace varonel::audio {

void AudioOutput::process(float* stereo, int frames, const RenderContext& context) {
    const auto begin = std::chrono::steady_clock::now();
    RenderSource* source = m_source.load(std::memory_order_acquire);
    bool complete = true;
    if (source) {
        complete = source->render(stereo, frames, context);
    } else {
        std::memset(stereo, 0, size_t(frames) * 2 * sizeof(float));
    }
    // Two tracks overlapping in a transition can add up past full scale.
    for (int i = 0; i < frames * 2; ++i) {
        stereo[i] = std::clamp(stereo[i], -1.0f, 1.0f);
    }
    m_left.update(stereo, frames, 0);
    m_right.update(stereo, frames, 1);
    if (!complete) {
        m_underruns.fetch_add(1, std::memory_order_relaxed);
    }
    const int64_t spent = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::steady_clock::now() - begin)
                              .count();
    if (spent > m_longestBlockNs.load(std::memory_order_relaxed)) {
        m_longestBlockNs.store(spent, std::memory_order_relaxed);
    }
}

}  // namespace varonel::audio
