#pragma once
// The mixer: sums file sources 0 to 2, each on the input of the same number, and
// keeps each input's finished flag.
//
// Threads: the main thread sets the inputs up and reads and sets the flags; the
// puller (one output) calls render(). Flags are atomics: a flag that the puller
// sets when its source ends never overrides a newer order from the main thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "FileSource.h"
#include "RenderSource.h"

namespace varonel::audio {

class Mixer final : public RenderSource {
public:
    static constexpr int kInputs = 3;

    Mixer();

    // --- Main thread ---

    // Binds `source` to `input`; done once, before any output pulls the mixer.
    void setSource(int input, FileSource* source);

    // True holds the input silent; False starts it at once from its source's
    // current position. Reads True again once its source has ended or faded out.
    // Every input starts finished.
    bool inputFinished(int input) const;
    void setInputFinished(int input, bool finished);

    // The global switch: while True the whole mix is held, silent, with every
    // source keeping its place (a pause). The transport sets it to False before
    // each start, so a forgotten pause can never silence a broadcast.
    void setPaused(bool paused) { m_paused.store(paused, std::memory_order_release); }
    bool paused() const { return m_paused.load(std::memory_order_acquire); }

    // --- Puller ---
    bool render(float* stereo, int frames, const RenderContext& context) override;

private:
    // An input's state word: bit 0 is the finished flag, the rest a serial that the
    // main thread bumps at each order.
    static constexpr uint32_t kFinishedBit = 1;

    bool renderBlock(float* stereo, int frames, const RenderContext& context);

    std::array<FileSource*, kInputs> m_sources{};
    std::array<std::atomic<uint32_t>, kInputs> m_state;
    std::atomic<bool> m_paused{false};
    std::vector<float> m_scratch;  // one block of one input, allocated once
};

}  // namespace varonel::audio
