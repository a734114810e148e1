#pragma once
// An output without a device: the caller pulls the mix block by block, in virtual
// time, as fast as the machine allows. It runs the very same source, mixer and
// meter code as a device output, waiting for the decoders instead of dropping
// audio, so a render is the same every time. It can write what it renders to a
// 16-bit WAV file. Its limiter is off unless asked for (the main chain asks).
//
// Threads: everything from one thread (the caller's), which is also the puller.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioOutput.h"
#include "audio/ReplacementFile.h"

typedef struct sf_private_tag SNDFILE;

namespace varonel::audio {

class OfflineOutput final : public AudioOutput {
public:
    explicit OfflineOutput(int sampleRate = 44100);
    ~OfflineOutput() override;

    // Only the default device exists.
    std::string deviceName(int index) const override;
    bool start(std::string* error = nullptr) override;
    void stop() override;
    void close() override;
    bool isStarted() const override { return m_started; }

    int sampleRate() const { return m_sampleRate; }

    // Renders the next `frames` frames (silence while stopped) and returns them,
    // interleaved stereo, valid until the next call.
    const float* pull(int frames);
    // Renders `ms` milliseconds in blocks of `blockFrames` frames.
    void advanceMs(int64_t ms, int blockFrames = 1024);

    // Virtual time: what has been rendered since construction.
    int64_t framesRendered() const { return m_framesRendered; }
    int64_t elapsedMs() const { return m_framesRendered * 1000 / m_sampleRate; }

    // Writes every rendered frame from now on to a 16-bit stereo WAV file. The file
    // is written anew beside `path` and put in its place by closeWav() only: until
    // then an older file of that name stays as it was. A `path` that is not a
    // regular file (a device, a folder) is refused. False, with a French *error.
    bool openWav(const std::string& path, std::string* error = nullptr);
    // Completes the WAV file and puts it in place; returns false, the older file
    // untouched, if it could not be written in full.
    bool closeWav(std::string* error = nullptr);
    // Drops the WAV file being written; an older file of its name stays.
    void discardWav();

private:
    const int m_sampleRate;
    bool m_started = false;
    int64_t m_framesRendered = 0;
    std::vector<float> m_block;
    std::unique_ptr<ReplacementFile> m_wavFile;
    SNDFILE* m_wav = nullptr;
    bool m_wavFailed = false;
    int m_wavErrno = 0;  // why the write failed
};

}  // namespace varonel::audio
