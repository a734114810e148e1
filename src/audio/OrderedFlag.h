#pragma once
// A flag that the main thread orders and the puller may settle: a mixer input's
// "finished", a player's "playing". The puller turns it (a source that has ended)
// only if no order came in since it read it, so its own change never overrides a
// newer order of the main thread, even one that sets the same value again.
//
// Threads: order() by the main thread only; read() and setIfNoNewerOrder() by the
// puller only; value() by anyone. No lock, no allocation.

#include <atomic>
#include <cstdint>

namespace varonel::audio {

class OrderedFlag {
public:
    // What the puller saw, to be handed back to setIfNoNewerOrder().
    class Reading {
    public:
        bool value() const { return (m_word & kValueBit) != 0; }

    private:
        friend class OrderedFlag;
        explicit Reading(uint32_t word) : m_word(word) {}
        uint32_t m_word;
    };

    explicit OrderedFlag(bool initial) : m_word(initial ? kValueBit : 0) {}
    OrderedFlag(const OrderedFlag&) = delete;
    OrderedFlag& operator=(const OrderedFlag&) = delete;

    // --- Main thread only ---

    // Every order is new, even one that repeats the value: a change the puller
    // bases on an earlier reading then fails.
    void order(bool value) {
        const uint32_t serial = (m_word.load() | kValueBit) + 1;  // the next even word
        m_word.store(serial | (value ? kValueBit : 0), std::memory_order_release);
    }

    // --- Any thread ---

    bool value() const { return (m_word.load(std::memory_order_acquire) & kValueBit) != 0; }

    // --- Puller only ---

    Reading read() const { return Reading(m_word.load(std::memory_order_acquire)); }
    // Sets the flag to `value` unless the main thread gave an order after `reading`.
    void setIfNoNewerOrder(Reading reading, bool value) {
        uint32_t expected = reading.m_word;
        const uint32_t desired = value ? expected | kValueBit : expected & ~kValueBit;
        m_word.compare_exchange_strong(expected, desired, std::memory_order_acq_rel);
    }

private:
    // Bit 0 is the value; the rest a serial that each order bumps.
    static constexpr uint32_t kValueBit = 1;

    std::atomic<uint32_t> m_word;
};

}  // namespace varonel::audio
