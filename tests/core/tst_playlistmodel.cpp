// The playlist queue: inserts, removals, the reorder drop, row filling and the
// total time.
#include <QHash>
#include <QTest>

#include "PlaylistModel.h"
#include "PlaylistTiming.h"
#include "RowFiller.h"

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

QString orderOf(const PlaylistModel& playlist) {
    return playlist.paths().join(QString());
}

PlaylistModel playlistWithMilliseconds(const QStringList& cells) {
    PlaylistModel playlist;
    for (const QString& cell : cells) {
        PlaylistRow row;
        row.milliseconds = cell;
        playlist.append(row);
    }
    return playlist;
}

}  // namespace

class PlaylistModelTest : public QObject {
    Q_OBJECT

private slots:
    void moveRow_data();
    void moveRow();
    void insertAndRemove_data();
    void insertAndRemove();
    void fillRowFromPath_data();
    void fillRowFromPath();
    void failedReadLeavesRowUntouched_data();
    void failedReadLeavesRowUntouched();
    void refreshKeepsCopiedCells();
    void calculTiming_data();
    void calculTiming();
    void totalCountsLeadingNumbers();
    void longPlaylistDoesNotOverflow();
};

void PlaylistModelTest::moveRow_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QString>("after");

    QTest::newRow("1 onto 3 lands below") << "123" << 1 << 3 << true << "231";
    QTest::newRow("3 onto 1 lands above") << "123" << 3 << 1 << true << "312";
    QTest::newRow("1 onto 2 of 4") << "1234" << 1 << 2 << true << "2134";
    QTest::newRow("4 onto 2 of 4") << "1234" << 4 << 2 << true << "1423";
    QTest::newRow("onto itself") << "123" << 2 << 2 << true << "123";
    QTest::newRow("single row") << "1" << 1 << 1 << true << "1";
    QTest::newRow("drag not armed") << "123" << 0 << 2 << false << "123";
    QTest::newRow("from gone (rows removed)") << "12" << 3 << 1 << false << "12";
    QTest::newRow("no target row") << "123" << 1 << 0 << false << "123";
    QTest::newRow("target beyond rows") << "123" << 1 << 4 << false << "123";
    QTest::newRow("negative from") << "123" << -1 << 1 << false << "123";
}

void PlaylistModelTest::moveRow() {
    QFETCH(QString, before);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, moved);
    QFETCH(QString, after);

    PlaylistModel playlist = playlistOf(before);
    QCOMPARE(playlist.moveRow(from, to), moved);
    QCOMPARE(orderOf(playlist), after);
}

void PlaylistModelTest::insertAndRemove_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QString>("after");

    QTest::newRow("insert as row 1") << "insert" << 1 << true << "x123";
    QTest::newRow("insert as row 2") << "insert" << 2 << true << "1x23";
    QTest::newRow("insert at count+1 appends") << "insert" << 4 << true << "123x";
    QTest::newRow("insert at 0") << "insert" << 0 << false << "123";
    QTest::newRow("insert past the end") << "insert" << 5 << false << "123";
    QTest::newRow("remove row 1") << "remove" << 1 << true << "23";
    QTest::newRow("remove last row") << "remove" << 3 << true << "12";
    QTest::newRow("remove row 0") << "remove" << 0 << false << "123";
    QTest::newRow("remove past the end") << "remove" << 4 << false << "123";
}

void PlaylistModelTest::insertAndRemove() {
    QFETCH(QString, operation);
    QFETCH(int, index);
    QFETCH(bool, done);
    QFETCH(QString, after);

    PlaylistModel playlist = playlistOf("123");
    const bool result =
        operation == "insert" ? playlist.insertAt(index, rowNamed("x")) : playlist.removeAt(index);
    QCOMPARE(result, done);
    QCOMPARE(orderOf(playlist), after);
    QCOMPARE(playlist.count(), after.size());
}

void PlaylistModelTest::fillRowFromPath_data() {
    QTest::addColumn<int>("lengthMs");
    QTest::addColumn<bool>("withMilliseconds");
    QTest::addColumn<QString>("durationText");
    QTest::addColumn<QString>("milliseconds");

    QTest::newRow("from a playlist file") << 83456 << true << "01:23"
                                          << "83456";
    QTest::newRow("from a double click") << 83456 << false << "01:23" << QString();
    QTest::newRow("silent file of 0 ms") << 0 << true << "--:--"
                                         << "0";
}

void PlaylistModelTest::fillRowFromPath() {
    QFETCH(int, lengthMs);
    QFETCH(bool, withMilliseconds);
    QFETCH(QString, durationText);
    QFETCH(QString, milliseconds);

    const QString path = "/Tubes-2000/Dupont - Valse.mp3";
    QString askedPath;
    const TrackLengthReader reader = [&](const QString& p, QString*) {
        askedPath = p;
        return int32_t(lengthMs);
    };
    PlaylistRow row;
    QVERIFY(varonel::core::fillRowFromPath(
        path, reader, withMilliseconds ? MillisecondsCell::Filled : MillisecondsCell::Empty, &row));
    QCOMPARE(askedPath, path);
    QCOMPARE(row.artist, "Tubes");
    QCOMPARE(row.title, "2000/Dupont - Valse");
    QCOMPARE(row.durationText, durationText);
    QCOMPARE(row.path, path);
    QCOMPARE(row.milliseconds, milliseconds);
}

