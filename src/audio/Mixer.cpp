#include "Mixer.h"

#include <algorithm>
#include <cstring>

namespace varonel::audio {
namespace {

constexpr int kBlockFrames = 4096;

// A cross-fade in one word, so that the puller never sees half of one: bit 63 says
// one waits, then the outgoing and incoming inputs (2 bits each), the fade in
// milliseconds (16 bits), and the low 21 bits of both sources' load numbers.
constexpr uint64_t kWaiting = uint64_t(1) << 63;
constexpr uint32_t kLoadMask = (1u << 21) - 1;

struct CrossFade {
    int outgoing = 0;
    int incoming = 0;
    int32_t ms = 0;
    uint32_t outgoingLoad = 0;
    uint32_t incomingLoad = 0;

    uint64_t pack() const {
        return kWaiting | (uint64_t(outgoing) << 61) | (uint64_t(incoming) << 59) |
               (uint64_t(ms) << 43) | (uint64_t(outgoingLoad & kLoadMask) << 22) |
               (uint64_t(incomingLoad & kLoadMask) << 1);
    }
    static CrossFade unpack(uint64_t word) {
        CrossFade fade;
        fade.outgoing = int((word >> 61) & 3);
        fade.incoming = int((word >> 59) & 3);
        fade.ms = int32_t((word >> 43) & 0xFFFF);
        fade.outgoingLoad = uint32_t((word >> 22) & kLoadMask);
        fade.incomingLoad = uint32_t((word >> 1) & kLoadMask);
        return fade;
    }
};

}  // namespace

Mixer::Mixer() : m_scratch(size_t(kBlockFrames) * 2) {}

void Mixer::setSource(int input, FileSource* source) {
    if (input >= 0 && input < kInputs) {
        m_sources[size_t(input)] = source;
    }
}

bool Mixer::inputFinished(int input) const {
    if (input < 0 || input >= kInputs) {
        return true;
    }
    return m_finished[size_t(input)].value();
}

void Mixer::setInputFinished(int input, bool finished) {
    if (input < 0 || input >= kInputs) {
        return;
    }
    m_finished[size_t(input)].order(finished);
}

void Mixer::fadeOutWhenStarted(int outgoing, int incoming, int32_t ms) {
    if (outgoing < 0 || outgoing >= kInputs || incoming < 0 || incoming >= kInputs ||
        outgoing == incoming || !m_sources[size_t(outgoing)] || !m_sources[size_t(incoming)]) {
        return;
    }
    CrossFade fade;
    fade.outgoing = outgoing;
    fade.incoming = incoming;
    fade.ms = std::clamp(ms, 0, 0xFFFF);
    fade.outgoingLoad = m_sources[size_t(outgoing)]->loadNumber();
    fade.incomingLoad = m_sources[size_t(incoming)]->loadNumber();
    m_crossFade.store(fade.pack(), std::memory_order_release);
}

bool Mixer::render(float* stereo, int frames, const RenderContext& context) {
    bool complete = true;
    for (int done = 0; done < frames; done += kBlockFrames) {
        const int n = std::min(kBlockFrames, frames - done);
        complete &= renderBlock(stereo + size_t(done) * 2, n, context);
    }
    return complete;
}

// Starts the waiting cross-fade's fade when its incoming source is about to be
// heard, before either is pulled: the overlap then begins on the same frame.
void Mixer::runCrossFade(const RenderContext& context, int frames) {
    uint64_t word = m_crossFade.load(std::memory_order_acquire);
    if (word == 0) {
        return;
    }
    const CrossFade fade = CrossFade::unpack(word);
    if (inputFinished(fade.incoming)) {
        return;
    }
    FileSource* incoming = m_sources[size_t(fade.incoming)];
    FileSource* outgoing = m_sources[size_t(fade.outgoing)];
    // readyToStart() takes in the incoming source's last load, which the main
    // thread gave before this cross-fade: a different number means a newer load.
    const bool ready = incoming->readyToStart(context, frames);
    if ((incoming->pullerLoad() & kLoadMask) != fade.incomingLoad) {
        m_crossFade.compare_exchange_strong(word, 0, std::memory_order_acq_rel);
        return;
    }
    if (!ready) {
        return;
    }
    if (m_crossFade.compare_exchange_strong(word, 0, std::memory_order_acq_rel)) {
        outgoing->service(context, 0);  // takes in its own load first
        if ((outgoing->pullerLoad() & kLoadMask) == fade.outgoingLoad) {
            outgoing->fadeOutNow(fade.ms, context.sampleRate);
        }
    }
}

bool Mixer::renderBlock(float* stereo, int frames, const RenderContext& context) {
    const size_t samples = size_t(frames) * 2;
    std::memset(stereo, 0, samples * sizeof(float));
    if (paused()) {
        return true;
    }
    runCrossFade(context, frames);
    bool complete = true;
    for (size_t i = 0; i < m_sources.size(); ++i) {
        FileSource* source = m_sources[i];
        if (!source) {
            continue;
        }
        const OrderedFlag::Reading finished = m_finished[i].read();
        if (finished.value()) {
            // Not heard, but what it can no longer play is handed back.
            source->service(context, frames);
            continue;
        }
        complete &= source->pull(m_scratch.data(), frames, context);
        for (size_t s = 0; s < samples; ++s) {
            stereo[s] += m_scratch[s];
        }
        if (source->exhausted()) {
            m_finished[i].setIfNoNewerOrder(finished, true);
        }
    }
    return complete;
}

}  // namespace varonel::audio
