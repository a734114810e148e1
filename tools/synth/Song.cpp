// renderTrack: arranges a short pop song from a seed (key, progression, patterns,
// timbres) and mixes it with its break and fade-out.

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "GainCurve.h"
#include "Synth.h"
#include "Voices.h"

namespace varonel::synth {

namespace {

using detail::GainCurve;
using detail::Note;
using detail::Rng;
using detail::StereoBus;
using detail::ToneShape;
using detail::Wavetable;

constexpr std::array<int, 7> kMajorScale{0, 2, 4, 5, 7, 9, 11};
// Scale degrees (0 = I) of the four chords; each is a loop every pop listener knows.
constexpr std::array<std::array<int, 4>, 5> kProgressions{{
    {0, 4, 5, 3},  // I-V-vi-IV
    {5, 3, 0, 4},  // vi-IV-I-V
    {0, 5, 3, 4},  // I-vi-IV-V
    {0, 3, 5, 4},  // I-IV-vi-V
    {3, 0, 4, 5},  // IV-I-V-vi
}};
// Eight eighth-note steps indexing the chord tones (3 and 4 are the octave above); -1 rests.
constexpr std::array<std::array<int, 8>, 4> kArpeggios{{
    {0, 1, 2, 3, 0, 1, 2, 3},
    {0, 2, 1, 3, 2, 4, 3, 1},
    {3, 2, 1, 0, -1, 1, 2, 4},
    {0, 1, 2, 1, 3, -1, 4, 2},
}};

struct BassStep {
    int eighth;
    int semitones;  // above the chord root
    int eighths;    // length; 0 marks an unused slot
};
constexpr std::array<std::array<BassStep, 5>, 3> kBassLines{{
    {{{0, 0, 3}, {3, 0, 1}, {4, 0, 2}, {6, 7, 2}, {8, 0, 0}}},
    {{{0, 0, 2}, {2, 0, 2}, {4, 0, 2}, {6, 0, 1}, {7, 12, 1}}},
    {{{0, 0, 4}, {4, 0, 2}, {6, 7, 1}, {7, 12, 1}, {8, 0, 0}}},
}};

constexpr int kIntroBars = 2;  // pads and keys alone
constexpr int kGrooveBar = 4;  // kick and snare come in
// Pads alone are about 10 dB under the full mix; at -20 dB more, the break sits
// about 30 dB under the song: clearly quiet, yet not silent.
constexpr float kBreakPadGain = 0.1f;

// What the seed decides.
struct Style {
    int keyRoot = 48;  // MIDI note of the tonic, octave 3
    std::array<int, 4> progression{};
    int barsPerChord = 1;
    int arpeggio = 0;
    int bassLine = 0;
    bool fourOnTheFloor = true;
    std::vector<float> padHarmonics;
    std::vector<float> keysHarmonics;
};

Style pickStyle(const TrackRecipe& recipe, Rng& rng) {
    Style style;
    style.keyRoot = 48 + rng.below(12);
    style.progression = kProgressions[size_t(rng.below(int(kProgressions.size())))];
    // A chord lasts 2 to 4.5 seconds at any tempo: slow enough to sing along.
    style.barsPerChord = recipe.bpm >= 110.0 ? 2 : 1;
    style.arpeggio = rng.below(int(kArpeggios.size()));
    style.bassLine = rng.below(int(kBassLines.size()));
    style.fourOnTheFloor = recipe.bpm >= 100.0;
    style.padHarmonics = {1.0f, 0.3f + 0.3f * rng.uniform(), 0.1f + 0.25f * rng.uniform(), 0.12f,
                          0.06f};
    static const std::array<std::vector<float>, 3> kKeys{{
        {1.0f, 0.5f, 0.15f, 0.25f, 0.05f, 0.05f},  // electric piano
        {1.0f, 0.2f, 0.4f, 0.1f, 0.2f},            // bell
        {1.0f, 0.3f, 0.1f},                        // soft
    }};
    style.keysHarmonics = kKeys[size_t(rng.below(int(kKeys.size())))];
    return style;
}

int degreeSemitones(int degree) {
    return kMajorScale[size_t(degree % 7)] + 12 * (degree / 7);
}

// Moves a note by octaves into [low, low + 12).
int fold(int midi, int low) {
    while (midi < low) {
        midi += 12;
    }
    while (midi >= low + 12) {
        midi -= 12;
    }
    return midi;
}

class Arranger {
public:
    Arranger(const TrackRecipe& recipe, const Style& style, int64_t frames, uint32_t seed)
        : m_style(style),
          m_rate(recipe.sampleRate),
          m_framesPerBeat(60.0 / recipe.bpm * recipe.sampleRate),
          m_bars(int(double(frames) / (4.0 * m_framesPerBeat)) + 1),
          m_noise(uint64_t(seed) * 7919u + 17u) {}

