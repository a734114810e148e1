#pragma once
// The mixer: sums file sources 0 to 2, each on the input of the same number, keeps
// each input's finished flag, and makes the cross-fade of a transition.
//
// Threads: the main thread sets the inputs up and reads and sets the flags; the
// puller (one output) calls render(). Each flag is an OrderedFlag: the puller sets
// it when its source ends, which never overrides a newer order from the main thread.
// A cross-fade reaches the puller as a NewestOrder.

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "audio/FileSource.h"
#include "audio/NewestOrder.h"
#include "audio/OrderedFlag.h"
#include "audio/RenderSource.h"

namespace varonel::audio {

class Mixer final : public RenderSource {
public:
    static constexpr int kInputs = 3;

    Mixer();

    // --- Main thread ---

    // Binds `source` to `input`; done once, before any output pulls the mixer.
    void setSource(int input, FileSource* source);

    // True holds the input silent; False starts it: its source is heard from the
    // first block in which it has decoded audio (at once for a file already open).
    // Reads True again once its source has ended, faded out or failed to open.
    // Every input starts finished.
    bool inputFinished(int input) const;
    void setInputFinished(int input, bool finished);

    // The cross-fade of a transition: `outgoing` begins to fade over `ms` in the
    // very block in which `incoming` begins to be heard, so a slow disk never
    // leaves a gap between them. Both stay tied to the loads their sources have
    // now: a later load of either cancels it. One cross-fade waits at a time: a
    // newer one replaces it.
    void fadeOutWhenStarted(int outgoing, int incoming, int32_t ms);

    // The global switch: while True the whole mix is held, silent, with every
    // source keeping its place (a pause). The transport sets it to False before
    // each start, so a forgotten pause can never silence a broadcast.
    void setPaused(bool paused) { m_paused.store(paused, std::memory_order_release); }
    bool paused() const { return m_paused.load(std::memory_order_acquire); }

    // --- Puller ---
    bool render(float* stereo, int frames, const RenderContext& context) override;

private:
    // A cross-fade as ordered: both inputs, the fade, and the loads it is tied to.
    struct CrossFade {
        int outgoing = 0;
        int incoming = 0;
        int32_t ms = 0;
        uint32_t outgoingLoad = 0;
        uint32_t incomingLoad = 0;
    };

    bool renderBlock(float* stereo, int frames, const RenderContext& context);
    void runCrossFade(const RenderContext& context, int frames);

    std::array<FileSource*, kInputs> m_sources{};
    std::array<OrderedFlag, kInputs> m_finished{OrderedFlag(true), OrderedFlag(true),
                                                OrderedFlag(true)};
    NewestOrder<CrossFade> m_crossFadeOrders;
    std::optional<CrossFade> m_waitingCrossFade;  // puller only
    std::atomic<bool> m_paused{false};
    std::vector<float> m_scratch;  // one block of one input, allocated once
};

}  // namespace varonel::audio
