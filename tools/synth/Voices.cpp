#include "Voices.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace varonel::synth::detail {

namespace {

struct PanGains {
    float left;
    float right;
};

// Constant-power pan, scaled so that the centre keeps unity gain on each side.
PanGains panGains(float pan) {
    const double theta = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * std::numbers::pi / 4.0;
    return {float(std::cos(theta) * std::numbers::sqrt2),
            float(std::sin(theta) * std::numbers::sqrt2)};
}

float decayFactor(double seconds, int sampleRate) {
    return seconds > 0.0 ? float(std::exp(-1.0 / (seconds * sampleRate))) : 1.0f;
}

// xorshift32 for drum noise: one multiply-free step per sample.
uint32_t nextNoise(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float noiseSample(uint32_t& state) {
    return float(int32_t(nextNoise(state))) * (1.0f / 2147483648.0f);
}

// Number of frames a sound of `length` frames starting at `start` may write.
int64_t clippedLength(const StereoBus& bus, int64_t start, int64_t length) {
    if (start < 0 || start >= bus.frames()) {
        return 0;
    }
    return std::min(length, bus.frames() - start);
}

// Short linear ramp at the end of a drum sound so that cutting it never clicks.
float tailGain(int64_t i, int64_t length, int64_t tail) {
    const int64_t left = length - i;
    return left >= tail ? 1.0f : float(left) / float(tail);
}

}  // namespace

uint32_t Rng::next() {
    m_state += 0x9E3779B97F4A7C15ull;
    uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return uint32_t((z ^ (z >> 31)) >> 32);
}

Wavetable::Wavetable(std::initializer_list<float> harmonics)
    : Wavetable(std::vector<float>(harmonics)) {}

Wavetable::Wavetable(const std::vector<float>& harmonics) {
    float peak = 0.0f;
    for (int i = 0; i < kSize; ++i) {
        double value = 0.0;
        for (size_t h = 0; h < harmonics.size(); ++h) {
            value += harmonics[h] * std::sin(2.0 * std::numbers::pi * double(h + 1) * i / kSize);
        }
        m_table[size_t(i)] = float(value);
        peak = std::max(peak, std::fabs(float(value)));
    }
    if (peak > 0.0f) {
        for (float& v : m_table) {
            v /= peak;
        }
    }
    m_table[kSize] = m_table[0];
}

uint32_t phaseIncrement(double hz, int sampleRate) {
    const double cycles = std::clamp(hz / sampleRate, 0.0, 0.5);
    return uint32_t(cycles * 4294967296.0);
}

double midiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

void renderTone(StereoBus& bus, const Wavetable& table, const Note& note, const ToneShape& shape,
                int sampleRate) {
    const int64_t release = std::max<int64_t>(1, std::llround(shape.releaseSeconds * sampleRate));
    const int64_t total = clippedLength(bus, note.start, note.length + release);
    if (total <= 0) {
        return;
    }
    const float attackStep =
        1.0f / float(std::max<int64_t>(1, std::llround(shape.attackSeconds * sampleRate)));
    const float releaseStep = 1.0f / float(release);
    const float decay = decayFactor(shape.decaySeconds, sampleRate);
    const double hz = midiToHz(note.midi);
    const double spread = std::pow(2.0, shape.detuneCents / 1200.0);
    const uint32_t incLeft = phaseIncrement(hz / spread, sampleRate);
    const uint32_t incRight = phaseIncrement(hz * spread, sampleRate);
    const bool twin = shape.detuneCents != 0.0;
    const PanGains pan = panGains(note.pan);
    const float gainLeft = note.gain * pan.left;
    const float gainRight = note.gain * pan.right;

    float* out = bus.frame(note.start);
    uint32_t phaseLeft = 0;
    uint32_t phaseRight = 0x40000000u;  // a quarter cycle apart: the detuned pair never cancels
    float level = 1.0f;
    for (int64_t i = 0; i < total; ++i) {
        float env = std::min(1.0f, float(i + 1) * attackStep) * level;
        if (i >= note.length) {
            env *= std::max(0.0f, 1.0f - float(i - note.length) * releaseStep);
        }
        const float a = table.at(phaseLeft) * env;
        const float b = twin ? table.at(phaseRight) * env : a;
        out[2 * i] += a * gainLeft;
        out[2 * i + 1] += b * gainRight;
        phaseLeft += incLeft;
        phaseRight += incRight;
        level *= decay;
    }
}

void renderKick(StereoBus& bus, const Wavetable& sineTable, int64_t start, float gain,
                int sampleRate) {
    const int64_t total = clippedLength(bus, start, std::llround(0.5 * sampleRate));
    const int64_t tail = sampleRate / 20;
    const float ampDecay = decayFactor(0.17, sampleRate);
    const float pitchDecay = decayFactor(0.03, sampleRate);
    const double hzToInc = 4294967296.0 / sampleRate;
    float sweep = 110.0f;  // Hz above the resting pitch; falls fast, which makes the thump
    float amp = gain;
    uint32_t phase = 0;
    for (int64_t i = 0; i < total; ++i) {
        const float v = sineTable.at(phase) * amp * tailGain(i, total, tail);
        float* out = bus.frame(start + i);
        out[0] += v;
        out[1] += v;
        phase += uint32_t((48.0f + sweep) * hzToInc);
        sweep *= pitchDecay;
        amp *= ampDecay;
    }
}

void renderHat(StereoBus& bus, int64_t start, float gain, double decaySeconds, uint32_t noiseSeed,
               int sampleRate) {
    const int64_t total = clippedLength(bus, start, std::llround(decaySeconds * 6.0 * sampleRate));
    const int64_t tail = std::max<int64_t>(1, total / 5);
    const float decay = decayFactor(decaySeconds, sampleRate);
    const PanGains pan = panGains(0.3f);
    uint32_t state = noiseSeed | 1u;
    float previous = 0.0f;
    float amp = gain;
    for (int64_t i = 0; i < total; ++i) {
        // A first difference keeps only the hiss of the noise.
        const float white = noiseSample(state);
        const float v = (white - previous) * 0.5f * amp * tailGain(i, total, tail);
        previous = white;
        float* out = bus.frame(start + i);
        out[0] += v * pan.left;
        out[1] += v * pan.right;
        amp *= decay;
    }
}

void renderSnare(StereoBus& bus, const Wavetable& sineTable, int64_t start, float gain,
                 uint32_t noiseSeed, int sampleRate) {
    const int64_t total = clippedLength(bus, start, std::llround(0.4 * sampleRate));
    const int64_t tail = sampleRate / 20;
    const float noiseDecay = decayFactor(0.09, sampleRate);
    const float toneDecay = decayFactor(0.045, sampleRate);
    const uint32_t toneInc = phaseIncrement(185.0, sampleRate);
    uint32_t state = noiseSeed | 1u;
    uint32_t phase = 0;
    float body = 0.0f;
    float noiseAmp = gain;
    float toneAmp = gain * 0.6f;
    for (int64_t i = 0; i < total; ++i) {
        // A gentle low-pass takes the edge off the rattle.
        body += 0.6f * (noiseSample(state) - body);
        const float v =
            (body * noiseAmp + sineTable.at(phase) * toneAmp) * tailGain(i, total, tail);
        float* out = bus.frame(start + i);
        out[0] += v;
        out[1] += v;
        phase += toneInc;
        noiseAmp *= noiseDecay;
        toneAmp *= toneDecay;
    }
}

void pingPongEcho(StereoBus& bus, int64_t delayFrames, float feedback) {
    if (delayFrames <= 0) {
        return;
    }
    for (int64_t i = delayFrames; i < bus.frames(); ++i) {
        float* now = bus.frame(i);
        const float* before = bus.frame(i - delayFrames);
        now[0] += feedback * before[1];
        now[1] += feedback * before[0];
    }
}

}  // namespace varonel::synth::detail
