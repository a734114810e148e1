#pragma once
// Time as the transport sees it: a monotonic count for its waits and the time of
// day for the clock, the Space key and the automatic refill. The programs use the
// system's; tests and the offline render use a virtual one that moves with the
// audio rendered.

#include <QTime>
#include <cstdint>

namespace varonel::core {

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t monotonicMs() const = 0;
    virtual QTime timeOfDay() const = 0;
};

class SystemClock final : public Clock {
public:
    int64_t monotonicMs() const override;
    QTime timeOfDay() const override { return QTime::currentTime(); }
};

// Starts at `start` and moves only when told.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(QTime start = QTime(12, 0)) : m_start(start) {}
    int64_t monotonicMs() const override { return m_ms; }
    QTime timeOfDay() const override { return m_start.addMSecs(int(m_ms % 86400000)); }
    void setMs(int64_t ms) { m_ms = ms; }
    void advanceMs(int64_t ms) { m_ms += ms; }

private:
    QTime m_start;
    int64_t m_ms = 0;
};

}  // namespace varonel::core
