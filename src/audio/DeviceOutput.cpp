#include "DeviceOutput.h"

#include <algorithm>
#include <chrono>

namespace varonel::audio {
namespace {
// Checked five times a second, so a lost device is back well within 2 s.
constexpr auto kSupervisePeriod = std::chrono::milliseconds(200);
}  // namespace

DeviceOutput::DeviceOutput(DeviceBackend& backend) : m_backend(backend) {
    m_supervisor = std::thread([this] { superviseLoop(); });
}

DeviceOutput::~DeviceOutput() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        closeLocked();
    }
    m_wake.notify_all();
    m_supervisor.join();
}

void DeviceOutput::setBufferFrames(int frames) {
    m_bufferFrames = std::clamp(frames, 256, 2048);
}

bool DeviceOutput::start(std::string* error) {
    std::lock_guard lock(m_mutex);
    if (!m_open && !openLocked(m_deviceIndex, error)) {
        return false;
    }
    m_backend.setPlaying(m_deviceId, true);
    m_started.store(true);
    return true;
}

void DeviceOutput::stop() {
    std::lock_guard lock(m_mutex);
    if (m_open) {
        m_backend.setPlaying(m_deviceId, false);
    }
    m_started.store(false);
    clearLevels();
}

void DeviceOutput::close() {
    std::lock_guard lock(m_mutex);
    closeLocked();
}

bool DeviceOutput::openLocked(int index, std::string* error) {
    DeviceBackend::Opened opened;
    if (!m_backend.open(index, m_bufferFrames, &DeviceOutput::callback, this, &opened, error)) {
        return false;
    }
    m_deviceId = opened.id;
    m_sampleRate.store(opened.sampleRate);
    m_open = true;
    return true;
}

void DeviceOutput::closeLocked() {
    if (m_open) {
        m_backend.close(m_deviceId);
        m_open = false;
        m_sampleRate.store(0);
    }
    m_started.store(false);
    clearLevels();
}

void DeviceOutput::callback(void* user, float* stereo, int frames) {
    auto* self = static_cast<DeviceOutput*>(user);
    RenderContext context;
    context.sampleRate = self->m_sampleRate.load(std::memory_order_relaxed);
    self->process(stereo, frames, context);
}

void DeviceOutput::superviseLoop() {
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        m_wake.wait_for(lock, kSupervisePeriod);
        const bool lost = !m_open || m_backend.isLost(m_deviceId);
        if (!m_quit && m_started.load() && lost) {
            recoverLocked();
        }
    }
}

// Reopens the same device, or the system default when it is gone for good. A
// failed attempt is simply tried again at the next check.
void DeviceOutput::recoverLocked() {
    if (m_open) {
        m_backend.close(m_deviceId);
        m_open = false;
    }
    if (!openLocked(m_deviceIndex, nullptr) && !openLocked(-1, nullptr)) {
        return;
    }
    m_backend.setPlaying(m_deviceId, true);
    m_reopens.fetch_add(1);
}

}  // namespace varonel::audio
