// One copy of each program per user: the second claim of a name is not the
// first, and its request brings the first one's window forward. The programs'
// own second start is walked in the acceptance run, on a real display.

#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "ui/shared/SingleInstance.h"

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    // Within one process: the second claim is not the first, and its request
    // brings the first one's minimised window back.
    void secondClaimRaisesTheFirstWindow() {
        QTemporaryDir run;
        varonel::ui::SingleInstance first("Essai", run.path());
        varonel::ui::SingleInstance second("Essai", run.path());
        QVERIFY(first.isFirst());
        QVERIFY(!second.isFirst());
        QWidget window;
        window.showMinimized();
        QVERIFY(window.isMinimized());
        first.raiseOnRequest(&window);
        QVERIFY(second.askFirstToRaise());
        QTRY_VERIFY(!window.isMinimized());
        // Another program's claim is its own.
        QVERIFY(varonel::ui::SingleInstance("Autre", run.path()).isFirst());
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
