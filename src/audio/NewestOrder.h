#pragma once
// The main thread's newest order of one kind, on its way to the puller: a typed
// value (a cross-fade, the stream to play and its fade) that replaces the one
// before it if the puller has not taken that one yet. Orders here supersede each
// other, and nothing may pull for a long while (a stopped deck whose slider is
// dragged, an output waiting for its device): a queue would fill, where this
// never does, and the puller never takes an older order after a newer one.
//
// Three slots, allocated with the object: the main thread writes one, the puller
// reads another, the third waits between them. The slots change hands by one
// atomic exchange; neither side waits, locks or allocates.
//
// Threads: give() by the main thread only; take() by the puller only.

#include <array>
#include <atomic>
#include <cstdint>

namespace varonel::audio {

template <typename Order>
class NewestOrder {
public:
    // --- Main thread only ---

    // Hands `order` over; an order given before it and not yet taken is dropped.
    void give(const Order& order) {
        m_slots[m_writing] = order;
        const uint8_t before = m_waiting.exchange(m_writing | kFresh, std::memory_order_acq_rel);
        m_writing = before & kSlotMask;
    }

    // --- Puller only ---

    // The order given since the last take, if there is one.
    bool take(Order* order) {
        if ((m_waiting.load(std::memory_order_relaxed) & kFresh) == 0) {
            return false;
        }
        const uint8_t before = m_waiting.exchange(m_reading, std::memory_order_acq_rel);
        m_reading = before & kSlotMask;
        *order = m_slots[m_reading];
        return true;
    }

private:
    static constexpr uint8_t kSlotMask = 3;
    static constexpr uint8_t kFresh = 4;  // the waiting slot holds an order not yet taken

    std::array<Order, 3> m_slots{};
    uint8_t m_writing = 0;              // main thread's
    uint8_t m_reading = 1;              // puller's
    std::atomic<uint8_t> m_waiting{2};  // slot between them, and kFresh
};

}  // namespace varonel::audio
