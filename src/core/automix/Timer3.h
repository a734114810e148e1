#pragma once
// The main window's 80 ms tick, always running: the clock (`LblTime`), the
// transport's keys read as held or not (Numpad 0 chains, Space starts or stops
// at most once every 2 seconds, Enter starts), then the playlist's automatic
// refill, in that order.
//
// Main thread only.

#include <QObject>
#include <QString>
#include <memory>

#include "core/shared/Clock.h"
#include "core/shared/Ticks.h"

namespace varonel::core {

class Transport;

// Keys read as held or not when Timer3 ticks.
enum class TransportKey { Space, Enter, Numpad0 };

class KeyboardState {
public:
    virtual ~KeyboardState() = default;
    // Held now, or pressed since the last tick: a quick tap between two ticks
    // counts at the next one.
    virtual bool isHeld(TransportKey key) const = 0;
    // The tick has read the keys: taps it has seen count no more.
    virtual void tickRead() = 0;
    // The keys count only while the main window is the active window.
    virtual bool mainWindowActive() const = 0;
};

class Timer3 final : public QObject {
    Q_OBJECT

public:
    static constexpr int kPeriodMs = 80;

    Timer3(Transport& transport, const Clock& clock, TickSource& ticks, QObject* parent = nullptr);
    ~Timer3() override;

    void setKeyboard(KeyboardState* keyboard) { m_keyboard = keyboard; }
    // The time of day shown (`LblTime`), "--:--:--" before the first tick.
    const QString& time() const { return m_time; }

signals:
    void timeChanged(const QString& time);

private:
    void Timer3_Timer();
    void readKeys(const QTime& now);
    void spaceKey(double now);

    Transport& m_transport;
    const Clock& m_clock;
    KeyboardState* m_keyboard = nullptr;
    QString m_time = QStringLiteral("--:--:--");
    // Time of day in seconds at which Space last toggled play and stop.
    double m_DernierEspace = 0.0;
    std::unique_ptr<Tick> m_tick;
};

}  // namespace varonel::core
