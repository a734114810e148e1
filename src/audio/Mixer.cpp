#include "audio/Mixer.h"

#include <algorithm>
#include <cstring>

namespace varonel::audio {
namespace {

constexpr int kBlockFrames = 4096;

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
    fade.ms = std::max(ms, 0);
    fade.outgoingLoad = m_sources[size_t(outgoing)]->loadNumber();
    fade.incomingLoad = m_sources[size_t(incoming)]->loadNumber();
    m_crossFadeOrders.give(fade);
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
// heard, before either is pulled: the overlap then begins on the same frame. A
// newer order replaces the one waiting.
void Mixer::runCrossFade(const RenderContext& context, int frames) {
    CrossFade ordered;
    if (m_crossFadeOrders.take(&ordered)) {
        m_waitingCrossFade = ordered;
    }
    if (!m_waitingCrossFade) {
        return;
    }
    const CrossFade fade = *m_waitingCrossFade;
    if (inputFinished(fade.incoming)) {
        return;
    }
    FileSource* incoming = m_sources[size_t(fade.incoming)];
    FileSource* outgoing = m_sources[size_t(fade.outgoing)];
    // readyToStart() takes in the incoming source's last load, which the main
    // thread gave before this cross-fade: a different number means a newer load.
    const bool ready = incoming->readyToStart(context, frames);
    if (incoming->pullerLoad() != fade.incomingLoad) {
        m_waitingCrossFade.reset();
        return;
    }
    if (!ready) {
        return;
    }
    m_waitingCrossFade.reset();
    outgoing->service(context, 0);  // takes in its own load first
    if (outgoing->pullerLoad() == fade.outgoingLoad) {
        outgoing->fadeOutNow(fade.ms, context.sampleRate);
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
