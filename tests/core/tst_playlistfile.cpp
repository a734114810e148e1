// Playlist files: the line shapes and the two encodings they are read in, safe
// writing, and loading rows through the length reader.
#include <QDir>
#include <QFile>
#include <QHash>
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

// A playlist holding one row, to show whether a load replaced it.
PlaylistModel oneRowPlaylist() {
    PlaylistModel playlist;
    PlaylistRow row;
    row.path = "/ancienne ligne.mp3";
    playlist.append(row);
    return playlist;
}

}  // namespace

class PlaylistFileTest : public QObject {
    Q_OBJECT

private slots:
    void saveThenLoadGivesSameRows() {
        const QHash<QString, int32_t> lengths{{"/Musique/Édith - Hymne.wav", 59999},
                                              {"/Tubes-2000/Dupont - Valse.mp3", 183456}};
        const TrackLengthReader reader = readerOf(lengths);
        PlaylistModel saved;
        for (const QString& path : lengths.keys()) {
            PlaylistRow row;
            QVERIFY(fillRowFromPath(path, reader, MillisecondsCell::Filled, &row));
            saved.append(row);
        }
        const QString path = m_dir.filePath("roundtrip.pls");
        QVERIFY(savePlaylistFile(path, saved));
        // UTF-8, each path followed by CR LF.
        QCOMPARE(filebytes::read(path), (saved.paths().join("\r\n") + "\r\n").toUtf8());

        PlaylistModel loaded = oneRowPlaylist();
        const PlaylistLoadReport report = loadPlaylistFile(path, reader, &loaded);
        QVERIFY(report.complete());
        QCOMPARE(report.rowsAdded, 2);
        // Every cell comes back, the milliseconds one too: loaded rows count in
        // the total time.
        QCOMPARE(loaded.rows(), saved.rows());
    }

    // Lines ending in CR LF are read back by the round trip above.
    void loadReadsEveryLineShape_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("paths");

        QTest::newRow("last line without line end")
            << QByteArray("/a.mp3\r\n/b.mp3") << QStringList{"/a.mp3", "/b.mp3"};
        // A blank line names no track: it is no row, so none can fail unseen.
        QTest::newRow("blank lines are no rows")
            << QByteArray("\r\n/a.mp3\r\n\r\n \t\r\n/b.mp3\r\n") << QStringList{"/a.mp3", "/b.mp3"};
        // Each line on its own: one that is not UTF-8 and names no file is
        // Windows-1252, as the old Windows program wrote it.
        QTest::newRow("UTF-8 beside Windows-1252")
            << QByteArray("\xef\xbb\xbf/\xc3\xa9\r\n/\x80 \xc9\x64ith.mp3\r\n")
            << QStringList{QString::fromUtf16(u"/é"), QString::fromUtf16(u"/€ Édith.mp3")};
    }

    void loadReadsEveryLineShape() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, paths);

        const QString path = m_dir.filePath("shapes.pls");
        QVERIFY(filebytes::write(path, bytes));
        PlaylistModel playlist = oneRowPlaylist();
        const TrackLengthReader anyFileReads = [](const QString&, QString*) {
            return int32_t(1000);
        };
        QVERIFY(loadPlaylistFile(path, anyFileReads, &playlist).complete());
        QCOMPARE(playlist.paths(), paths);
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

    void refusedWriteKeepsOldFile() {
        const QString path = m_dir.filePath("old.pls");
        const QByteArray old("/ancien.mp3\r\n");
        QVERIFY(filebytes::write(path, old));
        QString error;
        QVERIFY(!writeLineFile(path, {"/a.mp3", "/b\n.mp3"}, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(filebytes::read(path), old);

        // A disk that fills while the new file is written.
        error.clear();
        {
            const FileSizeLimit limit(old.size() + 4);
            QVERIFY(!writeLineFile(path, {"/nouveau.mp3", "/autre.mp3"}, &error));
        }
        QVERIFY(!error.isEmpty());
        QCOMPARE(filebytes::read(path), old);
        QCOMPARE(QDir(m_dir.path()).entryList({"old.pls*"}, QDir::Files), QStringList{"old.pls"});

        error.clear();
        QVERIFY(!writeLineFile(m_dir.filePath("missing/new.pls"), {"/a.mp3"}, &error));
        QVERIFY(!error.isEmpty());
    }

    void loadStopsAtFirstUnreadableTrack() {
        const QString path = m_dir.filePath("broken.pls");
        QVERIFY(filebytes::write(path, "/a - un.mp3\r\n\r\n/absent.mp3\r\n/c - trois.mp3\r\n"));
        const TrackLengthReader reader =
            readerOf({{"/a - un.mp3", 1000}, {"/c - trois.mp3", 2000}});

        PlaylistModel playlist;
        const PlaylistLoadReport report = loadPlaylistFile(path, reader, &playlist);
        QVERIFY(report.fileRead);
        QCOMPARE(report.stoppedAtLine, 3);  // the line of the file, blank ones counted
        QCOMPARE(report.rowsAdded, 1);
        QCOMPARE(report.error, "Impossible d'ouvrir /absent.mp3");
        QCOMPARE(playlist.paths(), QStringList{"/a - un.mp3"});
    }

    void unreadableFileKeepsPlaylist() {
        PlaylistModel playlist = oneRowPlaylist();
        const PlaylistLoadReport report =
            loadPlaylistFile(m_dir.filePath("nothing-here.pls"), readerOf({}), &playlist);
        QVERIFY(!report.fileRead);
        QVERIFY(!report.error.isEmpty());
        QCOMPARE(playlist.paths(), QStringList{"/ancienne ligne.mp3"});
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
