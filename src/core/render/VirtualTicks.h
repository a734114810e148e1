#pragma once
// Ticks in virtual time: each fires when the virtual clock reaches its due
// time, those due at once in the order they were made, as a window's timers
// fire between two events. The virtual driver moves the clock and fires what
// came due after each block of audio.
//
// Main thread only.

#include <QString>
#include <cstdint>
#include <list>

#include "core/shared/Clock.h"
#include "core/shared/Ticks.h"

namespace varonel::core {

class VirtualTicks final : public TickSource {
public:
    explicit VirtualTicks(VirtualClock& clock) : m_clock(clock) {}

    std::unique_ptr<Tick> makeTick(const QString& name, int periodMs,
                                   std::function<void()> fire) override;

    // Fires every tick that has come due by the clock's time, once for each of
    // its periods that has passed.
    void fireDue();
    // Whether the tick of that name runs (for tests).
    bool isActive(const QString& name) const;

private:
    struct Entry {
        QString name;
        int periodMs = 0;
        std::function<void()> fire;
        bool active = false;
        int64_t dueMs = 0;
        uint64_t startSerial = 0;  // tells a start made while it fires
    };
    class VirtualTick;

    Entry* nextDue();

    VirtualClock& m_clock;
    std::list<Entry> m_entries;  // stable addresses, in the order made
};

}  // namespace varonel::core
