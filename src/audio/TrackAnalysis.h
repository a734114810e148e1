#pragma once
// What one listen through a whole track tells: its loudness and true peak (EBU
// R128, measured by libebur128) and where its audio starts and ends, so that a
// broadcast skips the silences around each track and plays every track at one
// loudness.
//
// Threads: any thread but the real-time callback (it decodes a whole file).

#include <cstdint>
#include <string>

#include "audio/TrackLength.h"

namespace varonel::audio {

struct TrackAnalysis {
    // The loudness given to a track with nothing audible in it.
    static constexpr double kSilentLufs = -70.0;
    // Audio is taken to start and end where its level first and last comes within
    // this many decibels of the track's own loudness.
    static constexpr double kAudibleBelowLoudnessDb = 25.0;

    MeasuredLength length;
    double loudnessLufs = kSilentLufs;  // integrated loudness
    double truePeakDbtp = -120.0;       // highest true peak of all channels
    int64_t audioStartFrame = 0;        // first frame of its audio
    int64_t audioEndFrame = 0;          // the frame after its last audible one

    int32_t audioStartMs() const { return framesToMs(audioStartFrame); }
    int32_t audioEndMs() const { return framesToMs(audioEndFrame); }
    // The gain, in dB, that brings the track to `targetLufs`; a boost stops where
    // its true peak would pass `ceilingDbtp` (a track whose own peaks pass it is
    // not boosted at all, nor turned down below the target for them). A track with
    // nothing audible gets none.
    double gainDbFor(double targetLufs, double ceilingDbtp) const;

private:
    int32_t framesToMs(int64_t frames) const {
        return MeasuredLength{frames, length.sampleRate}.milliseconds();
    }
};

// Decodes `path` whole and measures it. False, with a French reason in *error, when
// the file cannot be decoded.
bool analyseTrack(const std::string& path, TrackAnalysis* analysis, std::string* error);

}  // namespace varonel::audio
