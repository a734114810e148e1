// Playlist rows and files: the artist, title and time texts taken from file
// names, the queue's edits, row filling and the total time, the line shapes
// and the two encodings playlist files are read in, safe writing, and loading
// rows through the length reader.
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "core/playlist/PlaylistFile.h"
#include "core/playlist/PlaylistModel.h"
#include "core/playlist/PlaylistTiming.h"
#include "core/playlist/RowFiller.h"
#include "core/shared/LineFile.h"
#include "core/shared/TextEncoding.h"
#include "core/shared/TrackNaming.h"

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

const char* const kOldRow = "/ancienne ligne.mp3";

void addName(const char* tag, const QString& name, const QString& parts) {
    QTest::newRow(tag) << name << parts;
}

}  // namespace

class PlaylistTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // Artiste, ArtisteSansDossier and Titre of each name, in one cell.
    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parts");

        addName("full path", "/Musique/Dupont - Valse.mp3", "Dupont|/Musique/Dupont|Valse");
        addName("no hyphen", "/Musique/Intro.mp3", "||");
        addName("hyphen in a folder", "/Tubes-2000/Dupont - Valse.mp3",
                "Tubes|/Tubes|2000/Dupont - Valse");
        addName("no spaces", "Dupont-Valse.wav", "Dupont|Dupont|Valse");
        addName("flac loses its whole extension", "Artiste - Format flac.flac",
                "Artiste|Artiste|Format flac");
        addName("opus too, in any case", "Artiste - Voix.OPUS", "Artiste|Artiste|Voix");
        addName("title shorter than 4", "A-b", "A|A|");
        addName("space after separator stays", "/Musique/ Dupont - Valse.mp3",
                " Dupont|/Musique/ Dupont|Valse");
        addName("only spaces are trimmed", "\tDupont\t-\tValse.mp3\t",
                "\tDupont\t|\tDupont\t|\tValse.");
        const QString x300(300, u'x');
        addName("long title cut at 250, then 4 dropped", "A-" + x300 + ".mp3",
                "A|A|" + QString(kTitreMaxChars - 4, u'x'));
        addName("the cut counts the leading space", "A - " + x300 + ".mp3",
                "A|A|" + QString(kTitreMaxChars - 5, u'x'));
        addName("backslash is a character on Linux", "/Musique/AC\\DC - Valse.mp3",
                "AC\\DC|/Musique/AC\\DC|Valse");
    }

    void names() {
        QFETCH(QString, name);
        QFETCH(QString, parts);
        QCOMPARE(Artiste(name) + '|' + ArtisteSansDossier(name) + '|' + Titre(name), parts);
    }

    // A refused edit leaves the rows as they were; a move onto a row lands
    // above it. (A move down, an append and a removal are the main window's
    // drop and Delete tests.)
    void editRows() {
        PlaylistModel playlist;
        for (const char* path : {"1", "2", "3"}) {
            playlist.append({{}, {}, {}, path, {}});
        }
        QVERIFY(!playlist.moveRow(0, 2));  // no drag armed
        QVERIFY(!playlist.insertAt(5, {{}, {}, {}, "x", {}}));
        QVERIFY(!playlist.removeAt(4));
        QCOMPARE(playlist.paths().join(QString()), QStringLiteral("123"));
        QVERIFY(playlist.moveRow(3, 1));
        QCOMPARE(playlist.paths().join(QString()), QStringLiteral("312"));
    }

    // A row filled from its path: the hyphen in the folder's name makes no
    // artist. A file that cannot be opened or gives a negative length leaves
    // the row untouched, and says why, whether it is filled or its length
    // read again. (A browser row's length read again at a drop and the
    // double click's empty milliseconds cell are the main window's and the
    // browser window's tests.)
    void fillAndRefreshRows() {
        const QString path = "/Tubes-2000/Dupont - Valse.mp3";  // 30 characters
        PlaylistRow row;
        QVERIFY(fillRowFromPath(path, lengthOf, MillisecondsCell::Filled, &row));
        QCOMPARE(row, (PlaylistRow{"Dupont", "Valse", "00:30", path, "30456"}));

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

    // A row's time text, from its first cell, and the playlist's total: whole
    // seconds, the minutes kept to two digits in the row; rounded seconds in
    // the total, where a row without a length counts 0 and 32 bits of
    // milliseconds would overflow.
    void timeTexts_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("texts");  // the row's, then the total

        QTest::newRow("999") << QStringList{"999"} << "--:-- 0h0mn";
        QTest::newRow("1 000") << QStringList{"1000"} << "00:01 0h0mn";
        QTest::newRow("59 999 rounds up") << QStringList{"59999"} << "00:59 0h1mn";
        QTest::newRow("100 minutes 59") << QStringList{"6059000"} << "00:59 1h40mn";
        QTest::newRow("5 025 000") << QStringList{"5025000"} << "83:45 1h23mn";
        QTest::newRow("half a second below the hour") << QStringList{"3599999"} << "59:59 1h0mn";
        QTest::newRow("largest") << QStringList{"2147483647"} << "91:23 596h31mn";
        QTest::newRow("rows without length count 0")
            << QStringList{"", "240000", "", "60000"} << "--:-- 0h5mn";
        QTest::newRow("no overflow") << QStringList(1000, "10000000") << "66:40 2777h46mn";
    }

    void timeTexts() {
        QFETCH(QStringList, cells);
        QFETCH(QString, texts);

        PlaylistModel playlist;
        for (const QString& cell : cells) {
            playlist.append({{}, {}, {}, {}, cell});
        }
        QCOMPARE(FTime(cells[0].toInt()) + ' ' + CalculTiming(playlist), texts);
    }

    // Each line is read on its own: a blank line names no track, so it is no
    // row that could fail unseen, and one that is not UTF-8 and names no file
    // is Windows-1252, as the old Windows program wrote it. A load replaces
    // the playlist; a file of more lines than any list holds is refused with
    // its reason, while a full catalogue of long paths reads. (Saving and
    // loading lines ending in CR LF, a load that stops at a track that cannot
    // be read and a playlist that cannot be read are checked through the main
    // window's menus.)
    void load_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("paths");

        QTest::newRow("blank lines, the last without its line end")
            << QByteArray("\r\n/a.mp3\r\n\r\n \t\r\n/b.mp3") << QStringList{"/a.mp3", "/b.mp3"};
        QTest::newRow("UTF-8 beside Windows-1252")
            << QByteArray("\xef\xbb\xbf/\xc3\xa9\r\n/\x80 \xc9\x64ith.mp3\r\n")
            << QStringList{QString::fromUtf16(u"/é"), QString::fromUtf16(u"/€ Édith.mp3")};
        const QByteArray entry = "/Musique/" + QByteArray(200, 'a') + " - Titre.mp3";
        QTest::newRow("a full catalogue of long paths")
            << (entry + "\r\n").repeated(32767) << QStringList(32767, QString::fromLatin1(entry));
        QTest::newRow("more lines than any list holds: refused, the rows kept")
            << QByteArray("\n").repeated(kMaxLineFileLines + 1) << QStringList{kOldRow};
    }

    void load() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, paths);
        const QString path = m_dir.filePath(QTest::currentDataTag());
        QVERIFY(filebytes::write(path, bytes));
        PlaylistModel playlist;
        playlist.append({{}, {}, {}, kOldRow, {}});
        const PlaylistLoadReport report = loadPlaylistFile(path, lengthOf, &playlist);
        QVERIFY2(report.complete() || report.error.contains("lignes"), qPrintable(report.error));
        QCOMPARE(playlist.paths(), paths);
    }

    void windows1252TableMatchesConverter() {
        QStringDecoder reference("windows-1252");
        QVERIFY2(reference.isValid(), "this Qt has no Windows-1252 converter to compare with");
        QByteArray everyByte;
        for (int byte = 0; byte < 256; ++byte) {
            everyByte.append(char(byte));
        }
        QCOMPARE(decodeWindows1252(everyByte), reference.decode(everyByte));
    }

    // A line the format cannot hold, a disk that fills while the new file is
    // written: each write is refused with its reason, and the old file stays
    // whole with no temporary file beside it. (A folder that is not there is
    // the main window's test.)
    void refusedWriteKeepsOldFile() {
        const QString path = m_dir.filePath("old.pls");
        const QByteArray old("/ancien.mp3\r\n");
        QVERIFY(filebytes::write(path, old));
        QString error;
        QVERIFY(!writeLineFile(path, {"/a.mp3", "/b\n.mp3"}, &error) && !error.isEmpty());
        {
            const FileSizeLimit limit(old.size() + 4);
            error.clear();
            QVERIFY(!writeLineFile(path, {"/nouveau/et/long.mp3"}, &error) && !error.isEmpty());
        }
        QCOMPARE(filebytes::read(path), old);
        QCOMPARE(QDir(m_dir.path()).entryList({"old.pls*"}, QDir::Files), QStringList{"old.pls"});
    }
};

QTEST_GUILESS_MAIN(PlaylistTest)
#include "tst_playlist.moc"
