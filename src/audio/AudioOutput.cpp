#include "audio/AudioOutput.h"

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
    // Loud masters, and two tracks overlapping in a transition, go past full scale:
    // the limiter brings them back. The meters read what goes out.
    if (m_limiterOn.load(std::memory_order_relaxed)) {
        m_limiter.process(stereo, frames, context.sampleRate);
    }
    float peakLeft = 0.0f;
    float peakRight = 0.0f;
    for (int i = 0; i < frames; ++i) {
        peakLeft = std::max(peakLeft, std::fabs(stereo[2 * i]));
        peakRight = std::max(peakRight, std::fabs(stereo[2 * i + 1]));
    }
    showHeardLevels(peakLeft, peakRight, frames, context.latencyFrames);
    m_latencyMs.store(int(int64_t(context.latencyFrames) * 1000 / std::max(context.sampleRate, 1)),
                      std::memory_order_relaxed);
    if (m_quietReset.exchange(false, std::memory_order_relaxed) ||
        std::max(peakLeft, peakRight) >= kAudiblePeak) {
        m_quietFrames = 0;
    } else {
        m_quietFrames += frames;
    }
    if (context.sampleRate > 0) {
        m_quietMs.store(m_quietFrames * 1000 / context.sampleRate, std::memory_order_relaxed);
    }
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

// The block being heard is the one that holds the frame `latencyFrames` before
// the end of what has been sent; its peaks go to the meters.
void AudioOutput::showHeardLevels(float peakLeft, float peakRight, int frames, int latencyFrames) {
    m_framesSent += frames;
    m_sent[m_nextSent] = SentBlock{m_framesSent, peakLeft, peakRight};
    const int64_t heard = m_framesSent - latencyFrames;
    size_t shown = m_nextSent;
    for (size_t back = 1; back < kSentBlocks; ++back) {
        const size_t earlier = (m_nextSent + kSentBlocks - back) % kSentBlocks;
        if (m_sent[earlier].end < heard || m_sent[earlier].end == 0) {
            break;
        }
        shown = earlier;
    }
    m_nextSent = (m_nextSent + 1) % kSentBlocks;
    m_left.setPeak(m_sent[shown].left);
    m_right.setPeak(m_sent[shown].right);
}

}  // namespace varonel::audio