    void addPads(StereoBus& bus) const;
    void addKeys(StereoBus& bus) const;
    void addBass(StereoBus& bus) const;
    void addDrums(StereoBus& bus);

    int64_t beatsToFrames(double beats) const { return std::llround(beats * m_framesPerBeat); }

private:
    int chordDegree(int bar) const {
        return m_style.progression[size_t((bar / m_style.barsPerChord) % 4)];
    }
    int64_t barStart(int bar) const { return beatsToFrames(4.0 * bar); }

    const Style& m_style;
    int m_rate;
    double m_framesPerBeat;
    int m_bars;
    Rng m_noise;
    Wavetable m_sine{1.0f};
};

void Arranger::addPads(StereoBus& bus) const {
    const Wavetable table(m_style.padHarmonics);
    const ToneShape shape{0.25, 0.0, 0.6, 7.0};
    for (int bar = 0; bar < m_bars; bar += m_style.barsPerChord) {
        const int degree = chordDegree(bar);
        const int64_t start = barStart(bar);
        const int64_t length = barStart(bar + m_style.barsPerChord) - start;
        for (int i = 0; i < 3; ++i) {
            const int midi = fold(m_style.keyRoot + degreeSemitones(degree + 2 * i), 55);
            renderTone(bus, table, Note{start, length, double(midi), 0.09f, 0.0f}, shape, m_rate);
        }
        const int root = fold(m_style.keyRoot + degreeSemitones(degree), 43);
        renderTone(bus, table, Note{start, length, double(root), 0.07f, 0.0f}, shape, m_rate);
    }
}

void Arranger::addKeys(StereoBus& bus) const {
    const Wavetable table(m_style.keysHarmonics);
    const ToneShape shape{0.004, 0.3, 0.25, 0.0};
    const auto& steps = kArpeggios[size_t(m_style.arpeggio)];
    for (int bar = 0; bar < m_bars; ++bar) {
        const int degree = chordDegree(bar);
        for (int step = 0; step < 8; ++step) {
            const int index = steps[size_t(step)];
            if (index < 0) {
                continue;
            }
            const int tone = degreeSemitones(degree + 2 * (index % 3));
            const int midi = fold(m_style.keyRoot + tone, 67) + 12 * (index / 3);
            const int64_t start = barStart(bar) + beatsToFrames(0.5 * step);
            const float pan = step % 2 == 0 ? -0.35f : 0.35f;
            renderTone(bus, table, Note{start, beatsToFrames(0.5), double(midi), 0.16f, pan}, shape,
                       m_rate);
        }
    }
}

void Arranger::addBass(StereoBus& bus) const {
    const Wavetable table{1.0f, 0.45f, 0.2f, 0.08f};
    const ToneShape shape{0.005, 0.8, 0.04, 0.0};
    for (int bar = kIntroBars; bar < m_bars; ++bar) {
        const int root = fold(m_style.keyRoot + degreeSemitones(chordDegree(bar)), 36);
        for (const BassStep& step : kBassLines[size_t(m_style.bassLine)]) {
            if (step.eighths == 0) {
                continue;
            }
            const int64_t start = barStart(bar) + beatsToFrames(0.5 * step.eighth);
            const Note note{start, beatsToFrames(0.5 * step.eighths) - beatsToFrames(0.1),
                            double(root + step.semitones), 0.45f, 0.0f};
            renderTone(bus, table, note, shape, m_rate);
        }
    }
}

void Arranger::addDrums(StereoBus& bus) {
    static constexpr std::array<double, 4> kFourFloor{0.0, 1.0, 2.0, 3.0};
    static constexpr std::array<double, 4> kBroken{0.0, 1.75, 2.0, 2.5};
    const auto& kicks = m_style.fourOnTheFloor ? kFourFloor : kBroken;
    for (int bar = kIntroBars; bar < m_bars; ++bar) {
        const int64_t start = barStart(bar);
        for (int eighth = 0; eighth < 8; ++eighth) {
            const bool open = eighth == 7 && bar % 2 == 1;
            const float gain = eighth % 2 == 1 ? 0.13f : 0.06f;
            renderHat(bus, start + beatsToFrames(0.5 * eighth), gain, open ? 0.16 : 0.03,
                      m_noise.next(), m_rate);
        }
        if (bar < kGrooveBar) {
            continue;
        }
        for (double beat : kicks) {
            renderKick(bus, m_sine, start + beatsToFrames(beat), 0.9f, m_rate);
        }
        for (double beat : {1.0, 3.0}) {
            renderSnare(bus, m_sine, start + beatsToFrames(beat), 0.4f, m_noise.next(), m_rate);
        }
        if (bar % 4 == 3) {  // a small fill leads into each phrase
            for (double beat : {3.5, 3.75}) {
                renderSnare(bus, m_sine, start + beatsToFrames(beat), 0.2f, m_noise.next(), m_rate);
            }
        }
    }
}

struct FrameRange {
    int64_t begin = 0;
    int64_t end = 0;
    bool empty() const { return begin >= end; }
};

FrameRange breakFrames(const TrackRecipe& recipe, int64_t frames) {
    if (recipe.breakStart <= 0.0 || recipe.breakSeconds <= 0.0) {
        return {};
    }
    const int64_t begin = std::llround(recipe.breakStart * recipe.sampleRate);
    const int64_t length = std::llround(recipe.breakSeconds * recipe.sampleRate);
    return {begin, std::min<int64_t>(frames, begin + length)};
}

// Gain curves of the two groups (pads; everything else) across the break: a short
// ramp keeps the edges from clicking, and the song comes back at the break's end.
void drawBreak(FrameRange range, int sampleRate, GainCurve& pads, GainCurve& rest) {
    if (range.empty()) {
        return;
    }
    const int64_t ramp = std::min<int64_t>(sampleRate / 20, (range.end - range.begin) / 4);
    pads.add(range.begin, 1.0f);
    pads.add(range.begin + ramp, kBreakPadGain);
    pads.add(range.end - ramp, kBreakPadGain);
    pads.add(range.end, 1.0f);
    rest.add(range.begin, 1.0f);
    rest.add(range.begin + ramp, 0.0f);
    rest.add(range.end - ramp, 0.0f);
    rest.add(range.end, 1.0f);
}

// The ending: the requested fade-out, or else a 10 ms ramp so the last sample is silent.
GainCurve drawEnding(const TrackRecipe& recipe, int64_t frames) {
    GainCurve master;
    const int64_t declick = recipe.sampleRate / 100;
    const int64_t fade = recipe.fadeOutSeconds > 0.0
                             ? std::llround(recipe.fadeOutSeconds * recipe.sampleRate)
                             : declick;
    const int64_t length = std::clamp<int64_t>(fade, 1, frames);
    master.add(frames - length, 1.0f);
    master.add(frames - 1, 0.0f);
    return master;
}

// Applies the break and the ending to `mix`, which then becomes the output. `rest`
// holds what the break silences; it is null when there is no break, and then
// everything is already in `mix` (half the memory, which the long songs notice).
Audio mixDown(const TrackRecipe& recipe, StereoBus&& mix, const StereoBus* rest) {
    const int64_t frames = mix.frames();
    GainCurve padGain;
    GainCurve restGain;
    drawBreak(breakFrames(recipe, frames), recipe.sampleRate, padGain, restGain);
    GainCurve master = drawEnding(recipe, frames);
    for (int64_t i = 0; i < frames; ++i) {
        const float gm = master.next();
        float* out = mix.frame(i);
        if (rest == nullptr) {
            out[0] *= gm;
            out[1] *= gm;
            continue;
        }
        const float gp = padGain.next();
        const float gr = restGain.next();
        const float* other = rest->samples.data() + i * 2;
        out[0] = (out[0] * gp + other[0] * gr) * gm;
        out[1] = (out[1] * gp + other[1] * gr) * gm;
    }
    Audio out{recipe.sampleRate, recipe.channels, {}};
    if (recipe.channels == 2) {
        out.samples = std::move(mix.samples);
        return out;
    }
    out.samples.resize(size_t(frames) * size_t(recipe.channels));
    float* dst = out.samples.data();
    for (int64_t i = 0; i < frames; ++i) {
        const float* frame = mix.frame(i);
        if (recipe.channels == 1) {
            *dst++ = 0.5f * (frame[0] + frame[1]);
            continue;
        }
        for (int c = 0; c < recipe.channels; ++c) {
            *dst++ = frame[c % 2];
        }
    }
    return out;
}

// Scales the song so that its loudest sample is `peak`.
Audio finish(Audio&& audio, float peak) {
    float loudest = 0.0f;
    for (float v : audio.samples) {
        loudest = std::max(loudest, std::fabs(v));
    }
    if (loudest > 0.0f) {
        const float scale = peak / loudest;
        for (float& v : audio.samples) {
            v *= scale;
        }
    }
    return std::move(audio);
}

}  // namespace

Audio renderTrack(const TrackRecipe& input) {
    TrackRecipe recipe = input;
    if (!(recipe.bpm > 20.0 && recipe.bpm < 400.0)) {
        recipe.bpm = 120.0;
    }
    recipe.peak = std::clamp(recipe.peak, 0.0f, 1.0f);
    const bool sane = std::isfinite(recipe.seconds) && recipe.seconds > 0.0 &&
                      recipe.seconds < 24.0 * 3600.0 && recipe.sampleRate > 0;
    const int64_t frames = sane ? std::llround(recipe.seconds * recipe.sampleRate) : 0;
    if (frames == 0 || recipe.channels <= 0) {
        return Audio{recipe.sampleRate, recipe.channels, {}};
    }

    Rng rng(uint64_t(recipe.seed) * 0x2545F4914F6CDD1Dull + 1u);
    const Style style = pickStyle(recipe, rng);
    Arranger arranger(recipe, style, frames, rng.next());

    StereoBus mix(frames);
    // The keys go in first and alone, so that only they get the echo.
    arranger.addKeys(mix);
    pingPongEcho(mix, arranger.beatsToFrames(0.75), 0.3f);
    arranger.addBass(mix);
    arranger.addDrums(mix);
    // Only a break needs the pads apart from the rest.
    if (breakFrames(recipe, frames).empty()) {
        arranger.addPads(mix);
        return finish(mixDown(recipe, std::move(mix), nullptr), recipe.peak);
    }
    StereoBus pads(frames);
    arranger.addPads(pads);
    return finish(mixDown(recipe, std::move(pads), &mix), recipe.peak);
}

}  // namespace varonel::synth
