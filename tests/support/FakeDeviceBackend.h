#pragma once
// A device backend for tests: each opened device is a thread that pulls its
// callback at roughly real-time pace, and a device can be made to disappear the
// way an unplugged card does (its callback stops and it reads lost). The list of
// devices can change under the outputs, the system default can stand for any of
// them, and each device keeps what it plays.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/DeviceBackend.h"

class FakeDeviceBackend final : public varonel::audio::DeviceBackend {
public:
    explicit FakeDeviceBackend(int deviceCount = 2) {
        for (int i = 0; i < deviceCount; ++i) {
            m_names.push_back("Fake card " + std::to_string(i));
        }
    }

    std::string deviceName(int index) override {
        std::lock_guard lock(m_mutex);
        const bool listed = index >= 0 && index < int(m_names.size());
        return index == -1 ? "Fake default" : listed ? m_names[size_t(index)] : "";
    }
    std::string defaultDevice() override {
        std::lock_guard lock(m_mutex);
        return m_default;
    }

    bool open(int index, int bufferFrames, Callback callback, void* user, Opened* opened,
              std::string* error) override {
        std::lock_guard lock(m_mutex);
        // No card, no default either.
        if (index >= int(m_names.size()) || (index < 0 && m_names.empty())) {
            if (error) {
                *error = "no such device";
            }
            return false;
        }
        auto device = std::make_unique<Device>();
        device->name = index >= 0          ? m_names[size_t(index)]
                       : m_default.empty() ? "Fake default"
                                           : m_default;
        m_opened.push_back(device->name);
        device->thread = std::thread([this, d = device.get(), bufferFrames, callback, user] {
            std::vector<float> buffer(size_t(bufferFrames) * 2);
            const auto period = std::chrono::microseconds(int64_t(bufferFrames) * 1000000 / 44100);
            for (auto due = std::chrono::steady_clock::now(); !d->quit.load(); due += period) {
                if (d->playing.load() && !d->lost.load()) {
                    callback(user, buffer.data(), bufferFrames,
                             bufferFrames + m_latencyFrames.load());
                    std::lock_guard playedLock(m_playedMutex);
                    m_played[d->name].push_back(buffer);
                }
                std::this_thread::sleep_until(due + period);
            }
        });
        *opened = Opened{++m_nextId, 44100, bufferFrames, index >= 0 ? device->name : m_default};
        m_devices[m_nextId] = std::move(device);
        return true;
    }

    void setPlaying(uint32_t id, bool playing) override {
        std::lock_guard lock(m_mutex);
        if (auto it = m_devices.find(id); it != m_devices.end()) {
            it->second->playing.store(playing);
        }
    }
    bool isLost(uint32_t id) override {
        std::lock_guard lock(m_mutex);
        auto it = m_devices.find(id);
        return it == m_devices.end() || it->second->lost.load();
    }
    void close(uint32_t id) override {
        Devices::node_type device;  // its thread is joined as it goes, after the unlock
        std::lock_guard lock(m_mutex);
        device = m_devices.extract(id);
    }

    // Test controls.
    // Frames each device holds before the block it asks for is heard.
    void setLatencyFrames(int frames) { m_latencyFrames.store(frames); }
    // The listed device the system default stands for ("" for none of them).
    void setDefault(const std::string& name) {
        std::lock_guard lock(m_mutex);
        m_default = name;
    }
    // The device called `name` goes away: it reads lost and, unless it stays
    // `listed` (a glitch), leaves the list, the devices after it moving up one.
    void unplug(const std::string& name, bool listed = false) {
        std::lock_guard lock(m_mutex);
        for (auto& [id, device] : m_devices) {
            device->lost = device->lost || device->name == name;
        }
        if (!listed) {
            std::erase(m_names, name);
        }
    }
    // A device is plugged in at the end of the list.
    void plug(const std::string& name) {
        std::lock_guard lock(m_mutex);
        m_names.push_back(name);
    }
    void setDevices(std::vector<std::string> names) {
        std::lock_guard lock(m_mutex);
        m_names = std::move(names);
    }
    // Names of the devices opened so far, in order.
    std::vector<std::string> opened() {
        std::lock_guard lock(m_mutex);
        return m_opened;
    }
    // The blocks `device` played since the last call.
    std::vector<std::vector<float>> takePlayed(const std::string& device) {
        std::lock_guard lock(m_playedMutex);
        return std::exchange(m_played[device], {});
    }

private:
    struct Device {
        std::string name;
        std::atomic<bool> playing{false};
        std::atomic<bool> lost{false};
        std::atomic<bool> quit{false};
        std::thread thread;
        ~Device() {
            quit.store(true);
            thread.join();
        }
    };
    using Devices = std::map<uint32_t, std::unique_ptr<Device>>;

    std::vector<std::string> m_names;
    std::string m_default;
    std::vector<std::string> m_opened;
    std::mutex m_playedMutex;
    std::map<std::string, std::vector<std::vector<float>>> m_played;
    std::mutex m_mutex;
    uint32_t m_nextId = 0;
    std::atomic<int> m_latencyFrames{0};
    // Last, so that it goes first: the devices' threads use the members above.
    Devices m_devices;
};
