// The automatic request: how many rows it takes, that they are distinct and
// not taken before, its 1.5 s limit in virtual time, and a nested request.

#include <QtTest>

#include "BrowserModel.h"
#include "Clock.h"
#include "PlaylistModel.h"
#include "Requette.h"
#include "TrackNaming.h"

using namespace varonel::core;

namespace {

// A browser of `rows` files, a playlist of `queued` rows and a virtual clock
// that each turn of the request's loop moves by 1 ms.
struct Request {
    Request(int rows, int queued) : browser({Artiste, true}) {
        list(rows);
        for (int i = 0; i < queued; ++i) {
            PlaylistRow row;
            row.path = QStringLiteral("/file/Queued - %1.mp3").arg(i);
            playlist.append(row);
        }
    }
    void list(int rows) {
        QStringList names;
        for (int i = 0; i < rows; ++i) {
            names.append(QStringLiteral("Artiste %1 - Titre.mp3").arg(i));
        }
        browser.fill("/browser", names, false);
    }
    int run() {
        RequetteContext context{browser,
                                playlist,
                                reader,
                                clock,
                                [this] {
                                    clock.advanceMs(1);
                                    if (yield) {
                                        yield();
                                    }
                                },
                                {},
                                {},
                                [this](const QString& text) { told.append(text); }};
        return Requette(context);
    }
    // Paths the request appended, in order.
    QStringList added() const { return playlist.paths().filter(QStringLiteral("/browser/")); }

    BrowserModel browser;
    PlaylistModel playlist;
    VirtualClock clock;
    std::function<void()> yield;
    QStringList told;  // what the request had to tell the operator
    QString unreadable = QStringLiteral("Artiste 13 ");
    TrackLengthReader reader = [this](const QString& path, QString* error) {
        if (path.contains(unreadable)) {
            *error = QStringLiteral("illisible");
        }
        return 180000;
    };
};

}  // namespace

class TestRequette : public QObject {
    Q_OBJECT

private slots:
    // Up to 10 rows: 7 distinct ones after 3, none after 10, each tagged and
    // with its length; a row whose file cannot be read is tagged but not added.
    void topsUpToTenDistinctRows() {
        Request request(20, 3);
        QCOMPARE(request.run(), 7);
        const QStringList added = request.added();
        QCOMPARE(added.size(), 7);
        QCOMPARE(QSet<QString>(added.begin(), added.end()).size(), 7);
        QVERIFY(!added.join(' ').contains("Artiste 13 "));
        for (int i = 4; i <= 10; ++i) {
            QCOMPARE(request.playlist.row(i).milliseconds, QStringLiteral("180000"));
            QCOMPARE(request.playlist.row(i).durationText, QStringLiteral("03:00"));
        }
        int tagged = 0;
        for (int i = 0; i < request.browser.count(); ++i) {
            tagged += request.browser.row(i).tag == QLatin1String("x") ? 1 : 0;
        }
        QVERIFY(tagged >= 7);
        QCOMPARE(request.clock.monotonicMs() < 1500, true);

        Request full(20, 10);
        QCOMPARE(full.run(), 0);
        Request empty(0, 0);
        QCOMPARE(empty.run(), 0);
        QCOMPARE(empty.clock.monotonicMs(), 0);  // returns at once
    }

    // Four rows all taken, then about 1.5 s of fruitless draws; a second request
    // adds nothing until the folder is listed again. The file that could not be
    // read and the want of rows are told.
    void stopsAfterOneAndAHalfSeconds() {
        Request request(4, 0);
        request.unreadable = QStringLiteral("Artiste 2 ");
        QCOMPARE(request.run(), 3);
        QVERIFY(request.clock.monotonicMs() >= 1500 && request.clock.monotonicMs() <= 1510);
        QCOMPARE(request.told,
                 QStringList({"Requette : titre illisible, non ajouté : illisible : "
                              "/browser/Artiste 2 - Titre.mp3",
                              "Requette : plus rien à prendre dans /browser, ses 4 titres sont "
                              "déjà pris"}));
        QCOMPARE(request.run(), 0);
        QCOMPARE(request.playlist.count(), 3);
        request.list(4);
        request.unreadable = QStringLiteral("none");
        QCOMPARE(request.run(), 4);
        QCOMPARE(request.playlist.count(), 7);
    }

    // A request started from inside the loop (the refill timer) fills the list;
    // the outer one stops at 10 rows, and no row is taken twice.
    void nestedRequestShares() {
        Request request(30, 1);
        bool nestedDone = false;
        int nestedAdded = 0;
        request.yield = [&] {
            if (!nestedDone) {
                nestedDone = true;
                nestedAdded = request.run();
            }
        };
        const int outer = request.run();
        QCOMPARE(nestedAdded, 9);
        QCOMPARE(outer, 0);
        QCOMPARE(request.playlist.count(), 10);
        const QStringList added = request.added();
        QCOMPARE(QSet<QString>(added.begin(), added.end()).size(), 9);
    }

    // The folder listed again during the loop: the request goes on with the new rows.
    void folderChangedDuringTheLoop() {
        Request request(2, 0);
        int turns = 0;
        request.yield = [&] {
            if (++turns == 2) {
                request.list(0);
            } else if (turns == 100) {
                request.list(12);
            }
        };
        request.run();
        QCOMPARE(request.playlist.count(), 10);
    }
};

QTEST_GUILESS_MAIN(TestRequette)
#include "tst_requette.moc"
