// The playlist queue: inserts, removals, the reorder drop, row filling and the
// total time.
#include <QTest>

#include "core/playlist/PlaylistModel.h"
#include "core/playlist/PlaylistTiming.h"
#include "core/playlist/RowFiller.h"

using namespace varonel::core;

namespace {

PlaylistRow rowNamed(const QString& path) {
    PlaylistRow row;
    row.path = path;
    return row;
}

// A playlist of rows whose paths are the characters of `order` ("123").
PlaylistModel playlistOf(const QString& order) {
    PlaylistModel playlist;
    for (const QChar c : order) {
        playlist.append(rowNamed(QString(c)));
    }
    return playlist;
}

}  // namespace

class PlaylistModelTest : public QObject {
    Q_OBJECT

private slots:
    void editRows_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("done");
        QTest::addColumn<QString>("after");

        QTest::newRow("move 1 onto 3 lands below") << "move" << 1 << 3 << true << "231";
        QTest::newRow("move 3 onto 1 lands above") << "move" << 3 << 1 << true << "312";
        QTest::newRow("move with no drag armed") << "move" << 0 << 2 << false << "123";
        QTest::newRow("insert at count+1 appends") << "insert" << 4 << 0 << true << "123x";
        QTest::newRow("insert past the end") << "insert" << 5 << 0 << false << "123";
        QTest::newRow("remove row 1") << "remove" << 1 << 0 << true << "23";
        QTest::newRow("remove past the end") << "remove" << 4 << 0 << false << "123";
    }

    void editRows() {
        QFETCH(QString, operation);
        QFETCH(int, index);
        QFETCH(int, to);
        QFETCH(bool, done);
        QFETCH(QString, after);

        PlaylistModel playlist = playlistOf("123");
        const bool result = operation == "move"     ? playlist.moveRow(index, to)
                            : operation == "insert" ? playlist.insertAt(index, rowNamed("x"))
                                                    : playlist.removeAt(index);
        QCOMPARE(result, done);
        QCOMPARE(playlist.paths().join(QString()), after);
    }

    void fillAndRefreshRows() {
        const QString path = "/Tubes-2000/Dupont - Valse.mp3";
        const TrackLengthReader reader = [&](const QString& asked, QString* error) {
            if (asked != path) {
                *error = "mauvais fichier";
            }
            return int32_t(83456);
        };
        PlaylistRow row;
        QVERIFY(fillRowFromPath(path, reader, MillisecondsCell::Filled, &row));
        // The hyphen in the folder's name makes no artist.
        QCOMPARE(row, (PlaylistRow{"Dupont", "Valse", "01:23", path, "83456"}));

        // A row copied from the browser keeps its cells; only the length is read
        // again, and a double-clicked row leaves the milliseconds cell empty.
        row.artist = "Artiste du navigateur";
        row.durationText = "99:99";
        row.milliseconds.clear();
        QVERIFY(refreshRowLength(reader, MillisecondsCell::Empty, &row));
        QCOMPARE(row, (PlaylistRow{"Artiste du navigateur", "Valse", "01:23", path, ""}));
    }

    void failedReadLeavesRowUntouched() {
        const TrackLengthReader cannotOpen = [](const QString&, QString* error) {
            *error = "Fichier introuvable";
            return int32_t(0);
        };
        const TrackLengthReader negativeLength = [](const QString&, QString*) {
            return int32_t(-1);
        };
        for (const TrackLengthReader& reader : {cannotOpen, negativeLength}) {
            const PlaylistRow before = rowNamed("/avant.mp3");
            PlaylistRow row = before;
            QString error;
            QVERIFY(!fillRowFromPath("/a - b.mp3", reader, MillisecondsCell::Filled, &row, &error));
            QVERIFY(!refreshRowLength(reader, MillisecondsCell::Filled, &row, &error));
            QCOMPARE(row, before);
            QVERIFY(!error.isEmpty());
        }
    }

    void calculTiming_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("text");

        QTest::newRow("0 ms") << QStringList{"0"} << "0h0mn";
        QTest::newRow("59 999 ms rounds up") << QStringList{"59999"} << "0h1mn";
        QTest::newRow("one hour") << QStringList{"3600000"} << "1h0mn";
        QTest::newRow("5 025 000 ms") << QStringList{"5025000"} << "1h23mn";
        QTest::newRow("half a second below the hour") << QStringList{"3599999"} << "1h0mn";
        QTest::newRow("rows without length count 0")
            << QStringList{"", "240000", "", "60000"} << "0h5mn";
        // 1000 tracks of 10 000 s: far beyond what 32 bits of milliseconds hold.
        QTest::newRow("no overflow") << QStringList(1000, "10000000") << "2777h46mn";
    }

    void calculTiming() {
        QFETCH(QStringList, cells);
        QFETCH(QString, text);

        PlaylistModel playlist;
        for (const QString& cell : cells) {
            PlaylistRow row;
            row.milliseconds = cell;
            playlist.append(row);
        }
        QCOMPARE(CalculTiming(playlist), text);
    }
};

QTEST_GUILESS_MAIN(PlaylistModelTest)
#include "tst_playlistmodel.moc"
