#include "AudioOutput.h"

#include <algorithm>
#include <chrono>
#include <cmath>
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
    // Two tracks overlapping in a transition can add up past full scale. One pass
    // clamps and measures both channels.
    float peakLeft = 0.0f;
    float peakRight = 0.0f;
    for (int i = 0; i < frames; ++i) {
        float& left = stereo[2 * i];
        float& right = stereo[2 * i + 1];
        left = std::min(1.0f, std::max(-1.0f, left));
        right = std::min(1.0f, std::max(-1.0f, right));
        peakLeft = std::max(peakLeft, std::fabs(left));
        peakRight = std::max(peakRight, std::fabs(right));
    }
    m_left.setPeak(peakLeft);
    m_right.setPeak(peakRight);
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