void PlaylistModelTest::failedReadLeavesRowUntouched_data() {
    QTest::addColumn<QString>("readerError");
    QTest::addColumn<int>("lengthMs");

    QTest::newRow("reader cannot open") << "Fichier introuvable" << 0;
    QTest::newRow("negative length") << QString() << -1;
}

void PlaylistModelTest::failedReadLeavesRowUntouched() {
    QFETCH(QString, readerError);
    QFETCH(int, lengthMs);

    const TrackLengthReader reader = [&](const QString&, QString* error) {
        *error = readerError;
        return int32_t(lengthMs);
    };
    PlaylistRow row = rowNamed("/avant.mp3");
    const PlaylistRow before = row;
    QString error;
    QVERIFY(!varonel::core::fillRowFromPath("/a - b.mp3", reader, MillisecondsCell::Filled, &row,
                                            &error));
    QCOMPARE(row, before);
    QVERIFY(!error.isEmpty());
    if (!readerError.isEmpty()) {
        QCOMPARE(error, readerError);
    }
    QVERIFY(!refreshRowLength(reader, MillisecondsCell::Filled, &row, &error));
    QCOMPARE(row, before);
}

void PlaylistModelTest::refreshKeepsCopiedCells() {
    // A browser row copied into the playlist keeps its artist, title and path;
    // only the duration (and the hidden length when asked) is read again.
    PlaylistRow row;
    row.artist = "Artiste du navigateur";
    row.title = "Titre du navigateur";
    row.durationText = "99:99";
    row.path = "/Musique/Dupont - Valse.mp3";
    const TrackLengthReader reader = [](const QString& path, QString* error) {
        if (path != "/Musique/Dupont - Valse.mp3") {
            *error = "mauvais fichier";
        }
        return int32_t(125000);
    };

    PlaylistRow dropped = row;
    QVERIFY(refreshRowLength(reader, MillisecondsCell::Filled, &dropped));
    QCOMPARE(dropped.artist, row.artist);
    QCOMPARE(dropped.title, row.title);
    QCOMPARE(dropped.path, row.path);
    QCOMPARE(dropped.durationText, "02:05");
    QCOMPARE(dropped.milliseconds, "125000");

    PlaylistRow doubleClicked = row;
    QVERIFY(refreshRowLength(reader, MillisecondsCell::Empty, &doubleClicked));
    QCOMPARE(doubleClicked.durationText, "02:05");
    QVERIFY(doubleClicked.milliseconds.isEmpty());
}

void PlaylistModelTest::calculTiming_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty playlist") << QStringList{} << "0h0mn";
    QTest::newRow("0 ms") << QStringList{"0"} << "0h0mn";
    QTest::newRow("5 025 000 ms") << QStringList{"5025000"} << "1h23mn";
    QTest::newRow("59 999 ms rounds up") << QStringList{"59999"} << "0h1mn";
    QTest::newRow("59 499 ms rounds down") << QStringList{"59499"} << "0h0mn";
    QTest::newRow("one hour") << QStringList{"3600000"} << "1h0mn";
    QTest::newRow("half a second below the hour") << QStringList{"3599999"} << "1h0mn";
    QTest::newRow("just below the half second") << QStringList{"3599499"} << "0h59mn";
    QTest::newRow("summed over rows") << QStringList{"1800000", "1800000", "60000"} << "1h1mn";
    QTest::newRow("rows without length count 0")
        << QStringList{"", "240000", "", "60000"} << "0h5mn";
}

void PlaylistModelTest::calculTiming() {
    QFETCH(QStringList, cells);
    QFETCH(QString, text);
    QCOMPARE(CalculTiming(playlistWithMilliseconds(cells)), text);
}

void PlaylistModelTest::totalCountsLeadingNumbers() {
    const PlaylistModel playlist = playlistWithMilliseconds({"12abc", "", "abc", " 1000", "7.4"});
    QCOMPARE(totalMilliseconds(playlist), int64_t(12 + 1000 + 7));
}

void PlaylistModelTest::longPlaylistDoesNotOverflow() {
    // 1000 tracks of 10 000 s: far beyond what 32 bits of milliseconds hold.
    const PlaylistModel playlist = playlistWithMilliseconds(QStringList(1000, "10000000"));
    QCOMPARE(totalMilliseconds(playlist), int64_t(10'000'000'000));
    QCOMPARE(CalculTiming(playlist), "2777h46mn");
}

QTEST_GUILESS_MAIN(PlaylistModelTest)
#include "tst_playlistmodel.moc"
