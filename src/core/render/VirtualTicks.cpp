#include "core/render/VirtualTicks.h"

namespace varonel::core {

class VirtualTicks::VirtualTick final : public Tick {
public:
    VirtualTick(VirtualTicks& ticks, std::list<Entry>::iterator entry)
        : m_ticks(ticks), m_entry(entry) {}
    ~VirtualTick() override { m_ticks.m_entries.erase(m_entry); }
    VirtualTick(const VirtualTick&) = delete;
    VirtualTick& operator=(const VirtualTick&) = delete;

    void start() override {
        m_entry->active = true;
        m_entry->dueMs = m_ticks.m_clock.monotonicMs() + m_entry->periodMs;
        ++m_entry->startSerial;
    }
    void stop() override { m_entry->active = false; }
    bool isActive() const override { return m_entry->active; }

private:
    VirtualTicks& m_ticks;
    std::list<Entry>::iterator m_entry;
};

std::unique_ptr<Tick> VirtualTicks::makeTick(const QString& name, int periodMs,
                                             std::function<void()> fire) {
    Entry entry;
    entry.name = name;
    entry.periodMs = periodMs;
    entry.fire = std::move(fire);
    m_entries.push_back(std::move(entry));
    return std::make_unique<VirtualTick>(*this, std::prev(m_entries.end()));
}

VirtualTicks::Entry* VirtualTicks::nextDue() {
    Entry* next = nullptr;
    for (Entry& entry : m_entries) {
        if (entry.active && entry.dueMs <= m_clock.monotonicMs() &&
            (next == nullptr || entry.dueMs < next->dueMs)) {
            next = &entry;
        }
    }
    return next;
}

void VirtualTicks::fireDue() {
    while (Entry* entry = nextDue()) {
        const uint64_t serial = entry->startSerial;
        const int64_t due = entry->dueMs;
        entry->fire();
        // A tick stopped or started again by what it ran keeps what that did.
        if (entry->startSerial == serial && entry->active) {
            entry->dueMs = due + entry->periodMs;
        }
    }
}

bool VirtualTicks::isActive(const QString& name) const {
    for (const Entry& entry : m_entries) {
        if (entry.name == name) {
            return entry.active;
        }
    }
    return false;
}

}  // namespace varonel::core
