#pragma once
// Test tracks whose level is known at every moment: a steady level (optionally
// fading to silence over its last seconds, or starting with silence), written as
// small mono 16-bit WAV files.

#include <QString>
#include <QtTest>

#include <algorithm>

#include "Synth.h"
#include "TestSignals.h"

namespace testtracks {

struct Shape {
    double seconds = 30.0;
    float level = 0.5f;
    double fadeSeconds = 0.0;  // linear fade to silence at the end
    double silentStart = 0.0;  // seconds of silence at the start
    double silentEnd = 0.0;    // seconds of silence at the end
};

inline QString write(const QString& path, const Shape& shape) {
    varonel::synth::Audio audio;
    audio.sampleRate = 44100;
    audio.channels = 1;
    const size_t frames = size_t(shape.seconds * audio.sampleRate);
    const size_t fadeFrom = frames - size_t(shape.fadeSeconds * audio.sampleRate);
    const size_t silentUntil = size_t(shape.silentStart * audio.sampleRate);
    const size_t silentFrom = frames - size_t(shape.silentEnd * audio.sampleRate);
    audio.samples.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        float gain = 1.0f;
        if (i < silentUntil || i >= silentFrom) {
            gain = 0.0f;
        } else if (i >= fadeFrom) {
            gain = float(frames - i) / float(frames - fadeFrom);
        }
        audio.samples[i] = shape.level * gain;
    }
    return testsignals::writeWavOrFail(path, audio, varonel::synth::WavFormat::Pcm16);
}

}  // namespace testtracks
