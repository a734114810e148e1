#include "audio/OfflineOutput.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "audio/FileAccess.h"

namespace varonel::audio {

OfflineOutput::OfflineOutput(int sampleRate) : m_sampleRate(sampleRate) {}

OfflineOutput::~OfflineOutput() {
    discardWav();
}

std::string OfflineOutput::deviceName(int index) const {
    return index == -1 ? "Sortie hors ligne" : "";
}

bool OfflineOutput::start(std::string* /*error*/) {
    m_started = true;
    return true;
}

void OfflineOutput::stop() {
    m_started = false;
    clearLevels();
}

void OfflineOutput::close() {
    stop();
}

const float* OfflineOutput::pull(int frames) {
    m_block.resize(size_t(std::max(frames, 0)) * 2);
    if (m_started) {
        RenderContext context;
        context.sampleRate = m_sampleRate;
        context.waitForData = true;
        process(m_block.data(), frames, context);
    } else {
        std::fill(m_block.begin(), m_block.end(), 0.0f);
    }
    m_framesRendered += frames;
    if (m_wav && !m_wavFailed && sf_writef_float(m_wav, m_block.data(), frames) != frames) {
        // libsndfile writes with write(): errno tells why (a full disk, most often).
        m_wavFailed = true;
        m_wavErrno = errno;
    }
    return m_block.data();
}

void OfflineOutput::advanceMs(int64_t ms, int blockFrames) {
    const int64_t target = m_framesRendered + ms * m_sampleRate / 1000;
    while (m_framesRendered < target) {
        pull(int(std::min<int64_t>(blockFrames, target - m_framesRendered)));
    }
}

bool OfflineOutput::openWav(const std::string& path, std::string* error) {
    discardWav();
    std::string reason;
    auto file = std::make_unique<ReplacementFile>(path);
    SF_INFO info{};
    info.samplerate = m_sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    if (file->create(&reason)) {
        m_wav = sf_open_fd(file->fd(), SFM_WRITE, &info, SF_FALSE);
        if (!m_wav) {
            reason = "format WAV refusé par libsndfile";
        }
    }
    if (!m_wav) {
        if (error) {
            *error = "Impossible de créer " + path + " : " + reason;
        }
        return false;
    }
    m_wavFile = std::move(file);
    // Without the limiter a sum can pass full scale: it is clipped in the file
    // rather than wrapped round.
    sf_command(m_wav, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    m_wavFailed = false;
    return true;
}

bool OfflineOutput::closeWav(std::string* error) {
    if (!m_wav) {
        return true;
    }
    // sf_close() writes the header's sizes before the file is put in place.
    const bool closed = sf_close(m_wav) == 0;
    m_wav = nullptr;
    std::string reason = systemErrorText(m_wavFailed ? m_wavErrno : errno);
    const bool done = !m_wavFailed && closed && m_wavFile->commit(&reason);
    if (!done && error) {
        *error =
            "Écriture du fichier WAV impossible : " + m_wavFile->target() + " (" + reason + ")";
    }
    m_wavFile.reset();
    return done;
}

void OfflineOutput::discardWav() {
    if (m_wav) {
        sf_close(m_wav);
        m_wav = nullptr;
    }
    m_wavFile.reset();
}

}  // namespace varonel::audio
