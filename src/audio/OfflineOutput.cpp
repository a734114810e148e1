#include "OfflineOutput.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace varonel::audio {

OfflineOutput::OfflineOutput(int sampleRate) : m_sampleRate(sampleRate) {}

OfflineOutput::~OfflineOutput() {
    closeWav();
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
    if (m_wav && sf_writef_float(m_wav, m_block.data(), frames) != frames) {
        m_wavFailed = true;
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
    closeWav();
    SF_INFO info{};
    info.samplerate = m_sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    m_wav = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!m_wav) {
        if (error) {
            *error = "Impossible de créer " + path + " : " + sf_strerror(nullptr);
        }
        return false;
    }
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
    const bool closed = sf_close(m_wav) == 0;
    m_wav = nullptr;
    if (m_wavFailed || !closed) {
        if (error) {
            *error = "Écriture du fichier WAV incomplète";
        }
        return false;
    }
    return true;
}

}  // namespace varonel::audio
