#pragma once
// The periodic ticks that the programs' logic owns: the transport's 100 ms
// tick, its poll of the waits, pre-listening's second. A window gives real
// timers; tests and the offline render give virtual ones that their clock
// drives. The same logic runs in both, and it alone starts and stops its ticks.
//
// Main thread only.

#include <QString>
#include <functional>
#include <memory>

class QObject;

namespace varonel::core {

class Tick {
public:
    virtual ~Tick() = default;
    // Fires one period from now, then every period, until stopped. Starting a
    // running tick starts its period again.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

class TickSource {
public:
    virtual ~TickSource() = default;
    // A stopped tick that calls `fire` every `periodMs` once started; `name` is
    // how the window and its tests know it ("Timer1").
    virtual std::unique_ptr<Tick> makeTick(const QString& name, int periodMs,
                                           std::function<void()> fire) = 0;
};

// Real timers: each tick is a QTimer child of `parent`, named as asked.
class TimerTicks final : public TickSource {
public:
    explicit TimerTicks(QObject* parent) : m_parent(parent) {}
    std::unique_ptr<Tick> makeTick(const QString& name, int periodMs,
                                   std::function<void()> fire) override;

private:
    QObject* m_parent;
};

}  // namespace varonel::core
