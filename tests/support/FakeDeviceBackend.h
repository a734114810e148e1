#pragma once
// A device backend for tests: each opened device is a thread that pulls its
// callback at roughly real-time pace, and a device can be made to disappear the
// way an unplugged card does (its callback stops and it reads lost). The list of
// devices can change under the outputs, the system default can stand for any of
// them, and what each device plays can be recorded.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/DeviceBackend.h"

class FakeDeviceBackend final : public varonel::audio::DeviceBackend {
public:
    // Called on a device's thread with each block it plays and the device's name.
    using Recorder = std::function<void(const std::string& device, const float*, int frames)>;

    explicit FakeDeviceBackend(int deviceCount = 2) {
        for (int i = 0; i < deviceCount; ++i) {
            m_names.push_back("Fake card " + std::to_string(i));
        }
    }
    ~FakeDeviceBackend() override {
        std::vector<uint32_t> ids;
        {
            std::lock_guard lock(m_mutex);
            for (auto& [id, device] : m_devices) {
                ids.push_back(id);
            }
        }
        for (uint32_t id : ids) {
            close(id);
        }
    }

    std::string deviceName(int index) override {
        if (index == -1) {
            return "Fake default";
        }
        std::lock_guard lock(m_mutex);
        return index >= 0 && index < int(m_names.size()) ? m_names[size_t(index)] : "";
    }
    std::string defaultDevice() override {
        std::lock_guard lock(m_mutex);
        return m_default;
    }

    bool open(int index, int bufferFrames, Callback callback, void* user, Opened* opened,
              std::string* error) override {
        std::lock_guard lock(m_mutex);
        if (index >= int(m_names.size()) || m_refuseIndex.load() == index) {
            if (error) {
                *error = "no such device";
            }
            return false;
        }
        const uint32_t id = ++m_nextId;
        auto device = std::make_unique<Device>();
        device->index = index;
        device->name = index >= 0          ? m_names[size_t(index)]
                       : m_default.empty() ? "Fake default"
                                           : m_default;
        m_opened.push_back(device->name);
        device->thread = std::thread([this, d = device.get(), bufferFrames, callback, user] {
            std::vector<float> buffer(size_t(bufferFrames) * 2);
            const auto period = std::chrono::microseconds(int64_t(bufferFrames) * 1000000 / 44100);
            auto due = std::chrono::steady_clock::now();
            while (!d->quit.load()) {
                if (d->playing.load() && !d->lost.load()) {
                    callback(user, buffer.data(), bufferFrames,
                             bufferFrames + m_latencyFrames.load());
                    std::lock_guard lock(m_recorderMutex);
                    if (m_recorder) {
                        m_recorder(d->name, buffer.data(), bufferFrames);
                    }
                }
                due += period;
                std::this_thread::sleep_until(due);
            }
        });
        const std::string name = device->name;
        m_devices[id] = std::move(device);
        *opened = Opened{id, 44100, bufferFrames, index >= 0 ? name : m_default};
        return true;
    }

    void setPlaying(uint32_t id, bool playing) override {
        if (Device* d = find(id)) {
            d->playing.store(playing);
        }
    }
    bool isLost(uint32_t id) override {
        Device* d = find(id);
        return !d || d->lost.load();
    }
    void close(uint32_t id) override {
        std::unique_ptr<Device> device;
        {
            std::lock_guard lock(m_mutex);
            auto it = m_devices.find(id);
            if (it == m_devices.end()) {
                return;
            }
            device = std::move(it->second);
            m_devices.erase(it);
        }
        device->quit.store(true);
        device->thread.join();
    }

    // Test controls.
    void unplugAllOf(int index) {
        std::lock_guard lock(m_mutex);
        for (auto& [id, device] : m_devices) {
            if (device->index == index) {
                device->lost.store(true);
            }
        }
    }
    void refuseIndex(int index) { m_refuseIndex.store(index); }
    // Frames each device holds before the block it asks for is heard.
    void setLatencyFrames(int frames) { m_latencyFrames.store(frames); }
    // The listed device the system default stands for ("" for none of them).
    void setDefault(const std::string& name) {
        std::lock_guard lock(m_mutex);
        m_default = name;
    }

    // The device called `name` goes away: it reads lost and leaves the list, so
    // the devices after it move up one position.
    void unplug(const std::string& name) {
        std::lock_guard lock(m_mutex);
        for (auto& [id, device] : m_devices) {
            if (device->name == name) {
                device->lost.store(true);
            }
        }
        m_names.erase(std::remove(m_names.begin(), m_names.end(), name), m_names.end());
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
    void setRecorder(Recorder recorder) {
        std::lock_guard lock(m_recorderMutex);
        m_recorder = std::move(recorder);
    }

private:
    struct Device {
        int index = -1;
        std::string name;
        std::atomic<bool> playing{false};
        std::atomic<bool> lost{false};
        std::atomic<bool> quit{false};
        std::thread thread;
    };
    Device* find(uint32_t id) {
        std::lock_guard lock(m_mutex);
        auto it = m_devices.find(id);
        return it == m_devices.end() ? nullptr : it->second.get();
    }

    std::vector<std::string> m_names;
    std::string m_default;
    std::vector<std::string> m_opened;
    std::mutex m_recorderMutex;
    Recorder m_recorder;
    std::mutex m_mutex;
    std::map<uint32_t, std::unique_ptr<Device>> m_devices;
    uint32_t m_nextId = 0;
    std::atomic<int> m_refuseIndex{-100};
    std::atomic<int> m_latencyFrames{0};
};
