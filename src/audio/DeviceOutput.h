#pragma once
// An output on a sound device, chosen by its index in the system's list and kept
// by its name: the list can change under it (a card unplugged, another plugged
// in), and a position can then name another device.
//
// When the device goes away mid-play, a supervisor thread notices within 50 ms
// and opens the same device again if the system still lists it by that name,
// otherwise the system default; play goes on from where it stopped (the sources
// were simply not pulled in between). The next start goes back to the chosen
// device if it has returned. Each output has its own supervisor: one output's
// loss never touches another's.
//
// Threads: main thread for the public functions; the backend's real-time thread
// runs the callback; the supervisor thread watches the device while started.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "AudioOutput.h"
#include "DeviceBackend.h"

namespace varonel::audio {

class DeviceOutput final : public AudioOutput {
public:
    static constexpr int kDefaultBufferFrames = 1024;

    explicit DeviceOutput(DeviceBackend& backend = sdlBackend());
    ~DeviceOutput() override;
    DeviceOutput(const DeviceOutput&) = delete;
    DeviceOutput& operator=(const DeviceOutput&) = delete;

    std::string deviceName(int index) const override { return m_backend.deviceName(index); }
    // Remembers the device now at `index` by its name; takes effect at the next
    // start.
    void setDeviceIndex(int index) override;
    bool start(std::string* error = nullptr) override;
    void stop() override;
    void close() override;
    bool isStarted() const override { return m_started.load(); }

    // Frames per device buffer, 256 to 2048 (about 23 ms at 1024); takes effect at
    // the next opening of the device.
    void setBufferFrames(int frames);
    int bufferFrames() const { return m_bufferFrames.load(); }
    // Rate of the open device (0 when closed): sources are resampled to it.
    int sampleRate() const { return m_sampleRate.load(); }
    // How many times the device had to be reopened after it went away.
    int reopenCount() const { return m_reopens.load(); }
    // True while playing on the system default in place of a lost device.
    bool onFallback() const { return m_onFallback.load(); }

private:
    static void callback(void* user, float* stereo, int frames);
    // Where the chosen device is listed now, -1 for the default, kMissing when gone.
    int chosenIndexLocked() const;
    bool openLocked(int index, std::string* error);
    void closeLocked();
    void superviseLoop();
    void recoverLocked();

    static constexpr int kMissing = -2;

    DeviceBackend& m_backend;
    std::atomic<int> m_bufferFrames{kDefaultBufferFrames};

    std::mutex m_mutex;  // main thread and supervisor only, never the callback
    std::condition_variable m_wake;
    std::string m_chosenName;  // under m_mutex; "" for the system default
    bool m_open = false;
    bool m_quit = false;
    uint32_t m_deviceId = 0;
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_onFallback{false};
    std::atomic<int> m_sampleRate{0};
    std::atomic<int> m_reopens{0};
    std::thread m_supervisor;
};

}  // namespace varonel::audio
