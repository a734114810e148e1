#pragma once
// The sound-device system under device outputs: SDL2 in the programs, a
// fault-injecting stand-in in tests.
//
// Threads: main thread and the device outputs' supervisors; the callback it
// drives runs on the backend's own real-time thread.

#include <cstdint>
#include <string>

namespace varonel::audio {

class DeviceBackend {
public:
    // Fills `frames` interleaved stereo float frames.
    using Callback = void (*)(void* user, float* stereo, int frames);

    struct Opened {
        uint32_t id = 0;
        int sampleRate = 0;
        int bufferFrames = 0;
    };

    virtual ~DeviceBackend() = default;

    // -1 is the system default; 0 and up the devices in the system's order.
    // "" when there is no such device.
    virtual std::string deviceName(int index) = 0;
    // Opens a device, paused. Returns false with a text naming the cause.
    virtual bool open(int index, int bufferFrames, Callback callback, void* user, Opened* opened,
                      std::string* error) = 0;
    virtual void setPlaying(uint32_t id, bool playing) = 0;
    // The device went away (unplugged, its server restarted).
    virtual bool isLost(uint32_t id) = 0;
    // After close() returns, the callback is no longer running and never runs again.
    virtual void close(uint32_t id) = 0;
};

// The process's SDL2 audio backend.
DeviceBackend& sdlBackend();

}  // namespace varonel::audio
