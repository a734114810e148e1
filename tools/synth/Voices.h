#pragma once
// Building blocks of the song renderer: a seeded random generator, wavetable
// oscillators, and the instruments that add one note or one drum hit to a stereo bus.
//
// Each instrument renders only the samples its note covers, with phase accumulators
// and table look-ups, so that a two-minute song takes a few tens of milliseconds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace varonel::synth::detail {

// splitmix64: tiny, fast and identical on every platform, unlike std::rand.
class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}

    uint32_t next();
    int below(int n) { return int(next() % uint32_t(n)); }
    float uniform() { return float(next() >> 8) * (1.0f / 16777216.0f); }
    float bipolar() { return uniform() * 2.0f - 1.0f; }

private:
    uint64_t m_state;
};

// Interleaved left/right, so that a stereo mix can become the output without a copy.
struct StereoBus {
    explicit StereoBus(int64_t frames) : samples(size_t(frames) * 2) {}
    int64_t frames() const { return int64_t(samples.size() / 2); }
    float* frame(int64_t index) { return samples.data() + index * 2; }

    std::vector<float> samples;
};

// One cycle of a waveform built from harmonic amplitudes, read with a 32-bit phase
// accumulator and linear interpolation.
class Wavetable {
public:
    static constexpr int kBits = 11;
    static constexpr int kSize = 1 << kBits;

    explicit Wavetable(std::initializer_list<float> harmonics);
    explicit Wavetable(const std::vector<float>& harmonics);

    float at(uint32_t phase) const {
        const uint32_t index = phase >> (32 - kBits);
        const float frac = float(phase & kFracMask) * kFracScale;
        const float a = m_table[index];
        return a + (m_table[index + 1] - a) * frac;
    }

private:
    static constexpr uint32_t kFracMask = (1u << (32 - kBits)) - 1;
    static constexpr float kFracScale = 1.0f / float(1u << (32 - kBits));

    std::array<float, kSize + 1> m_table{};
};

uint32_t phaseIncrement(double hz, int sampleRate);
double midiToHz(double note);

// A pitched note placed on the bus. `length` is the gate: the release starts there.
struct Note {
    int64_t start = 0;
    int64_t length = 0;
    double midi = 60.0;
    float gain = 1.0f;
    float pan = 0.0f;  // -1 left .. +1 right
};

// How a pitched note's level moves: linear attack, exponential decay towards zero
// (0 = held), linear release after the gate. A detune adds a second oscillator,
// one on each side, for width.
struct ToneShape {
    double attackSeconds = 0.005;
    double decaySeconds = 0.0;
    double releaseSeconds = 0.05;
    double detuneCents = 0.0;
};

void renderTone(StereoBus& bus, const Wavetable& table, const Note& note, const ToneShape& shape,
                int sampleRate);

void renderKick(StereoBus& bus, const Wavetable& sineTable, int64_t start, float gain,
                int sampleRate);
void renderHat(StereoBus& bus, int64_t start, float gain, double decaySeconds, uint32_t noiseSeed,
               int sampleRate);
void renderSnare(StereoBus& bus, const Wavetable& sineTable, int64_t start, float gain,
                 uint32_t noiseSeed, int sampleRate);

// Ping-pong echo, in place: each side hears the other side's output `delayFrames` earlier.
void pingPongEcho(StereoBus& bus, int64_t delayFrames, float feedback);

}  // namespace varonel::synth::detail
