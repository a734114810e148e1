#pragma once
// What an output pulls its sound from: the mixer, or a player's single stream.
//
// Threads: render() is called by the real-time callback of a device output, or by
// the caller's thread for an offline output; never both at once for one source.

#include <cstdint>

namespace varonel::audio {

// How the puller wants a block filled.
struct RenderContext {
    int sampleRate = 44100;
    // True for offline rendering: wait for the decoding threads instead of playing
    // silence when they lag, so a render is the same every time. Never true in the
    // real-time callback.
    bool waitForData = false;
    // How far the listener lags behind the end of this block, in frames at
    // sampleRate: what the device holds already plus the block itself. Sources
    // report positions as heard, this far back. 0 offline.
    int latencyFrames = 0;
};

class RenderSource {
public:
    virtual ~RenderSource() = default;

    // Fills `frames` interleaved stereo frames (the block is always written in
    // full). Returns false when some playing input had no decoded audio ready, so
    // the block holds a gap: the output counts it as an underrun.
    virtual bool render(float* stereo, int frames, const RenderContext& context) = 0;
};

}  // namespace varonel::audio
