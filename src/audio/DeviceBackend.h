#pragma once
// The sound-device system under device outputs: PulseAudio's own client where a
// server answers, SDL2 elsewhere, a fault-injecting stand-in in tests.
//
// Threads: main thread and the device outputs' supervisors; the callback it
// drives runs on the backend's own real-time thread.

#include <cstdint>
#include <string>

namespace varonel::audio {

class DeviceBackend {
public:
    // Fills `frames` interleaved stereo float frames. `latencyFrames` says how far
    // the listener lags behind the end of this block: what the device holds
    // already plus the block itself, in frames of the device's rate.
    using Callback = void (*)(void* user, float* stereo, int frames, int latencyFrames);

    struct Opened {
        uint32_t id = 0;
        int sampleRate = 0;
        int bufferFrames = 0;
        // The listed name of the device it plays on; for the system default, the
        // device the default stood for at the opening ("" when the system does not
        // say).
        std::string device;
    };

    virtual ~DeviceBackend() = default;

    // -1 is the system default; 0 and up the devices in the system's order.
    // "" when there is no such device.
    virtual std::string deviceName(int index) = 0;
    // The listed name of the device the system default stands for now, "" when
    // the system does not say.
    virtual std::string defaultDevice() = 0;
    // Opens a device, paused: the callback is not called until setPlaying(true).
    // `bufferFrames` is how much sound the device keeps queued ahead of what is
    // heard. Returns false with a text naming the cause.
    virtual bool open(int index, int bufferFrames, Callback callback, void* user, Opened* opened,
                      std::string* error) = 0;
    // Playing starts with the callback's sound where the system allows it (what
    // was queued before is dropped); paused, the device holds nothing.
    virtual void setPlaying(uint32_t id, bool playing) = 0;
    // The device went away (unplugged, its server restarted).
    virtual bool isLost(uint32_t id) = 0;
    // After close() returns, the callback is no longer running and never runs again.
    virtual void close(uint32_t id) = 0;
};

// The process's SDL2 audio backend.
DeviceBackend& sdlBackend();
// PulseAudio's client, connected to the user's server; null when no server
// answers.
DeviceBackend* pulseBackend();
// What the programs play on: PulseAudio when a server answers and SDL was not
// told to use another driver (SDL_AUDIODRIVER), SDL otherwise.
DeviceBackend& systemBackend();

}  // namespace varonel::audio
