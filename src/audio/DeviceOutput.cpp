#include "audio/DeviceOutput.h"

#include <algorithm>
#include <chrono>

namespace varonel::audio {
namespace {
// Checked twenty times a second, so a lost device is replaced well within 500 ms
// and a returning one taken back well within 2 s.
constexpr auto kSupervisePeriod = std::chrono::milliseconds(50);
// The system lists no more devices than this.
constexpr int kMaxDevices = 64;
}  // namespace

DeviceOutput::DeviceOutput(DeviceBackend& backend, std::shared_ptr<OutputGroup> group)
    : m_backend(backend), m_group(std::move(group)) {
    setLimiter(true);
    if (m_group) {
        m_group->join(this);
    }
    m_supervisor = std::thread([this] { superviseLoop(); });
}

DeviceOutput::~DeviceOutput() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        closeDeviceLocked();
    }
    m_wake.notify_all();
    m_supervisor.join();
    if (m_group) {
        m_group->leave(this);
    }
}

void DeviceOutput::setBufferFrames(int frames) {
    m_bufferFrames.store(std::clamp(frames, kMinBufferFrames, kMaxBufferFrames));
}

void DeviceOutput::setDeviceIndex(int index) {
    const std::string name = index >= 0 ? m_backend.deviceName(index) : std::string();
    std::lock_guard lock(m_mutex);
    m_deviceIndex.store(index);
    m_chosenName = name;
    if (m_group) {
        m_group->setChosen(this, name);
    }
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

bool DeviceOutput::open(std::string* error) {
    std::lock_guard lock(m_mutex);
    m_wanted = true;
    return ensureOpenLocked(error);
}

bool DeviceOutput::start(std::string* error) {
    std::lock_guard lock(m_mutex);
    m_wanted = true;
    if (!ensureOpenLocked(error)) {
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
    m_wanted = false;
    m_started.store(false);
    closeDeviceLocked();
    m_route.store(OutputRoute::Chosen);
}

bool DeviceOutput::ensureOpenLocked(std::string* error) {
    if (m_open) {
        return true;
    }
    const int chosen = chosenIndexLocked();
    if (chosen != kMissing && switchToLocked(chosen, OutputRoute::Chosen, error)) {
        return true;
    }
    if (chosen != -1 && mayTakeDefaultLocked() &&
        switchToLocked(-1, OutputRoute::Fallback, nullptr)) {
        return true;
    }
    if (error && (chosen == kMissing || error->empty())) {
        *error = missingText();
    }
    // The supervisor goes on trying while the device is wanted.
    m_route.store(OutputRoute::Waiting);
    return false;
}

bool DeviceOutput::switchToLocked(int index, OutputRoute route, std::string* error) {
    DeviceBackend::Opened opened;
    if (!m_backend.open(index, m_bufferFrames.load(), &DeviceOutput::callback, this, &opened,
                        error)) {
        return false;
    }
    releaseDeviceLocked();
    m_deviceId = opened.id;
    m_sampleRate.store(opened.sampleRate);
    m_open = true;
    m_playingOn = opened.device;
    if (m_group) {
        m_group->setPlayingOn(this, opened.device);
    }
    m_route.store(route);
    if (m_started.load()) {
        m_backend.setPlaying(m_deviceId, true);
    }
    return true;
}

void DeviceOutput::closeDeviceLocked() {
    releaseDeviceLocked();
    clearLevels();
}

// The meters keep what was heard last: a programme held by a lost device is
// paused, not silent, and the smart mix must not take the silence for a fade.
void DeviceOutput::releaseDeviceLocked() {
    if (m_open) {
        m_backend.close(m_deviceId);
        m_open = false;
        m_sampleRate.store(0);
        m_playingOn.clear();
        if (m_group) {
            m_group->setPlayingOn(this, {});
        }
    }
}

bool DeviceOutput::mayTakeDefaultLocked() const {
    return !m_group || !m_group->takenByOther(this, m_backend.defaultDevice());
}

std::string DeviceOutput::missingText() const {
    return "Sortie audio introuvable : " +
           (m_chosenName.empty() ? "n° " + std::to_string(m_deviceIndex.load()) : m_chosenName);
}

void DeviceOutput::callback(void* user, float* stereo, int frames, int latencyFrames) {
    auto* self = static_cast<DeviceOutput*>(user);
    RenderContext context;
    context.sampleRate = self->m_sampleRate.load(std::memory_order_relaxed);
    context.latencyFrames = latencyFrames;
    self->process(stereo, frames, context);
}

void DeviceOutput::superviseLoop() {
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        m_wake.wait_for(lock, kSupervisePeriod);
        if (!m_quit && m_wanted) {
            superviseLocked();
        }
    }
}

// A lost device is given up; then the chosen device is taken (again) as soon as
// it is listed, else the system default unless another output of the group has
// it, else the output waits. A failed attempt is tried again at the next check.
void DeviceOutput::superviseLocked() {
    if (m_open && m_backend.isLost(m_deviceId)) {
        releaseDeviceLocked();
    }
    if (m_open && m_route.load() == OutputRoute::Chosen) {
        return;
    }
    if (m_open && m_group && m_group->takenByOther(this, m_playingOn)) {
        releaseDeviceLocked();  // another output of the group chose the fallback device
    }
    const int chosen = chosenIndexLocked();
    // A default the operator chose is taken again only where no other output is.
    if (chosen != kMissing && (chosen != -1 || mayTakeDefaultLocked()) &&
        switchToLocked(chosen, OutputRoute::Chosen, nullptr)) {
        m_reopens.fetch_add(1);
        return;
    }
    if (m_open) {
        return;  // the fallback still serves
    }
    if (chosen != -1 && mayTakeDefaultLocked() &&
        switchToLocked(-1, OutputRoute::Fallback, nullptr)) {
        m_reopens.fetch_add(1);
        return;
    }
    m_route.store(OutputRoute::Waiting);
}

}  // namespace varonel::audio
