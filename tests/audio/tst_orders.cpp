// How the main thread's orders reach the puller: a flag the puller settles only
// when no newer order came in, and the newest order of a kind, never an older one.

#include <QtTest>

#include <thread>

#include "audio/NewestOrder.h"
#include "audio/OrderedFlag.h"

using namespace varonel::audio;

class TestOrders : public QObject {
    Q_OBJECT

private slots:
    // The puller's change is dropped after an order given since it read the flag,
    // even an order of the very value it read.
    void pullerNeverOverridesANewerOrder() {
        OrderedFlag flag(false);
        const OrderedFlag::Reading stale = flag.read();
        flag.order(false);
        flag.setIfNoNewerOrder(stale, true);
        QCOMPARE(flag.value(), false);

        flag.setIfNoNewerOrder(flag.read(), true);
        QCOMPARE(flag.value(), true);
    }

    // However many orders come while nothing takes them, the next take finds the
    // newest, once.
    void newestOrderNeverFills() {
        NewestOrder<int> orders;
        for (int i = 1; i <= 1000; ++i) {
            orders.give(i);
        }
        int taken = 0;
        QVERIFY(orders.take(&taken));
        QCOMPARE(taken, 1000);
        QVERIFY(!orders.take(&taken));
    }

    // Taken while being given, orders only ever go forward, and the last is taken.
    void pullerNeverTakesAnOlderOrder() {
        constexpr int kLast = 200000;
        NewestOrder<int> orders;
        std::thread main([&] {
            for (int i = 1; i <= kLast; ++i) {
                orders.give(i);
            }
        });
        int previous = 0;
        bool backwards = false;
        for (int taken = 0; previous < kLast;) {
            if (orders.take(&taken)) {
                backwards = backwards || taken <= previous;
                previous = taken;
            }
        }
        main.join();
        QVERIFY(!backwards);
    }
};

QTEST_GUILESS_MAIN(TestOrders)
#include "tst_orders.moc"
