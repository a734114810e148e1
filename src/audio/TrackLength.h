#pragma once
// Track lengths for lists and for exit points.
//
// Threads: any thread; the cache is internally synchronised (never used by the
// real-time callback).

#include <cstdint>
#include <string>

namespace varonel::audio {

// Exact length in milliseconds, or -1 when the file cannot be decoded. Opens and
// scans the file the first time; later calls for the same path, size and
// modification time answer from the track cache (TrackCache.h), which the
// programs also keep on disk.
int32_t exactLengthMs(const std::string& path);

// Quick length from the file's headers only (the frame count of a WAV, the Xing
// or VBRI header or the bitrate of an MP3): good enough for a browser listing,
// not for an exit point. Returns the exact value when the cache knows it, -1 when
// the file is not audio.
int32_t estimatedLengthMs(const std::string& path);

// The cache itself, for the decoders: openDecoder() consults it before scanning a file
// and feeds it afterwards, so that a length read for a list is not measured again when
// the same file is loaded for playback, and the other way round.

// A length in frames at the file's own sample rate.
struct MeasuredLength {
    int64_t frames = 0;
    int sampleRate = 0;

    // Whole milliseconds, rounded down like every position of the engine.
    int32_t milliseconds() const;
};

// What tells one version of a file from another: an edited file changes size or
// modification time and is measured again.
struct FileStamp {
    int64_t size = -1;  // -1 when the file cannot be examined
    int64_t modifiedNs = 0;

    bool valid() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path);
bool cachedLength(const std::string& path, const FileStamp& stamp, MeasuredLength* length);
void rememberLength(const std::string& path, const FileStamp& stamp, const MeasuredLength& length);

}  // namespace varonel::audio
