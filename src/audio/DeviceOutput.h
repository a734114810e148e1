#pragma once
// An output on a sound device. When the device goes away mid-play, a supervisor
// thread reopens it (or, failing that, the system default) and play resumes from
// where it was: the sources simply were not pulled in between.
//
// Threads: main thread for the public functions; the backend's real-time thread
// runs the callback; the supervisor thread watches the device while started.

#include <atomic>
#include <condition_variable>
#include <mutex>
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
    bool start(std::string* error = nullptr) override;
    void stop() override;
    void close() override;
    bool isStarted() const override { return m_started.load(); }

    // Frames per device buffer, 256 to 2048 (about 23 ms at 1024); takes effect at
    // the next opening of the device.
    void setBufferFrames(int frames);
    int bufferFrames() const { return m_bufferFrames; }
    // Rate of the open device (0 when closed): sources are resampled to it.
    int sampleRate() const { return m_sampleRate.load(); }
    // How many times the device had to be reopened after it went away.
    int reopenCount() const { return m_reopens.load(); }

private:
    static void callback(void* user, float* stereo, int frames);
    bool openLocked(int index, std::string* error);
    void closeLocked();
    void superviseLoop();
    void recoverLocked();

    DeviceBackend& m_backend;
    int m_bufferFrames = kDefaultBufferFrames;

    std::mutex m_mutex;  // main thread and supervisor only, never the callback
    std::condition_variable m_wake;
    bool m_open = false;
    bool m_quit = false;
    uint32_t m_deviceId = 0;
    std::atomic<bool> m_started{false};
    std::atomic<int> m_sampleRate{0};
    std::atomic<int> m_reopens{0};
    std::thread m_supervisor;
};

}  // namespace varonel::audio
