// How the main thread's orders reach the puller: a flag the puller settles only
// when no newer order came in.

#include <QtTest>

#include "OrderedFlag.h"

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
};

QTEST_GUILESS_MAIN(TestOrders)
#include "tst_orders.moc"
