// The playlist queue: inserts, removals, the reorder drop, row filling and the
// total time.
#include <QTest>

#include "core/playlist/PlaylistModel.h"
#include "core/playlist/PlaylistTiming.h"
#include "core/playlist/RowFiller.h"

using namespace varonel::core;

namespace {

// A reader that names each file's length after its path: a second for each
// character, and 456 ms; the files named "absent" cannot be opened, those
// named "negatif" give a negative length.
int32_t lengthOf(const QString& path, QString* error) {
    if (path.contains("absent")) {
        *error = "Fichier introuvable";
        return 0;
    }
    return path.contains("negatif") ? -1 : int32_t(path.size()) * 1000 + 456;
}

}  // namespace

class PlaylistModelTest : public QObject {
    Q_OBJECT

private slots:
    // A refused edit leaves the rows as they were; every edit done changes them.
    void editRows_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("after");

        QTest::newRow("move 1 onto 3 lands below") << "move" << 1 << 3 << "231";
        QTest::newRow("move 3 onto 1 lands above") << "move" << 3 << 1 << "312";
        QTest::newRow("move with no drag armed") << "move" << 0 << 2 << "123";
        QTest::newRow("insert at count+1 appends") << "insert" << 4 << 0 << "123x";
        QTest::newRow("insert past the end") << "insert" << 5 << 0 << "123";
        QTest::newRow("remove row 1") << "remove" << 1 << 0 << "23";
        QTest::newRow("remove past the end") << "remove" << 4 << 0 << "123";
    }

    void editRows() {
        QFETCH(QString, operation);
        QFETCH(int, index);
        QFETCH(int, to);
        QFETCH(QString, after);

        PlaylistModel playlist;
        for (const char* path : {"1", "2", "3"}) {
            playlist.append({{}, {}, {}, path, {}});
        }
        const bool result = operation == "move" ? playlist.moveRow(index, to)
                            : operation == "insert"
                                ? playlist.insertAt(index, {{}, {}, {}, "x", {}})
                                : playlist.removeAt(index);
        QCOMPARE(result, after != "123");
        QCOMPARE(playlist.paths().join(QString()), after);
    }

    // A row filled from its path: the hyphen in the folder's name makes no
    // artist. A row copied from the browser keeps its cells; only the length
    // is read again, and a double-clicked row leaves the milliseconds cell
    // empty. A file that cannot be opened or gives a negative length leaves
    // the row untouched, and says why.
    void fillAndRefreshRows() {
        const QString path = "/Tubes-2000/Dupont - Valse.mp3";  // 30 characters
        PlaylistRow row;
        QVERIFY(fillRowFromPath(path, lengthOf, MillisecondsCell::Filled, &row));
        QCOMPARE(row, (PlaylistRow{"Dupont", "Valse", "00:30", path, "30456"}));
        row.artist = "Artiste du navigateur";
        row.durationText = "99:99";
        row.milliseconds.clear();
        QVERIFY(refreshRowLength(lengthOf, MillisecondsCell::Empty, &row));
        QCOMPARE(row, (PlaylistRow{"Artiste du navigateur", "Valse", "00:30", path, ""}));

        for (const char* bad : {"/absent - b.mp3", "/negatif - b.mp3"}) {
            const PlaylistRow before{{}, {}, {}, bad, {}};
            row = before;
            QString error;
            QVERIFY(!fillRowFromPath(bad, lengthOf, MillisecondsCell::Filled, &row, &error));
            QVERIFY(!refreshRowLength(lengthOf, MillisecondsCell::Filled, &row, &error));
            QCOMPARE(row, before);
            QVERIFY(!error.isEmpty());
        }
    }

    void calculTiming_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("text");

        QTest::newRow("0 ms") << QStringList{"0"} << "0h0mn";
        QTest::newRow("59 999 ms rounds up") << QStringList{"59999"} << "0h1mn";
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
