#pragma once
// Signals whose every sample tells where it came from, for tests that check the
// engine at sample level: a constant level (so a mix is readable as a sum) and a
// ramp (so a sample's value is its time).

#include <QString>
#include <QtTest>

#include "Synth.h"

namespace testsignals {

using varonel::synth::Audio;

inline Audio constant(float value, double seconds, int rate = 44100) {
    Audio audio;
    audio.sampleRate = rate;
    audio.samples.assign(size_t(seconds * rate) * 2, value);
    return audio;
}

// A ramp rising by `step` a frame from `step`, so that a sample's value tells
// its time; on both channels, or on `channel` (0 or 1) alone.
inline Audio ramp(double seconds, float step, int channel = -1, int rate = 44100) {
    Audio audio = constant(0.0f, seconds, rate);
    for (size_t i = 0; i < audio.samples.size(); ++i) {
        if (channel < 0 || size_t(channel) == i % 2) {
            audio.samples[i] = float(i / 2 + 1) * step;
        }
    }
    return audio;
}

// Writes the audio as a WAV file, or ends the test run: a test without its files
// could only fail confusingly later.
inline QString writeWavOrFail(const QString& path, const Audio& audio,
                              varonel::synth::WavFormat format) {
    std::string error;
    if (!varonel::synth::writeWav(path.toStdString(), audio, format, &error)) {
        qFatal("cannot write %s: %s", qPrintable(path), error.c_str());
    }
    return path;
}

inline QString writeFloatWav(const QString& path, const Audio& audio) {
    return writeWavOrFail(path, audio, varonel::synth::WavFormat::Float);
}

}  // namespace testsignals
