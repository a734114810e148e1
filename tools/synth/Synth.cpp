// Plain test signals: sine, silence and concatenation.

#include "Synth.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace varonel::synth {

namespace {

int64_t frameCount(double seconds, int sampleRate) {
    return seconds > 0.0 && sampleRate > 0 ? std::llround(seconds * sampleRate) : 0;
}

}  // namespace

Audio sine(double hz, double seconds, float amplitude, int sampleRate, int channels) {
    Audio out{sampleRate, channels, {}};
    if (channels <= 0) {
        return out;
    }
    const int64_t frames = frameCount(seconds, sampleRate);
    out.samples.resize(size_t(frames) * size_t(channels));
    // The phase is computed from the frame index, not accumulated, so that a long
    // signal stays exactly on pitch for the tests that measure it.
    const double step = 2.0 * std::numbers::pi * hz / sampleRate;
    float* dst = out.samples.data();
    for (int64_t i = 0; i < frames; ++i) {
        const float v = amplitude * float(std::sin(step * double(i)));
        for (int c = 0; c < channels; ++c) {
            *dst++ = v;
        }
    }
    return out;
}

Audio silence(double seconds, int sampleRate, int channels) {
    Audio out{sampleRate, channels, {}};
    if (channels > 0) {
        out.samples.assign(size_t(frameCount(seconds, sampleRate)) * size_t(channels), 0.0f);
    }
    return out;
}

Audio concat(const Audio& a, const Audio& b) {
    if (a.sampleRate != b.sampleRate || a.channels != b.channels) {
        throw std::invalid_argument("concat: sample rate or channel count differ");
    }
    Audio out = a;
    out.samples.insert(out.samples.end(), b.samples.begin(), b.samples.end());
    return out;
}

}  // namespace varonel::synth
