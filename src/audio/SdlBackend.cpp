// Sound devices through SDL2, where no PulseAudio server answers (or SDL was told
// to use another driver). Each opened device gets a small record that carries the
// output's callback to SDL's audio thread.
//
// SDL cannot drop what a device has queued, and does not say how late the sound
// is: the latency is taken as two buffers (the one being played and the one
// being filled), which is what its drivers keep.

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "audio/DeviceBackend.h"

namespace varonel::audio {
namespace {

constexpr int kPreferredRate = 44100;

struct OpenDevice {
    DeviceBackend::Callback callback = nullptr;
    void* user = nullptr;
    int latencyFrames = 0;
};

void sdlCallback(void* userdata, Uint8* stream, int length) {
    auto* device = static_cast<OpenDevice*>(userdata);
    device->callback(device->user, reinterpret_cast<float*>(stream),
                     length / int(2 * sizeof(float)), device->latencyFrames);
}

class SdlBackend final : public DeviceBackend {
public:
    SdlBackend() {
        // The programs handle their own signals: SDL must not swallow SIGTERM and
        // SIGINT, or a program could not be ended from outside.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            m_ready = true;
        } else {
            m_initError = SDL_GetError();
        }
    }
    ~SdlBackend() override {
        if (m_ready) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

    std::string deviceName(int index) override {
        std::lock_guard lock(m_mutex);
        if (!m_ready) {
            return index == -1 ? "Sortie par défaut" : "";
        }
        if (index == -1) {
            const std::string target = defaultTargetLocked();
            return target.empty() ? "Sortie par défaut" : "Sortie par défaut (" + target + ")";
        }
        return listedNameLocked(index);
    }

    std::string defaultDevice() override {
        std::lock_guard lock(m_mutex);
        return m_ready ? defaultTargetLocked() : std::string();
    }

    bool open(int index, int bufferFrames, Callback callback, void* user, Opened* opened,
              std::string* error) override {
        std::lock_guard lock(m_mutex);
        if (!m_ready) {
            return fail(error, "Pas de son : " + m_initError);
        }
        const char* name = nullptr;
        if (index >= 0) {
            name = index < SDL_GetNumAudioDevices(0) ? SDL_GetAudioDeviceName(index, 0) : nullptr;
            if (!name) {
                return fail(error, "Sortie audio introuvable (n° " + std::to_string(index) + ")");
            }
        }
        auto device = std::make_unique<OpenDevice>(OpenDevice{callback, user, 0});
        SDL_AudioSpec want{};
        want.freq = kPreferredRate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = Uint16(std::clamp(bufferFrames, 64, 32768));
        want.callback = sdlCallback;
        want.userdata = device.get();
        SDL_AudioSpec have{};
        const SDL_AudioDeviceID id =
            SDL_OpenAudioDevice(name, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (id == 0) {
            return fail(error,
                        std::string("Impossible d'ouvrir la sortie audio : ") + SDL_GetError());
        }
        device->latencyFrames = 2 * int(have.samples);
        m_devices[id] = std::move(device);
        *opened = Opened{id, have.freq, have.samples, name ? name : defaultTargetLocked()};
        return true;
    }

    void setPlaying(uint32_t id, bool playing) override {
        SDL_PauseAudioDevice(id, playing ? 0 : 1);
    }

    bool isLost(uint32_t id) override { return SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_STOPPED; }

    void close(uint32_t id) override {
        SDL_CloseAudioDevice(id);  // waits for a running callback to return
        std::lock_guard lock(m_mutex);
        m_devices.erase(id);
    }

private:
    static bool fail(std::string* error, const std::string& text) {
        if (error) {
            *error = text;
        }
        return false;
    }

    static std::string listedNameLocked(int index) {
        if (index < 0 || index >= SDL_GetNumAudioDevices(0)) {
            return "";
        }
        const char* name = SDL_GetAudioDeviceName(index, 0);
        return name ? name : "";
    }

    // The listed device the default stands for, "" when SDL does not say (only
    // its sound-server drivers know; asking the others would only set an error).
    static std::string defaultTargetLocked() {
        const char* driver = SDL_GetCurrentAudioDriver();
        if (!driver ||
            (std::strcmp(driver, "pulseaudio") != 0 && std::strcmp(driver, "pipewire") != 0)) {
            return {};
        }
        char* name = nullptr;
        SDL_AudioSpec format{};
        std::string target;
        if (SDL_GetDefaultAudioInfo(&name, &format, 0) == 0 && name) {
            target = name;
            SDL_free(name);
        }
        return target;
    }

    std::mutex m_mutex;
    bool m_ready = false;
    std::string m_initError;
    std::map<SDL_AudioDeviceID, std::unique_ptr<OpenDevice>> m_devices;
};

}  // namespace

DeviceBackend& sdlBackend() {
    static SdlBackend backend;
    return backend;
}

}  // namespace varonel::audio
