// writeWav: every PCM width and float through libsndfile.

#include <sndfile.h>

#include <cstdio>

#include "Synth.h"
#include "WriterErrors.h"

namespace varonel::synth {

namespace {

int subtypeOf(WavFormat format) {
    switch (format) {
        case WavFormat::Pcm8:
            return SF_FORMAT_PCM_U8;  // 8-bit WAV is unsigned by definition
        case WavFormat::Pcm16:
            return SF_FORMAT_PCM_16;
        case WavFormat::Pcm24:
            return SF_FORMAT_PCM_24;
        case WavFormat::Pcm32:
            return SF_FORMAT_PCM_32;
        case WavFormat::Float:
            return SF_FORMAT_FLOAT;
    }
    return SF_FORMAT_PCM_16;
}

}  // namespace

bool writeWav(const std::string& path, const Audio& audio, WavFormat format, std::string* error) {
    if (!detail::isWellFormed(audio)) {
        return detail::fail(error, path, "données audio invalides");
    }
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = SF_FORMAT_WAV | subtypeOf(format);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return detail::fail(error, path, sf_strerror(nullptr));
    }
    // Without clipping, a sample just above full scale would wrap to the opposite sign.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const sf_count_t written = sf_writef_float(file, audio.samples.data(), audio.frames());
    std::string reason = written == audio.frames() ? std::string() : sf_strerror(file);
    if (sf_close(file) != 0 && reason.empty()) {
        reason = "fermeture impossible";
    }
    if (!reason.empty()) {
        std::remove(path.c_str());
        return detail::fail(error, path, reason);
    }
    return true;
}

}  // namespace varonel::synth
