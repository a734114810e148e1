#pragma once
// An output on a sound device, chosen by its index in the system's list and kept
// by its name: the list can change under it (a card unplugged, another plugged
// in), and a position can then name another device.
//
// The device is opened as soon as it is chosen (open()), so that a start is heard
// at once. A supervisor thread watches it twenty times a second, started or not:
//  - when the device goes away, the output moves to the system default, unless
//    another output of its group has that device: it then waits in silence, its
//    sources held where they were (nothing is pulled, so positions stay true);
//  - when the chosen device is listed again, the output goes back to it, with no
//    stop and no order from the window.
// route() tells the window which of these it is in. Each output has its own
// supervisor: one output's loss never touches another's.
//
// Threads: main thread for the public functions; the backend's real-time thread
// runs the callback; the supervisor thread watches the device.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "audio/AudioOutput.h"
#include "audio/DeviceBackend.h"
#include "audio/OutputGroup.h"

namespace varonel::audio {

class DeviceOutput final : public AudioOutput {
public:
    static constexpr int kDefaultBufferFrames = 1024;
    static constexpr int kMinBufferFrames = 256;
    static constexpr int kMaxBufferFrames = 32768;

    // `group`, when given, holds the program's other outputs (see OutputGroup).
    explicit DeviceOutput(DeviceBackend& backend = systemBackend(),
                          std::shared_ptr<OutputGroup> group = nullptr);
    ~DeviceOutput() override;
    DeviceOutput(const DeviceOutput&) = delete;
    DeviceOutput& operator=(const DeviceOutput&) = delete;

    std::string deviceName(int index) const override { return m_backend.deviceName(index); }
    // Remembers the device now at `index` by its name; takes effect at the next
    // opening.
    void setDeviceIndex(int index) override;
    bool open(std::string* error = nullptr) override;
    bool start(std::string* error = nullptr) override;
    void stop() override;
    void close() override;
    bool isStarted() const override { return m_started.load(); }
    OutputRoute route() const override { return m_route.load(); }

    // Frames the device keeps queued, kMinBufferFrames to kMaxBufferFrames; takes
    // effect at the next opening of the device.
    void setBufferFrames(int frames) override;
    int bufferFrames() const { return m_bufferFrames.load(); }
    // Rate of the open device (0 when closed): sources are resampled to it.
    int sampleRate() const { return m_sampleRate.load(); }
    // How many times the supervisor had to move the output to another device.
    int reopenCount() const { return m_reopens.load(); }
    bool onFallback() const { return route() == OutputRoute::Fallback; }

private:
    static void callback(void* user, float* stereo, int frames, int latencyFrames);
    // Where the chosen device is listed now, -1 for the default, kMissing when gone.
    int chosenIndexLocked() const;
    // Opens the chosen device, or the default when the chosen one is gone.
    bool ensureOpenLocked(std::string* error);
    // Opens `index` paused, then gives up the device open before, then plays the
    // new one if the output is started: never two devices pulling at once.
    bool switchToLocked(int index, OutputRoute route, std::string* error);
    void closeDeviceLocked();
    void releaseDeviceLocked();
    bool mayTakeDefaultLocked() const;
    void superviseLoop();
    void superviseLocked();
    std::string missingText() const;

    static constexpr int kMissing = -2;

    DeviceBackend& m_backend;
    std::shared_ptr<OutputGroup> m_group;
    std::atomic<int> m_bufferFrames{kDefaultBufferFrames};

    std::mutex m_mutex;  // main thread and supervisor only, never the callback
    std::condition_variable m_wake;
    std::string m_chosenName;  // under m_mutex; "" for the system default
    bool m_wanted = false;     // the device is to be open (open() or start() since close())
    bool m_open = false;
    std::string m_playingOn;  // the device open now, by its listed name
    bool m_quit = false;
    uint32_t m_deviceId = 0;
    std::atomic<bool> m_started{false};
    std::atomic<OutputRoute> m_route{OutputRoute::Chosen};
    std::atomic<int> m_sampleRate{0};
    std::atomic<int> m_reopens{0};
    std::thread m_supervisor;
};

}  // namespace varonel::audio
