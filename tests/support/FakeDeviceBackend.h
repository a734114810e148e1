#pragma once
// A device backend for tests: each opened device is a thread that pulls its
// callback at roughly real-time pace, and a device can be made to disappear the
// way an unplugged card does (its callback stops and it reads lost).

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DeviceBackend.h"

class FakeDeviceBackend final : public varonel::audio::DeviceBackend {
public:
    explicit FakeDeviceBackend(int deviceCount = 2) : m_deviceCount(deviceCount) {}
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
        return index >= 0 && index < m_deviceCount ? "Fake card " + std::to_string(index) : "";
    }

    bool open(int index, int bufferFrames, Callback callback, void* user, Opened* opened,
              std::string* error) override {
        std::lock_guard lock(m_mutex);
        if (index >= m_deviceCount || m_refuseIndex.load() == index) {
            if (error) {
                *error = "no such device";
            }
            return false;
        }
        const uint32_t id = ++m_nextId;
        auto device = std::make_unique<Device>();
        device->index = index;
        device->thread = std::thread([d = device.get(), bufferFrames, callback, user] {
            std::vector<float> buffer(size_t(bufferFrames) * 2);
            const auto period = std::chrono::microseconds(int64_t(bufferFrames) * 1000000 / 44100);
            while (!d->quit.load()) {
                if (d->playing.load() && !d->lost.load()) {
                    callback(user, buffer.data(), bufferFrames);
                    d->framesPulled.fetch_add(bufferFrames);
                }
                std::this_thread::sleep_for(period);
            }
        });
        m_devices[id] = std::move(device);
        *opened = Opened{id, 44100, bufferFrames};
        ++m_opens;
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
    int opens() const { return m_opens.load(); }

private:
    struct Device {
        int index = -1;
        std::atomic<bool> playing{false};
        std::atomic<bool> lost{false};
        std::atomic<bool> quit{false};
        std::atomic<int64_t> framesPulled{0};
        std::thread thread;
    };
    Device* find(uint32_t id) {
        std::lock_guard lock(m_mutex);
        auto it = m_devices.find(id);
        return it == m_devices.end() ? nullptr : it->second.get();
    }

    const int m_deviceCount;
    std::mutex m_mutex;
    std::map<uint32_t, std::unique_ptr<Device>> m_devices;
    uint32_t m_nextId = 0;
    std::atomic<int> m_refuseIndex{-100};
    std::atomic<int> m_opens{0};
};
