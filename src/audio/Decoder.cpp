// Chooses the decoder of a file from its content, and names what is wrong with a file
// that cannot be decoded.

#include "audio/Decoder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/FileAccess.h"
#include "audio/Mpg123Decoder.h"
#include "audio/SndfileDecoder.h"
#include "audio/TrackLength.h"

namespace varonel::audio {

namespace {

constexpr size_t kProbeBytes = 64 * 1024;

std::string because(const char* cause, const std::string& path) {
    return std::string(cause) + " : " + path;
}

bool startsWith(const std::vector<unsigned char>& bytes, size_t at, const char* text) {
    const size_t n = std::strlen(text);
    return bytes.size() >= at + n && std::memcmp(bytes.data() + at, text, n) == 0;
}

bool isSndfileContainer(const std::vector<unsigned char>& b) {
    const bool riff =
        startsWith(b, 0, "RIFF") || startsWith(b, 0, "RIFX") || startsWith(b, 0, "RF64");
    if (riff) {
        return startsWith(b, 8, "WAVE");
    }
    if (startsWith(b, 0, "FORM")) {
        return startsWith(b, 8, "AIFF") || startsWith(b, 8, "AIFC");
    }
    return startsWith(b, 0, "fLaC") || startsWith(b, 0, "OggS");
}

// Length in bytes of the MPEG audio frame whose 4-byte header starts at `h`, or 0 when
// those bytes are not a valid header.
size_t mpegFrameBytes(const unsigned char* h) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) {
        return 0;
    }
    const int version = (h[1] >> 3) & 3;  // 0: MPEG 2.5, 1: reserved, 2: MPEG 2, 3: MPEG 1
    const int layer = (h[1] >> 1) & 3;    // 1: III, 2: II, 3: I, 0: reserved
    const int bitrateIndex = (h[2] >> 4) & 15;
    const int rateIndex = (h[2] >> 2) & 3;
    const int padding = (h[2] >> 1) & 1;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return 0;
    }
    static constexpr int kBitrates[2][3][15] = {
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    static constexpr int kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int layerNumber = 4 - layer;  // 1, 2 or 3
    const int bitrate = kBitrates[mpeg1 ? 0 : 1][layerNumber - 1][bitrateIndex] * 1000;
    const int rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const int coefficient = (layerNumber == 3 && !mpeg1) ? 72 : 144;
    const int bytes = layerNumber == 1 ? (12 * bitrate / rate + padding) * 4
                                       : coefficient * bitrate / rate + padding;
    return size_t(bytes);
}

// True when the bytes hold an MPEG audio frame followed by a second one where the
// first says it ends: one header alone is too easily found in other data.
bool holdsMpegFrames(const std::vector<unsigned char>& b, bool wholeFile) {
    for (size_t i = 0; i + 4 <= b.size(); ++i) {
        const size_t length = mpegFrameBytes(b.data() + i);
        if (length == 0) {
            continue;
        }
        const size_t next = i + length;
        if (next + 4 <= b.size()) {
            // Same version, layer and sample rate in the following header.
            const unsigned char* h = b.data() + next;
            if (mpegFrameBytes(h) != 0 && (h[1] & 0xFE) == (b[i + 1] & 0xFE) &&
                (h[2] & 0x0C) == (b[i + 2] & 0x0C)) {
                return true;
            }
        } else if (wholeFile && next >= b.size()) {
            return true;  // a file of a single frame
        }
    }
    return false;
}

}  // namespace

void sanitizeSamples(float* samples, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        const float s = samples[i];
        samples[i] = std::isfinite(s) ? std::clamp(s, -kMaxSample, kMaxSample) : 0.0f;
    }
}

std::string unplayableReason(const Decoder& decoder, const std::string& path) {
    const int rate = decoder.sampleRate();
    if (rate < kMinSampleRate || rate > kMaxSampleRate) {
        return "Fréquence d'échantillonnage impossible à jouer (" + std::to_string(rate) +
               " Hz ; de 8 000 à 384 000 Hz) : " + path;
    }
    if (decoder.channels() < 1 || decoder.channels() > kMaxChannels) {
        return "Nombre de canaux impossible à jouer (" + std::to_string(decoder.channels()) +
               " ; de 1 à 8) : " + path;
    }
    return {};
}

AudioProbe probeAudioFile(const std::string& path) {
    AudioProbe probe;
    std::string reason;
    const int fd = openRegularFile(path, &reason);
    if (fd < 0) {
        probe.error = because(reason.c_str(), path);
        return probe;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size == 0) {
        ::close(fd);
        probe.error = because("Fichier vide", path);
        return probe;
    }
    std::vector<unsigned char> bytes(kProbeBytes);
    size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        filled += size_t(got);
    }
    ::close(fd);
    bytes.resize(filled);
    if (bytes.empty()) {
        probe.error = because("Impossible de lire le fichier", path);
        return probe;
    }

    if (isSndfileContainer(bytes)) {
        probe.container = AudioContainer::Sndfile;
    } else if (startsWith(bytes, 0, "ID3") ||
               holdsMpegFrames(bytes, int64_t(filled) >= int64_t(info.st_size))) {
        // An ID3v2 tag can be larger than what was read (cover art): its presence is
        // enough, and the decoder tells whether frames follow it.
        probe.container = AudioContainer::Mpeg;
    } else {
        probe.error = because("Ce fichier n'est pas un fichier audio (WAV ou MP3)", path);
    }
    return probe;
}

DecoderOpenResult openDecoder(const std::string& path) {
    DecoderOpenResult result;
    const AudioProbe probe = probeAudioFile(path);
    if (!probe.error.empty()) {
        result.error = probe.error;
        return result;
    }
    // Stamped before measuring: if the file changes meanwhile, the next look misses
    // the cache and measures again.
    const FileStamp stamp = stampOf(path);
    MeasuredLength known;
    const bool isKnown = cachedLength(path, stamp, &known);

    if (probe.container == AudioContainer::Sndfile) {
        result.decoder = SndfileDecoder::open(path, &result.error);
    } else {
        result.decoder =
            Mpg123Decoder::open(path, isKnown ? known : MeasuredLength{}, &result.error);
    }
    if (!result.decoder) {
        return result;
    }
    result.error = unplayableReason(*result.decoder, path);
    if (!result.error.empty()) {
        result.decoder.reset();
        return result;
    }
    rememberLength(path, stamp, {result.decoder->lengthFrames(), result.decoder->sampleRate()});
    return result;
}

}  // namespace varonel::audio
