#pragma once
// Synthesis of pleasant test and demo tracks, and writers for WAV and MP3.
//
// Used by the demo-library program and by the tests, which make their own audio
// files with it instead of keeping recordings in the repository.

#include <cstdint>
#include <string>
#include <vector>

namespace varonel::synth {

// Interleaved float samples in [-1, 1].
struct Audio {
    int sampleRate = 44100;
    int channels = 2;
    std::vector<float> samples;

    int64_t frames() const { return channels > 0 ? int64_t(samples.size()) / channels : 0; }
    double seconds() const { return double(frames()) / sampleRate; }
};

// A short song: a chord progression over a beat.
struct TrackRecipe {
    double seconds = 60.0;
    int sampleRate = 44100;
    int channels = 2;
    uint32_t seed = 1;  // picks key, progression and timbre
    double bpm = 120.0;
    double fadeOutSeconds = 0.0;  // > 0: the track ends in a real fade-out of that length
    double breakStart = 0.0;      // > 0 with breakSeconds > 0: a quiet break in the middle
    double breakSeconds = 0.0;
    float peak = 0.8f;  // loudest sample of the mix
};

// Deterministic for a seed. Pads and keys play alone for two bars, hi-hats and bass
// join, and kick and snare come in with the fifth bar; the break keeps only the pads,
// about 30 dB under the song; the last sample is always silent. Two minutes of stereo
// take a few hundred milliseconds.
Audio renderTrack(const TrackRecipe& recipe);

// Plain signals for tests.
Audio sine(double hz, double seconds, float amplitude = 1.0f, int sampleRate = 44100,
           int channels = 2);
Audio silence(double seconds, int sampleRate = 44100, int channels = 2);
// Concatenates b after a (same rate and channel count; throws std::invalid_argument
// otherwise, since gluing mismatched audio would only give a wrong signal).
Audio concat(const Audio& a, const Audio& b);

enum class WavFormat { Pcm8, Pcm16, Pcm24, Pcm32, Float };
enum class Mp3Mode {
    Cbr,        // 128 kbit/s with a LAME info header
    Vbr,        // VBR with its Xing/LAME header
    VbrNoXing,  // VBR written without any header: only a full scan tells its length
};

// Both return false and fill *error (when given) if the file cannot be written.
bool writeWav(const std::string& path, const Audio& audio, WavFormat format = WavFormat::Pcm16,
              std::string* error = nullptr);
bool writeMp3(const std::string& path, const Audio& audio, Mp3Mode mode = Mp3Mode::Cbr,
              std::string* error = nullptr);

}  // namespace varonel::synth
