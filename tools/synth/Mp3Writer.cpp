// writeMp3: CBR or VBR MP3 through LAME, with or without the Xing/LAME header that
// tells a decoder the exact length (and the encoder delay and padding to drop).

#include <lame/lame.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Synth.h"
#include "WriterErrors.h"

namespace varonel::synth {

namespace {

constexpr int kChunkFrames = 8192;

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using LamePtr = std::unique_ptr<lame_global_flags, LameCloser>;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool configure(lame_global_flags* flags, const Audio& audio, Mp3Mode mode) {
    lame_set_num_channels(flags, audio.channels);
    lame_set_in_samplerate(flags, audio.sampleRate);
    // Left alone, LAME may resample to a rate it prefers; the tests want the input rate.
    lame_set_out_samplerate(flags, audio.sampleRate);
    lame_set_mode(flags, audio.channels == 1 ? MONO : JOINT_STEREO);
    // Test and demo files: the fast psychoacoustics halve the encoding time, and at
    // these rates the difference is hard to hear.
    lame_set_quality(flags, 7);
    lame_set_write_id3tag_automatic(flags, 0);
    if (mode == Mp3Mode::Cbr) {
        lame_set_VBR(flags, vbr_off);
        lame_set_brate(flags, 128);
    } else {
        lame_set_VBR(flags, vbr_default);
        lame_set_VBR_quality(flags, 4.0f);
    }
    lame_set_bWriteVbrTag(flags, mode == Mp3Mode::VbrNoXing ? 0 : 1);
    return lame_init_params(flags) >= 0;
}

int encodeChunk(lame_global_flags* flags, const Audio& audio, int64_t firstFrame, int frames,
                std::vector<unsigned char>& out) {
    const float* pcm = audio.samples.data() + firstFrame * audio.channels;
    if (audio.channels == 2) {
        return lame_encode_buffer_interleaved_ieee_float(flags, pcm, frames, out.data(),
                                                         int(out.size()));
    }
    // The interleaved call always steps over two samples, so mono goes the planar way.
    return lame_encode_buffer_ieee_float(flags, pcm, pcm, frames, out.data(), int(out.size()));
}

bool writeAll(std::FILE* file, const unsigned char* data, size_t size) {
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

// Encodes everything, flushes, then puts the final header into the placeholder frame
// LAME reserved at the start of the stream. Returns an empty text on success.
std::string encodeInto(std::FILE* file, lame_global_flags* flags, const Audio& audio,
                       Mp3Mode mode) {
    std::vector<unsigned char> buffer(size_t(kChunkFrames) * 5 / 4 + 7200);
    for (int64_t first = 0; first < audio.frames(); first += kChunkFrames) {
        const int frames = int(std::min<int64_t>(kChunkFrames, audio.frames() - first));
        const int bytes = encodeChunk(flags, audio, first, frames, buffer);
        if (bytes < 0) {
            return "erreur de l'encodeur MP3 (" + std::to_string(bytes) + ")";
        }
        if (!writeAll(file, buffer.data(), size_t(bytes))) {
            return std::strerror(errno);
        }
    }
    const int bytes = lame_encode_flush(flags, buffer.data(), int(buffer.size()));
    if (bytes < 0 || !writeAll(file, buffer.data(), size_t(bytes))) {
        return bytes < 0 ? "erreur de l'encodeur MP3 à la fin" : std::strerror(errno);
    }
    if (mode == Mp3Mode::VbrNoXing) {
        return {};
    }
    const size_t tagBytes = lame_get_lametag_frame(flags, buffer.data(), buffer.size());
    if (tagBytes == 0 || tagBytes > buffer.size()) {
        return "en-tête Xing/LAME indisponible";
    }
    if (std::fseek(file, 0, SEEK_SET) != 0 || !writeAll(file, buffer.data(), tagBytes)) {
        return std::strerror(errno);
    }
    return {};
}

}  // namespace

bool writeMp3(const std::string& path, const Audio& audio, Mp3Mode mode, std::string* error) {
    if (!detail::isWellFormed(audio) || audio.channels > 2) {
        return detail::fail(error, path, "données audio invalides (MP3 : mono ou stéréo)");
    }
    LamePtr flags(lame_init());
    if (!flags || !configure(flags.get(), audio, mode)) {
        return detail::fail(error, path,
                            "réglages refusés par l'encodeur MP3 (fréquence " +
                                std::to_string(audio.sampleRate) + " Hz)");
    }
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return detail::fail(error, path, std::strerror(errno));
    }
    std::string reason = encodeInto(file.get(), flags.get(), audio, mode);
    // fclose reports the write errors that buffering kept back (a full disk).
    if (std::fclose(file.release()) != 0 && reason.empty()) {
        reason = std::strerror(errno);
    }
    if (!reason.empty()) {
        std::remove(path.c_str());
        return detail::fail(error, path, reason);
    }
    return true;
}

}  // namespace varonel::synth
