// Playlist files: line splitting, the two encodings, safe writing, and loading
// rows through the length reader.
#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include "LineFile.h"
#include "PlaylistFile.h"
#include "RowFiller.h"
#include "TextEncoding.h"

using namespace varonel::core;

namespace {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A reader that knows the lengths of some files and cannot open the others.
TrackLengthReader readerOf(const QHash<QString, int32_t>& lengths) {
    return [lengths](const QString& path, QString* error) {
        if (!lengths.contains(path)) {
            *error = "Impossible d'ouvrir " + path;
            return int32_t(0);
        }
        return lengths.value(path);
    };
}

PlaylistRow rowWithPath(const QString& path) {
    PlaylistRow row;
    row.path = path;
    return row;
}

const TrackLengthReader kAnyFileReads = [](const QString&, QString*) { return int32_t(1000); };

}  // namespace

class PlaylistFileTest : public QObject {
    Q_OBJECT

private slots:
    void splitLines_data();
    void splitLines();
    void decoding_data();
    void decoding();
    void windows1252TableMatchesConverter();
    void writesUtf8WithCrLf();
    void refusedWriteKeepsOldFile_data();
    void refusedWriteKeepsOldFile();
    void saveThenLoadGivesSameRows();
    void loadReadsEveryLineShape_data();
    void loadReadsEveryLineShape();
    void loadStopsAtFirstUnreadableTrack();
    void unreadableFileKeepsPlaylist();

private:
    QTemporaryDir m_dir;
};

void PlaylistFileTest::splitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("last line without end") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("ends with CR LF") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("LF only") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("mixed ends") << "a\nb\r\nc" << QStringList{"a", "b", "c"};
    QTest::newRow("empty line in the middle") << "a\r\n\r\nb\r\n" << QStringList{"a", "", "b"};
    QTest::newRow("a single empty line") << "\r\n" << QStringList{""};
    QTest::newRow("empty last line") << "a\n\n" << QStringList{"a", ""};
    QTest::newRow("spaces kept") << " a \r\n" << QStringList{" a "};
}

void PlaylistFileTest::splitLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(varonel::core::splitLines(text), lines);
}

void PlaylistFileTest::decoding_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ASCII") << QByteArray("/a/b.mp3") << "/a/b.mp3";
    QTest::newRow("UTF-8") << QByteArray("/M\xc3\xa9lodie.mp3") << "/Mélodie.mp3";
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf/a.mp3") << "/a.mp3";
    QTest::newRow("Windows-1252 accent") << QByteArray("/M\xe9lodie.mp3") << "/Mélodie.mp3";
    QTest::newRow("Windows-1252 euro and quotes")
        << QByteArray("\x80 \x93x\x94 \x9c") << QString::fromUtf16(u"€ “x” œ");
    QTest::newRow("one bad byte makes the whole file Windows-1252")
        << QByteArray("\xc3\xa9\r\n\xe9") << QString::fromUtf16(u"Ã©\r\né");
}

void PlaylistFileTest::decoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeUtf8OrWindows1252(bytes), text);
}

void PlaylistFileTest::windows1252TableMatchesConverter() {
    QStringDecoder reference("windows-1252");
    if (!reference.isValid()) {
        QSKIP("This Qt has no Windows-1252 converter to compare with");
    }
    QByteArray everyByte;
    for (int byte = 0; byte < 256; ++byte) {
        everyByte.append(char(byte));
    }
    QCOMPARE(decodeWindows1252(everyByte), reference.decode(everyByte));
}

void PlaylistFileTest::writesUtf8WithCrLf() {
    const QString path = m_dir.filePath("utf8.pls");
    QVERIFY(writeLineFile(path, {"/Musique/Mélodie - Été.mp3", "/b.wav"}));
    QCOMPARE(readBytes(path), QByteArray("/Musique/M\xc3\xa9lodie - \xc3\x89t\xc3\xa9.mp3\r\n"
                                         "/b.wav\r\n"));

    QVERIFY(writeLineFile(path, {}));
    QCOMPARE(readBytes(path), QByteArray());
}

void PlaylistFileTest::refusedWriteKeepsOldFile_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("line with a line feed") << "old.pls" << QStringList{"/a.mp3", "/b\n.mp3"};
    QTest::newRow("line with a carriage return") << "old.pls" << QStringList{"/a\r.mp3"};
    QTest::newRow("folder missing") << "missing/old.pls" << QStringList{"/a.mp3"};
}

void PlaylistFileTest::refusedWriteKeepsOldFile() {
    QFETCH(QString, fileName);
    QFETCH(QStringList, lines);

    const QString path = m_dir.filePath(fileName);
    const QByteArray old("/ancien.mp3\r\n");
    const bool hadOld = writeBytes(path, old);
    QString error;
    QVERIFY(!writeLineFile(path, lines, &error));
    QVERIFY(!error.isEmpty());
    if (hadOld) {
        QCOMPARE(readBytes(path), old);
    }
}

