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
// modification time answer from a process-wide cache.
int32_t exactLengthMs(const std::string& path);

// Quick length from the file's headers only (the frame count of a WAV, the Xing
// or VBRI header or the bitrate of an MP3): good enough for a browser listing,
// not for an exit point. Returns the exact value when the cache knows it, -1 when
// the file is not audio.
int32_t estimatedLengthMs(const std::string& path);

}  // namespace varonel::audio
