#pragma once
// Reads MP3 (MPEG audio) through libmpg123 as float frames, gapless, skipping garbage
// inside the stream, with a length measured by scanning every frame header.
//
// Threads: one thread at a time, like every Decoder. estimateLength() any thread.

#include <memory>
#include <string>

#include "audio/Decoder.h"
#include "audio/TrackLength.h"

struct mpg123_handle_struct;

namespace varonel::audio {

class BufferedInput;

class Mpg123Decoder final : public Decoder {
public:
    // LAME's encoder delay (576) plus the decoder's own delay (529): the silence that
    // leads every LAME stream. A LAME tag lets libmpg123 trim it; without one, it is
    // trimmed here.
    static constexpr int64_t kStandardLeadIn = 576 + 529;

    // A `known` length with frames > 0 at the file's rate skips the full scan (the file
    // was measured before). Null, with *error set to a French text, on failure.
    static std::unique_ptr<Mpg123Decoder> open(const std::string& path, const MeasuredLength& known,
                                               std::string* error);

    // Length from the headers only: the Xing/VBRI frame count, or the first frame's
    // bitrate times the file size. False when no MPEG frame is found.
    static bool estimateLength(const std::string& path, MeasuredLength* length);

    ~Mpg123Decoder() override;
    Mpg123Decoder(const Mpg123Decoder&) = delete;
    Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

    int sampleRate() const override { return m_sampleRate; }
    int channels() const override { return m_channels; }
    int64_t lengthFrames() const override { return m_length; }
    int64_t read(float* out, int64_t frames) override;
    bool seek(int64_t frame) override;

private:
    Mpg123Decoder(mpg123_handle_struct* handle, std::unique_ptr<BufferedInput> input);

    bool formatIsStillOurs();

    // The handle reads through the input, so it is closed first (see the destructor).
    std::unique_ptr<BufferedInput> m_input;
    mpg123_handle_struct* m_handle;
    int m_sampleRate = 0;
    int m_channels = 0;
    // Samples libmpg123 delivers before the stream's sample 0 (see kStandardLeadIn).
    int64_t m_leadIn = 0;
    int64_t m_length = 0;
    int64_t m_position = 0;
    bool m_ended = false;
};

}  // namespace varonel::audio
