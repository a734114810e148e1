#pragma once
// A disk that stalls on demand: a decoder (or its opening) passes through the
// stall and hangs there while it is held, the way a file on a stalled disk or
// an unanswering network share does.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "audio/Decoder.h"
#include "audio/FileSource.h"

namespace stall {

struct Stall {
    std::mutex mutex;
    std::condition_variable released;
    bool stalled = false;
    std::atomic<bool> inside{false};  // a call is hanging now

    void hold() {
        std::lock_guard lock(mutex);
        stalled = true;
    }
    void release() {
        std::lock_guard lock(mutex);
        stalled = false;
        released.notify_all();
    }
    // Called by the stalled thread: returns once the stall is released.
    void pass() {
        std::unique_lock lock(mutex);
        inside = stalled;
        released.wait(lock, [this] { return !stalled; });
        inside = false;
    }
};

// 30 s of a constant level, each read passing through the stall.
class StallingDecoder final : public varonel::audio::Decoder {
public:
    explicit StallingDecoder(Stall& stall) : m_stall(stall) {}
    int sampleRate() const override { return 44100; }
    int channels() const override { return 2; }
    int64_t lengthFrames() const override { return int64_t(44100) * 30; }
    int64_t read(float* out, int64_t frames) override {
        m_stall.pass();
        std::fill(out, out + frames * 2, 0.5f);
        return frames;
    }
    bool seek(int64_t) override { return true; }

private:
    Stall& m_stall;
};

// Opens a StallingDecoder, the opening itself passing through the stall.
inline varonel::audio::FileSource::DecoderFactory stallingFactory(Stall& stall) {
    return [&stall](const std::string&) {
        stall.pass();
        return varonel::audio::DecoderOpenResult{std::make_unique<StallingDecoder>(stall), {}};
    };
}

}  // namespace stall