void PlaylistFileTest::saveThenLoadGivesSameRows() {
    const QHash<QString, int32_t> lengths{{"/Tubes-2000/Dupont - Valse.mp3", 183456},
                                          {"/Musique/Édith - Hymne.wav", 59999},
                                          {"/Musique/Intro.mp3", 4000}};
    const TrackLengthReader reader = readerOf(lengths);
    PlaylistModel saved;
    const QStringList paths{"/Musique/Édith - Hymne.wav", "/Tubes-2000/Dupont - Valse.mp3",
                            "/Musique/Intro.mp3"};
    for (const QString& path : paths) {
        PlaylistRow row;
        QVERIFY(fillRowFromPath(path, reader, MillisecondsCell::Empty, &row));
        saved.append(row);
    }
    const QString path = m_dir.filePath("roundtrip.pls");
    QVERIFY(savePlaylistFile(path, saved));

    PlaylistModel loaded;
    const PlaylistLoadReport report = loadPlaylistFile(path, reader, &loaded);
    QVERIFY(report.complete());
    QCOMPARE(report.rowsAdded, 3);
    QCOMPARE(loaded.paths(), saved.paths());
    for (int i = 1; i <= loaded.count(); ++i) {
        QCOMPARE(loaded.row(i).artist, saved.row(i).artist);
        QCOMPARE(loaded.row(i).title, saved.row(i).title);
        QCOMPARE(loaded.row(i).durationText, saved.row(i).durationText);
        // A loaded row counts in the total time, unlike the double-clicked ones.
        QCOMPARE(loaded.row(i).milliseconds, QString::number(lengths.value(loaded.row(i).path)));
    }
}

void PlaylistFileTest::loadReadsEveryLineShape_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("paths");

    QTest::newRow("last line without line end")
        << QByteArray("/a.mp3\r\n/b.mp3") << QStringList{"/a.mp3", "/b.mp3"};
    QTest::newRow("ends with CR LF")
        << QByteArray("/a.mp3\r\n/b.mp3\r\n") << QStringList{"/a.mp3", "/b.mp3"};
    QTest::newRow("LF line ends") << QByteArray("/a.mp3\n/b.mp3\n")
                                  << QStringList{"/a.mp3", "/b.mp3"};
    QTest::newRow("empty line in the middle is a row")
        << QByteArray("/a.mp3\r\n\r\n/b.mp3\r\n") << QStringList{"/a.mp3", "", "/b.mp3"};
    QTest::newRow("written by the old Windows program")
        << QByteArray("/Chansons/\xc9\x64ith - Hymne.mp3\r\n")
        << QStringList{"/Chansons/Édith - Hymne.mp3"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void PlaylistFileTest::loadReadsEveryLineShape() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, paths);

    const QString path = m_dir.filePath("shapes.pls");
    QVERIFY(writeBytes(path, bytes));
    PlaylistModel playlist;
    playlist.append(rowWithPath("/ancienne ligne.mp3"));
    const PlaylistLoadReport report = loadPlaylistFile(path, kAnyFileReads, &playlist);
    QVERIFY(report.complete());
    QCOMPARE(playlist.paths(), paths);
}

void PlaylistFileTest::loadStopsAtFirstUnreadableTrack() {
    const QString path = m_dir.filePath("broken.pls");
    QVERIFY(writeBytes(path, "/a - un.mp3\r\n/absent.mp3\r\n/c - trois.mp3\r\n"));
    const TrackLengthReader reader = readerOf({{"/a - un.mp3", 1000}, {"/c - trois.mp3", 2000}});

    PlaylistModel playlist;
    const PlaylistLoadReport report = loadPlaylistFile(path, reader, &playlist);
    QVERIFY(report.fileRead);
    QVERIFY(!report.complete());
    QCOMPARE(report.stoppedAtLine, 2);
    QCOMPARE(report.rowsAdded, 1);
    QCOMPARE(report.error, "Impossible d'ouvrir /absent.mp3");
    QCOMPARE(playlist.paths(), QStringList{"/a - un.mp3"});
}

void PlaylistFileTest::unreadableFileKeepsPlaylist() {
    PlaylistModel playlist;
    playlist.append(rowWithPath("/gardee.mp3"));
    const PlaylistLoadReport report =
        loadPlaylistFile(m_dir.filePath("nothing-here.pls"), kAnyFileReads, &playlist);
    QVERIFY(!report.fileRead);
    QVERIFY(!report.error.isEmpty());
    QCOMPARE(playlist.paths(), QStringList{"/gardee.mp3"});
}

QTEST_GUILESS_MAIN(PlaylistFileTest)
#include "tst_playlistfile.moc"
