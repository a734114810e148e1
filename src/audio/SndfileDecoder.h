#pragma once
// Reads WAV (and the other containers libsndfile knows) as float frames; the frame
// count in the header is exact, so no scan is needed.
//
// Threads: one thread at a time, like every Decoder.

#include <sndfile.h>

#include <memory>
#include <string>

#include "audio/Decoder.h"

namespace varonel::audio {

class SndfileDecoder final : public Decoder {
public:
    // Null, with *error set to a French text, when `path` is not a regular file or
    // libsndfile cannot read it.
    static std::unique_ptr<SndfileDecoder> open(const std::string& path, std::string* error);
    ~SndfileDecoder() override;

    SndfileDecoder(const SndfileDecoder&) = delete;
    SndfileDecoder& operator=(const SndfileDecoder&) = delete;

    int sampleRate() const override { return m_info.samplerate; }
    int channels() const override { return m_info.channels; }
    int64_t lengthFrames() const override { return m_info.frames; }
    int64_t read(float* out, int64_t frames) override;
    bool seek(int64_t frame) override;

private:
    SndfileDecoder(SNDFILE* file, int fd, const SF_INFO& info)
        : m_file(file), m_fd(fd), m_info(info) {}

    SNDFILE* m_file;
    int m_fd;  // the file libsndfile reads, closed after it
    SF_INFO m_info;
    int64_t m_position = 0;
    bool m_ended = false;
};

}  // namespace varonel::audio
