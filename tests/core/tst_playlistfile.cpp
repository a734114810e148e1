// Playlist files: the line shapes and the two encodings they are read in, safe
// writing, and loading rows through the length reader.
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "core/playlist/PlaylistFile.h"
#include "core/playlist/RowFiller.h"
#include "core/shared/LineFile.h"
#include "core/shared/TextEncoding.h"

using namespace varonel::core;

namespace {

// Every track reads, a second for each character of its path, but those
// whose name says they are absent.
int32_t readLength(const QString& path, QString* error) {
    if (path.contains("absent")) {
        *error = "Impossible d'ouvrir " + path;
        return 0;
    }
    return int32_t(path.size()) * 1000;
}

}  // namespace

class PlaylistFileTest : public QObject {
    Q_OBJECT

private slots:
    void saveThenLoadGivesSameRows() {
        PlaylistModel saved;
        for (const char* track : {"/Musique/Édith - Hymne.wav", "/Tubes-2000/Dupont - Valse.mp3"}) {
            PlaylistRow row;
            QVERIFY(fillRowFromPath(track, readLength, MillisecondsCell::Filled, &row));
            saved.append(row);
        }
        const QString path = m_dir.filePath("roundtrip.pls");
        QVERIFY(savePlaylistFile(path, saved));
        // UTF-8, each path followed by CR LF.
        QCOMPARE(filebytes::read(path), (saved.paths().join("\r\n") + "\r\n").toUtf8());

        PlaylistModel loaded;
        QVERIFY(loadPlaylistFile(path, readLength, &loaded).complete());
        // Every cell comes back, the milliseconds one too: loaded rows count in
        // the total time.
        QCOMPARE(loaded.rows(), saved.rows());
    }

    // Each line is read on its own: a blank line names no track, so it is no
    // row that could fail unseen, and one that is not UTF-8 and names no file
    // is Windows-1252, as the old Windows program wrote it. A load replaces
    // the playlist and stops at the first track that cannot be read, at the
    // file's own line number; a file that cannot be read keeps the playlist.
    // Lines ending in CR LF are read by the round trip above.
    void load_data() {
        QTest::addColumn<QByteArray>("bytes");  // empty: no file at all
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<int>("stoppedAtLine");

        QTest::newRow("last line without line end")
            << QByteArray("/a.mp3\r\n/b.mp3") << QStringList{"/a.mp3", "/b.mp3"} << 0;
        QTest::newRow("blank lines are no rows")
            << QByteArray("\r\n/a.mp3\r\n\r\n \t\r\n/b.mp3\r\n") << QStringList{"/a.mp3", "/b.mp3"}
            << 0;
        QTest::newRow("UTF-8 beside Windows-1252")
            << QByteArray("\xef\xbb\xbf/\xc3\xa9\r\n/\x80 \xc9\x64ith.mp3\r\n")
            << QStringList{QString::fromUtf16(u"/é"), QString::fromUtf16(u"/€ Édith.mp3")} << 0;
        QTest::newRow("stops at an unreadable track")
            << QByteArray("/a - un.mp3\r\n\r\n/absent.mp3\r\n/c - trois.mp3\r\n")
            << QStringList{"/a - un.mp3"} << 3;
        QTest::newRow("no file") << QByteArray() << QStringList{"/ancienne ligne.mp3"} << 0;
    }

    void load() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, paths);
        QFETCH(int, stoppedAtLine);
        const QString path = m_dir.filePath(QTest::currentDataTag());
        QVERIFY(bytes.isEmpty() || filebytes::write(path, bytes));
        PlaylistModel playlist;
        playlist.append({{}, {}, {}, "/ancienne ligne.mp3", {}});
        const PlaylistLoadReport report = loadPlaylistFile(path, readLength, &playlist);
        QCOMPARE(playlist.paths(), paths);
        QCOMPARE(report.fileRead, !bytes.isEmpty());
        QCOMPARE(report.stoppedAtLine, stoppedAtLine);
        QCOMPARE(report.rowsAdded, bytes.isEmpty() ? 0 : paths.size());
        QCOMPARE(report.error.isEmpty(), report.complete());
        if (stoppedAtLine > 0) {
            QCOMPARE(report.error, "Impossible d'ouvrir /absent.mp3");
        }
    }

    void windows1252TableMatchesConverter() {
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

    // A line the format cannot hold, a disk that fills while the new file is
    // written, a folder that is not there: each write is refused with its
    // reason, and the old file stays whole with no temporary file beside it.
    void refusedWriteKeepsOldFile() {
        const QString path = m_dir.filePath("old.pls");
        const QByteArray old("/ancien.mp3\r\n");
        QVERIFY(filebytes::write(path, old));
        const auto refused = [](const QString& target, const QStringList& lines) {
            QString error;
            return !writeLineFile(target, lines, &error) && !error.isEmpty();
        };
        QVERIFY(refused(path, {"/a.mp3", "/b\n.mp3"}));
        {
            const FileSizeLimit limit(old.size() + 4);
            QVERIFY(refused(path, {"/nouveau.mp3", "/autre.mp3"}));
        }
        QVERIFY(refused(m_dir.filePath("missing/new.pls"), {"/a.mp3"}));
        QCOMPARE(filebytes::read(path), old);
        QCOMPARE(QDir(m_dir.path()).entryList({"old.pls*"}, QDir::Files), QStringList{"old.pls"});
    }

    // A full catalogue of long paths reads; a file of more lines than any list
    // holds is refused with its reason.
    void boundsHoldAFullCatalogueButNoMore() {
        const QByteArray entry = "/Musique/" + QByteArray(200, 'a') + " - Titre.mp3\r\n";
        QStringList lines;
        QVERIFY(decodeLineFile(entry.repeated(32767), &lines));
        QCOMPARE(lines.size(), 32767);
        QString error;
        QVERIFY(!decodeLineFile(QByteArray("\n").repeated(kMaxLineFileLines + 1), &lines, &error));
        QVERIFY2(error.contains("lignes"), qPrintable(error));
        QCOMPARE(lines.size(), 32767);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(PlaylistFileTest)
#include "tst_playlistfile.moc"
