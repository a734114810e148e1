#pragma once
// A single-producer, single-consumer ring of fixed-size blocks of decoded audio.
//
// The decoding thread fills blocks and publishes them; the real-time callback reads
// them and hands the slots back. Neither side locks or allocates: the slots are
// allocated once, and the two indices are atomics on separate cache lines.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace varonel::audio {

// One block of decoded stereo audio at the file's own rate.
struct AudioChunk {
    static constexpr int kFrames = 2048;

    uint64_t tag = 0;          // which load or seek produced it; stale blocks are skipped
    int sampleRate = 44100;    // the rate of the file it comes from
    int frames = 0;            // valid frames in `samples`
    int64_t firstFrame = 0;    // position in the file of samples[0], in file frames
    bool endOfStream = false;  // nothing follows this block in its stream
    bool failed = false;       // the file could not be opened or sought: nothing to play
    std::array<float, 2 * kFrames> samples{};
};

class ChunkQueue {
public:
    explicit ChunkQueue(size_t capacity)
        : m_capacity(capacity), m_slots(std::make_unique<AudioChunk[]>(capacity)) {}

    size_t capacity() const { return m_capacity; }

    // --- For the writer (decoding thread) only ---

    // The slot to fill next, or null when the ring is full.
    AudioChunk* writeSlot() {
        const uint64_t write = m_write.value.load(std::memory_order_relaxed);
        const uint64_t read = m_read.value.load(std::memory_order_acquire);
        return write - read < m_capacity ? &m_slots[write % m_capacity] : nullptr;
    }
    // Makes the slot returned by writeSlot() visible to the reader.
    void publish() { m_write.value.fetch_add(1, std::memory_order_release); }
    // Wakes a reader blocked in waitForData(). The writer calls it once a batch of
    // blocks is ready rather than after each one, so that an offline reader does
    // not switch threads at every block.
    void wakeReader() { m_write.value.notify_one(); }

    // Published blocks not yet read (either side; exact for the calling side).
    size_t size() const {
        return size_t(m_write.value.load(std::memory_order_acquire) -
                      m_read.value.load(std::memory_order_acquire));
    }

    // --- For the reader (real-time callback or offline puller) only ---

    // The oldest published block, or null when there is none.
    const AudioChunk* front() const {
        const uint64_t read = m_read.value.load(std::memory_order_relaxed);
        const uint64_t write = m_write.value.load(std::memory_order_acquire);
        return read != write ? &m_slots[read % m_capacity] : nullptr;
    }
    // The published block `index` places behind the front, or null past the last.
    const AudioChunk* peek(size_t index) const {
        const uint64_t read = m_read.value.load(std::memory_order_relaxed);
        const uint64_t write = m_write.value.load(std::memory_order_acquire);
        return read + index < write ? &m_slots[(read + index) % m_capacity] : nullptr;
    }
    // Gives the front slot back to the writer.
    void pop() { m_read.value.fetch_add(1, std::memory_order_release); }
    // Blocks until a block is published. For offline rendering only: the real-time
    // callback never waits.
    void waitForData() const {
        const uint64_t read = m_read.value.load(std::memory_order_relaxed);
        uint64_t write = m_write.value.load(std::memory_order_acquire);
        while (write == read) {
            m_write.value.wait(write, std::memory_order_acquire);
            write = m_write.value.load(std::memory_order_acquire);
        }
    }

private:
    // Each index on its own cache line so that the two threads do not fight over it.
    struct alignas(64) PaddedIndex {
        std::atomic<uint64_t> value{0};
    };

    const size_t m_capacity;
    std::unique_ptr<AudioChunk[]> m_slots;
    PaddedIndex m_write;
    PaddedIndex m_read;
};

}  // namespace varonel::audio
