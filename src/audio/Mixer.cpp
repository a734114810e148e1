#include "Mixer.h"

#include <algorithm>
#include <cstring>

namespace varonel::audio {
namespace {
constexpr int kBlockFrames = 4096;
}

Mixer::Mixer() : m_scratch(size_t(kBlockFrames) * 2) {
    for (auto& state : m_state) {
        state.store(kFinishedBit);
    }
}

void Mixer::setSource(int input, FileSource* source) {
    if (input >= 0 && input < kInputs) {
        m_sources[size_t(input)] = source;
    }
}

bool Mixer::inputFinished(int input) const {
    if (input < 0 || input >= kInputs) {
        return true;
    }
    return (m_state[size_t(input)].load(std::memory_order_acquire) & kFinishedBit) != 0;
}

void Mixer::setInputFinished(int input, bool finished) {
    if (input < 0 || input >= kInputs) {
        return;
    }
    FileSource* source = m_sources[size_t(input)];
    if (!finished && source) {
        source->rearm();
    }
    std::atomic<uint32_t>& state = m_state[size_t(input)];
    const uint32_t serial = (state.load() | kFinishedBit) + 1;  // next even value
    state.store(serial | (finished ? kFinishedBit : 0), std::memory_order_release);
}

bool Mixer::render(float* stereo, int frames, const RenderContext& context) {
    bool complete = true;
    for (int done = 0; done < frames; done += kBlockFrames) {
        const int n = std::min(kBlockFrames, frames - done);
        complete &= renderBlock(stereo + size_t(done) * 2, n, context);
    }
    return complete;
}

bool Mixer::renderBlock(float* stereo, int frames, const RenderContext& context) {
    const size_t samples = size_t(frames) * 2;
    std::memset(stereo, 0, samples * sizeof(float));
    if (paused()) {
        return true;
    }
    bool complete = true;
    for (size_t i = 0; i < m_sources.size(); ++i) {
        FileSource* source = m_sources[i];
        uint32_t state = m_state[i].load(std::memory_order_acquire);
        if (!source || (state & kFinishedBit) != 0) {
            continue;
        }
        complete &= source->pull(m_scratch.data(), frames, context);
        for (size_t s = 0; s < samples; ++s) {
            stereo[s] += m_scratch[s];
        }
        if (source->exhausted()) {
            // Fails, as it should, when the main thread gave a new order meanwhile.
            m_state[i].compare_exchange_strong(state, state | kFinishedBit,
                                               std::memory_order_acq_rel);
        }
    }
    return complete;
}

}  // namespace varonel::audio
