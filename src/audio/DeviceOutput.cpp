#include "DeviceOutput.h"

#include <algorithm>
#include <chrono>

namespace varonel::audio {
namespace {
// Checked twenty times a second, so a lost device is replaced well within 500 ms.
constexpr auto kSupervisePeriod = std::chrono::milliseconds(50);
// The system lists no more devices than this.
constexpr int kMaxDevices = 64;
}  // namespace

DeviceOutput::DeviceOutput(DeviceBackend& backend) : m_backend(backend) {
    setLimiter(true);
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
    m_bufferFrames.store(std::clamp(frames, 256, 2048));
}

void DeviceOutput::setDeviceIndex(int index) {
    const std::string name = index >= 0 ? m_backend.deviceName(index) : std::string();
    std::lock_guard lock(m_mutex);
    m_deviceIndex.store(index);
    m_chosenName = name;
}

int DeviceOutput::chosenIndexLocked() const {
    const int index = m_deviceIndex.load();
    if (index < 0) {
        return -1;
    }
    // The same position if it still holds the same name, else the first that does.
    if (m_chosenName.empty() || m_backend.deviceName(index) == m_chosenName) {
        return m_backend.deviceName(index).empty() ? kMissing : index;
    }
    for (int i = 0; i < kMaxDevices; ++i) {
        const std::string name = m_backend.deviceName(i);
        if (name.empty()) {
            break;
        }
        if (name == m_chosenName) {
            return i;
        }
    }
    return kMissing;
}

bool DeviceOutput::start(std::string* error) {
    std::lock_guard lock(m_mutex);
    const int chosen = chosenIndexLocked();
    if (m_open && m_onFallback.load() && chosen != kMissing) {
        closeLocked();  // the chosen device is back
    }
    if (!m_open) {
        if (chosen == kMissing) {
            if (error) {
                *error = "Sortie audio introuvable : " +
                         (m_chosenName.empty() ? "n° " + std::to_string(m_deviceIndex.load())
                                               : m_chosenName);
            }
            return false;
        }
        if (!openLocked(chosen, error)) {
            return false;
        }
        m_onFallback.store(false);
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
    if (!m_backend.open(index, m_bufferFrames.load(), &DeviceOutput::callback, this, &opened,
                        error)) {
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
        if (!m_quit && m_started.load() && (!m_open || m_backend.isLost(m_deviceId))) {
            recoverLocked();
        }
    }
}

// Opens the chosen device where the system lists it now, or the system default
// when it is gone. A failed attempt is tried again at the next check.
void DeviceOutput::recoverLocked() {
    if (m_open) {
        m_backend.close(m_deviceId);
        m_open = false;
    }
    const int chosen = chosenIndexLocked();
    bool opened = chosen != kMissing && openLocked(chosen, nullptr);
    m_onFallback.store(!opened && chosen != -1);
    if (!opened && chosen != -1) {
        opened = openLocked(-1, nullptr);
    }
    if (!opened) {
        return;
    }
    m_backend.setPlaying(m_deviceId, true);
    m_reopens.fetch_add(1);
}

}  // namespace varonel::audio
