#include "audio/SndfileDecoder.h"

#include <unistd.h>

#include <algorithm>

#include "audio/FileAccess.h"

namespace varonel::audio {

std::unique_ptr<SndfileDecoder> SndfileDecoder::open(const std::string& path, std::string* error) {
    std::string reason;
    const int fd = openRegularFile(path, &reason);
    if (fd < 0) {
        *error = reason + " : " + path;
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_FALSE);
    if (file == nullptr) {
        ::close(fd);
        *error = "Fichier WAV endommagé, en-tête illisible : " + path;
        return nullptr;
    }
    if (info.channels <= 0 || info.samplerate <= 0 || info.frames < 0 ||
        info.frames == SF_COUNT_MAX) {
        sf_close(file);
        ::close(fd);
        *error = "Fichier WAV endommagé, format ou longueur invalide : " + path;
        return nullptr;
    }
    // Integer formats come back scaled to [-1, 1]; float files keep their values, peaks
    // above full scale included (only damaged values are mended in read()).
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    return std::unique_ptr<SndfileDecoder>(new SndfileDecoder(file, fd, info));
}

SndfileDecoder::~SndfileDecoder() {
    sf_close(m_file);
    ::close(m_fd);
}

int64_t SndfileDecoder::read(float* out, int64_t frames) {
    frames = std::min(frames, m_info.frames - m_position);
    if (m_ended || frames <= 0) {
        return 0;
    }
    const sf_count_t got = sf_readf_float(m_file, out, frames);
    if (got <= 0) {
        // A read error inside the data: what came before was delivered, nothing follows.
        m_ended = true;
        return 0;
    }
    sanitizeSamples(out, got * m_info.channels);
    m_position += got;
    return got;
}

bool SndfileDecoder::seek(int64_t frame) {
    if (!m_info.seekable) {
        return false;
    }
    frame = std::clamp<int64_t>(frame, 0, m_info.frames);
    const sf_count_t landed = sf_seek(m_file, frame, SEEK_SET);
    if (landed < 0) {
        return false;
    }
    m_position = landed;
    m_ended = false;
    return true;
}

}  // namespace varonel::audio
