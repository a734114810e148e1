#include "core/shared/Ticks.h"

#include <QPointer>
#include <QTimer>

namespace varonel::core {

namespace {

class TimerTick final : public Tick {
public:
    TimerTick(QObject* parent, const QString& name, int periodMs, std::function<void()> fire)
        : m_timer(new QTimer(parent)) {
        m_timer->setObjectName(name);
        m_timer->setInterval(periodMs);
        QObject::connect(m_timer, &QTimer::timeout, m_timer, std::move(fire));
    }
    ~TimerTick() override { delete m_timer; }
    TimerTick(const TimerTick&) = delete;
    TimerTick& operator=(const TimerTick&) = delete;

    void start() override {
        if (m_timer) {
            m_timer->start();
        }
    }
    void stop() override {
        if (m_timer) {
            m_timer->stop();
        }
    }
    bool isActive() const override { return m_timer && m_timer->isActive(); }

private:
    // The parent may delete its children first when it goes; the tick then
    // holds nothing.
    QPointer<QTimer> m_timer;
};

}  // namespace

std::unique_ptr<Tick> TimerTicks::makeTick(const QString& name, int periodMs,
                                           std::function<void()> fire) {
    return std::make_unique<TimerTick>(m_parent, name, periodMs, std::move(fire));
}

}  // namespace varonel::core
