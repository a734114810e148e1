#pragma once
// An output: pulls the sound of one render source block by block, limits its peaks
// (see PeakLimiter.h) when asked, measures what is heard on two level meters and
// counts underruns. Device outputs play it on a sound device; the offline output
// hands it to its caller.
//
// Threads: the main thread calls the public functions; process() runs on the
// puller (the device's real-time callback, or the offline caller).

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "audio/LevelMeter.h"
#include "audio/PeakLimiter.h"
#include "audio/RenderSource.h"

namespace varonel::audio {

// Where an output's sound goes.
enum class OutputRoute {
    Chosen,    // to the chosen device, or nowhere yet (never opened, or closed)
    Fallback,  // the chosen device is gone: to the system default meanwhile
    Waiting,   // the chosen device is gone and the default is another output's:
               // silent, every source held where it was, until a device is free
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // --- Main thread ---

    // The source to pull; set before the first start. Null plays silence.
    void setSource(RenderSource* source) { m_source.store(source); }

    // Name of the device at `index` (-1 the system default, 0 to 10 the listed
    // devices), "" when there is no such device.
    virtual std::string deviceName(int index) const = 0;
    // Takes effect at the next opening of the device.
    virtual void setDeviceIndex(int index) { m_deviceIndex.store(index); }
    int deviceIndex() const { return m_deviceIndex.load(); }
    // How much sound a device keeps queued ahead of what is heard, in frames;
    // takes effect at the next opening. Outputs without a device ignore it.
    virtual void setBufferFrames(int frames) { (void)frames; }

    // The peak limiter on what goes out: on for the main output (and by default
    // for device outputs); off, the sum goes out as it is, in float. Set before
    // the first start.
    void setLimiter(bool on) { m_limiterOn.store(on); }
    bool limiter() const { return m_limiterOn.load(); }

    // Opens the device without playing, so that a start is heard at once. False,
    // with *error naming the cause, when it cannot be opened.
    virtual bool open(std::string* error = nullptr) {
        (void)error;
        return true;
    }
    // Opens the device if needed and starts pulling. On failure returns false and
    // fills *error with a text that names the cause.
    virtual bool start(std::string* error = nullptr) = 0;
    // Stops pulling; the device stays open.
    virtual void stop() = 0;
    // Stops and releases the device.
    virtual void close() = 0;
    virtual bool isStarted() const = 0;
    virtual OutputRoute route() const { return OutputRoute::Chosen; }
    int32_t levelLeft() const { return m_left.level(); }
    int32_t levelRight() const { return m_right.level(); }
    // How long what went out has stayed below the audible level, in milliseconds
    // of output: 0 while anything is heard. Every sample counts, not only the
    // blocks a meter happens to be read on, so a sparse sound is never missed.
    int64_t quietMs() const { return m_quietMs.load(std::memory_order_relaxed); }
    // Peaks under this (-60 dBFS) are not heard on air: hiss, dither, a fade's end.
    static constexpr float kAudiblePeak = 0.001f;
    // Blocks that were played with a gap because decoding lagged behind.
    uint64_t underruns() const { return m_underruns.load(std::memory_order_relaxed); }
    // Longest time one block took to compute, in nanoseconds.
    int64_t longestBlockNs() const { return m_longestBlockNs.load(std::memory_order_relaxed); }
    // How late what is heard is behind what was last computed, in milliseconds:
    // what positions and meters are set back by (0 offline).
    int latencyMs() const { return m_latencyMs.load(std::memory_order_relaxed); }

protected:
    // --- Puller ---
    void process(float* stereo, int frames, const RenderContext& context);
    // Called while nothing pulls (stopped or closed).
    // A callback may still be finishing its block: the puller's own count of quiet
    // frames is reset by the puller at its next block, never from here.
    void clearLevels() {
        m_left.clear();
        m_right.clear();
        m_quietReset.store(true, std::memory_order_relaxed);
        m_quietMs.store(0, std::memory_order_relaxed);
    }

    std::atomic<int> m_deviceIndex{-1};

private:
    // The peaks of the last blocks sent, so that the meters show the block being
    // heard rather than the one just computed. Puller only.
    struct SentBlock {
        int64_t end = 0;  // frames sent once this block was
        float left = 0.0f;
        float right = 0.0f;
    };
    static constexpr size_t kSentBlocks = 64;
    void showHeardLevels(float peakLeft, float peakRight, int frames, int latencyFrames);

    std::atomic<RenderSource*> m_source{nullptr};
    std::atomic<bool> m_limiterOn{false};
    PeakLimiter m_limiter;
    LevelMeter m_left;
    LevelMeter m_right;
    std::array<SentBlock, kSentBlocks> m_sent{};
    size_t m_nextSent = 0;
    int64_t m_framesSent = 0;
    int64_t m_quietFrames = 0;  // puller only
    std::atomic<bool> m_quietReset{false};
    std::atomic<int64_t> m_quietMs{0};
    std::atomic<uint64_t> m_underruns{0};
    std::atomic<int64_t> m_longestBlockNs{0};
    std::atomic<int> m_latencyMs{0};
};

}  // namespace varonel::audio
