#pragma once
// Reading of audio files into interleaved float frames.
//
// Threads: a decoder is used by one thread at a time, the one that opened it: a
// file source's decoding thread, the track analyser's thread, or whoever reads a
// length. The real-time callback never touches one.

#include <cstdint>
#include <memory>
#include <string>

namespace varonel::audio {

class Decoder {
public:
    virtual ~Decoder() = default;

    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;

    // Exact number of frames that read() delivers from the start to the end of the
    // stream. Exit points are computed from it, so it is never a header estimate.
    virtual int64_t lengthFrames() const = 0;

    // Reads up to `frames` interleaved frames of channels() samples, full scale at
    // 1.0; loud masters keep their peaks above it (see sanitizeSamples). Returns the number of
    // frames read; 0 means the stream has ended, either at its true end or at damage that cannot be
    // decoded past.
    virtual int64_t read(float* out, int64_t frames) = 0;

    // Moves the read position to `frame` (clamped to the stream). Returns false when
    // the file cannot seek; the position is then unchanged.
    virtual bool seek(int64_t frame) = 0;
};

struct DecoderOpenResult {
    std::unique_ptr<Decoder> decoder;  // null on failure
    std::string error;                 // French text naming the real cause, empty on success
};

// Turns NaN and infinities (damaged float data) into silence and bounds absurd
// values at +-kMaxSample. Peaks above full scale are kept: the main output's
// limiter brings them back, where a clamp here would clip every loud master.
inline constexpr float kMaxSample = 32.0f;  // +30 dBFS
void sanitizeSamples(float* samples, int64_t count);

// What the engine plays. Outside these rates no sound device takes the stream and the
// resampler cannot bring it to one (a 100 Hz file would have to be stretched 441
// times); channels past the first two are left out of the mix, but a file of more
// than kMaxChannels is not music.
inline constexpr int kMinSampleRate = 8000;
inline constexpr int kMaxSampleRate = 384000;
inline constexpr int kMaxChannels = 8;

// Why an open decoder cannot be played (a rate or channel count out of the bounds
// above), as a French text ending with " : path"; "" when it can. A stream of no
// frame plays: it ends at once.
std::string unplayableReason(const Decoder& decoder, const std::string& path);

// Which library decodes a file, told by its first bytes rather than its extension.
enum class AudioContainer {
    Sndfile,  // RIFF/RF64 WAVE, AIFF, FLAC
    Mpeg,     // MPEG audio frames, possibly behind an ID3v2 tag (MP3)
};

struct AudioProbe {
    AudioContainer container = AudioContainer::Sndfile;
    std::string error;  // French text naming the real cause, empty when the file looks decodable
};

// Checks that `path` is a readable, non-empty regular file holding WAV or MPEG audio.
// Reads at most the first 64 KiB; never opens anything but a regular file. Any thread.
AudioProbe probeAudioFile(const std::string& path);

// Opens a WAV (through libsndfile) or MP3 (through libmpg123) file, chosen by its
// content rather than its extension; only a regular file is opened, and a stream
// that cannot be played is refused (see unplayableReason). Never throws; every
// failure comes back as an error text. The measured length goes into the length cache
// (TrackLength.h), and a file the cache already knows opens without a second full scan.
DecoderOpenResult openDecoder(const std::string& path);

}  // namespace varonel::audio
