#pragma once
// The longest time between two turns of the event loop while it runs: how long
// the window would have left an event waiting.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>

class GapMeter {
public:
    GapMeter() {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
    }
    void start() {
        m_longest = 0;
        m_clock.start();
        m_timer.start();
    }
    qint64 stop() {
        m_timer.stop();
        return std::max(m_longest, m_clock.elapsed());
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};
