// The catalogue without its window: the walk's order, its end on any tree
// (links back up, links into pseudo file systems, folders that vanish), its
// cancel and its full list; the search; ArtisteTitre; the catalogue file.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>

#include "FileBytes.h"
#include "ScriptedDialogs.h"
#include "audio/FileSource.h"
#include "core/catalogue/ArtisteTitre.h"
#include "core/catalogue/CatalogueFile.h"
#include "core/catalogue/CatalogueList.h"
#include "core/catalogue/CatalogueWalk.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/shared/FileNames.h"

using namespace varonel;
using namespace varonel::core;

class TestCatalogue : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    struct Walk {
        explicit Walk(int capacity = CatalogueList::kCapacity) : list(capacity) {}
        CatalogueList list;
        ScriptedDialogs dialogs;
        std::function<void()> onYield = [] {};
        int yields = 0;
        CatalogueWalk walk{list, dialogs};
        bool run(const QString& folder) {
            return walk.ParcoursDossier(folder, FilePattern(), [this] {
                ++yields;
                onYield();
            });
        }
    };

private slots:
    // Subfolders last-named first, each with everything below it, then the
    // folder's own files; other and hidden files stay out; one yield per folder
    // entered; one separator after a folder given with its own. Every folder
    // is walked once and the walk ends, whatever the links: C leads to A and is
    // walked in its place, so A is passed over; a link back up to the start is
    // left at once; links into /proc are never followed.
    void walkOrderAndLinks() {
        const QString r = m_dir.filePath("R");
        QVERIFY(filebytes::writeTree(r, {"r1.mp3", "notes.txt", ".cachée.mp3", "A/a1.WAV",
                                         "A/a2.Mp3", "B/b1.wav", "B/vide/x.txt", ".cache/c.mp3"}));
        QVERIFY(QFile::link(r, r + "/A/boucle"));
        QVERIFY(QFile::link(r + "/A", r + "/C"));
        QVERIFY(QFile::link("/proc", r + "/A/proc"));
        QVERIFY(QFile::link("/proc/self", r + "/A/self"));
        const QStringList expected = {r + "/C/a1.WAV", r + "/C/a2.Mp3", r + "/B/b1.wav",
                                      r + "/r1.mp3"};
        for (const QString& start : {r, r + '/'}) {
            Walk w;
            QVERIFY(w.run(start));
            QCOMPARE(w.list.entries(), expected);
            QCOMPARE(w.yields, 6);  // R, C, C/boucle, B, B/vide, A
            QCOMPARE(w.walk.countText(), QStringLiteral(" 4"));
            QVERIFY(w.dialogs.shown.isEmpty());
        }

        // Nor when the walk is asked to start in /proc, through a link or not.
        for (const QString& start : {QStringLiteral("/proc"), r + "/A/self"}) {
            Walk pseudo;
            QVERIFY(pseudo.run(start));
            QCOMPARE(pseudo.yields, 1);
            QVERIFY(pseudo.list.entries().isEmpty() && pseudo.dialogs.shown.isEmpty());
        }
    }

    // Names that are not UTF-8 (a disk filled by an older system) are kept as
    // the system has them: their folder is walked, each entry still names its
    // file, the catalogue file holds and gives back the very bytes (CR LF after
    // each line), and the entry read back still opens. The line format itself
    // is the playlists' (tst_playlistfile).
    void namesThatAreNotUtf8KeepTheirBytes() {
        const QString r = m_dir.filePath("Octets");
        QVERIFY(filebytes::writeTree(r, {QString::fromUtf8("Été - Chaud.wav")}));
        const QByteArray folder = QFile::encodeName(r) + "/Dossier \xe9t\xe9";
        const QByteArray file = folder + "/Caf\xe9 - Noir.wav";
        const QByteArray wav = filebytes::wav16(8000, 1, 8000 * 20);
        QVERIFY(::mkdir(folder.constData(), 0700) == 0);
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0 && ::write(fd, wav.constData(), wav.size()) == wav.size() &&
                ::close(fd) == 0);
        Walk w;
        QVERIFY(w.run(r));
        QVERIFY(w.dialogs.shown.isEmpty());
        QCOMPARE(w.list.count(), 2);
        QCOMPARE(toSystemName(w.list.entries()[0]), file);

        const QString path = m_dir.filePath("Octets.txt");
        QString error;
        QVERIFY(saveCatalogueFile(path, w.list, &error));
        QCOMPARE(filebytes::read(path),
                 file + "\r\n" + (r + QString::fromUtf8("/Été - Chaud.wav\r\n")).toUtf8());
        CatalogueList read;
        QVERIFY(readCatalogueFile(path, &read).read);
        QCOMPARE(read.entries(), w.list.entries());
        audio::FileSource source;
        QCOMPARE(sourceLengthReader(source)(read.entries()[0], &error), 20000);
        // A catalogue longer than the list reads as far as the list holds.
        CatalogueList small(1);
        const CatalogueReadReport report = readCatalogueFile(path, &small);
        QVERIFY(report.read && report.full);
        QCOMPARE(small.count(), 1);
        QVERIFY(deleteCatalogueFile(m_dir.filePath("absent.txt"), &error));
        // QTemporaryDir cannot remove names that are not UTF-8.
        QVERIFY(::unlink(file.constData()) == 0 && ::rmdir(folder.constData()) == 0);
    }

    // A walk ended early keeps what it found. Cleared RechercheActive ends it
    // at its next step and says nothing; the next walk runs again from the
    // start. A full list ends the walk at every level with one message.
    // Folders that cannot be read are skipped, the walk goes on with the next
    // one, and one message at the end names them and their number.
    void walkEndedEarly() {
        const QString r = m_dir.filePath("Court");
        QVERIFY(filebytes::writeTree(
            r, {"A/1.mp3", "A/2.mp3", "B/1.mp3", "B/2.mp3", "C/1.mp3", "r.mp3"}));
        Walk cancelled;
        cancelled.onYield = [&] {
            if (cancelled.yields == 3) {  // B, after C's file
                cancelled.walk.cancel();
            }
        };
        QVERIFY(!cancelled.run(r));
        QCOMPARE(cancelled.list.entries(), QStringList{r + "/C/1.mp3"});
        QVERIFY(cancelled.dialogs.shown.isEmpty());
        cancelled.onYield = [] {};
        QVERIFY(cancelled.run(r));
        QCOMPARE(cancelled.list.count(), 7);

        Walk full(3);
        QVERIFY(!full.run(r));
        QCOMPARE(full.list.entries(),
                 QStringList({r + "/C/1.mp3", r + "/B/1.mp3", r + "/B/2.mp3"}));
        QCOMPARE(full.dialogs.texts(),
                 QStringList{"La zone de liste est pleine. Recherche abandonnée..."});
        QCOMPARE(full.yields, 4);  // R, C, B, A: nothing after the list filled

        Walk w;
        w.onYield = [&] {
            if (w.yields == 2) {  // C: A and B are still to come
                QDir(r + "/A").removeRecursively();
                QDir(r + "/B").removeRecursively();
            }
        };
        QVERIFY(w.run(r));
        QCOMPARE(w.list.entries(), QStringList({r + "/C/1.mp3", r + "/r.mp3"}));
        QCOMPARE(w.dialogs.shown.size(), 1);
        const QStringList lines = w.dialogs.shown[0].text.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("2 dossiers"));
        QVERIFY(lines[1].startsWith(r + "/B : ") && lines[1].size() > r.size() + 5);
        QVERIFY(lines[2].startsWith(r + "/A : "));
    }

    // Whole paths in upper case, in catalogue order; under two characters
    // nothing is searched.
    void search() {
        CatalogueList list;
        for (const char* entry :
             {"/Musique/ROCK/a - b.mp3", "/Slow/rocky - c.wav", "/Musique/Élodie - Été.mp3"}) {
            QVERIFY(list.append(QString::fromUtf8(entry)));
        }
        QCOMPARE(*list.search("rock"), QStringList({list.entries()[0], list.entries()[1]}));
        QCOMPARE(*list.search(QString::fromUtf8("éLODIE")), QStringList{list.entries()[2]});
        QCOMPARE(*list.search("zz"), QStringList());
        QVERIFY(!list.search("r"));
        QVERIFY(!list.search(""));
    }

    void artisteTitre_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("wantedArtist");
        QTest::addColumn<QString>("wantedTitle");
        const auto row = [](const char* tag, const QString& path, const QString& artist,
                            const QString& title) {
            QTest::newRow(tag) << path << artist << title;
        };
        row("folder", "/Musique/Artiste - Titre.mp3", "Artiste", "Titre");
        row("hyphen in a folder", "/Best-Of/Artiste - Titre.mp3", "Best", "Of/Artiste - Titre");
        row("no hyphen: unchanged", "/Musique/Intro.mp3", "avant", "avant");
        row("first .MP3", "/m/A - Titre.Mp3.mp3", "A", "Titre");
        row(".WAV before .MP3", "A-b.wav.x.MP3", "A", "b");
        row("blank after the folder kept", "/m/ A - T.WAV", " A", "T");
        const QString longTitle = QString(98, 'x');
        row("cut to 100 first", "/m/A - " + longTitle + ".mp3", "A", longTitle + '.');
    }

    void artisteTitre() {
        QFETCH(QString, path);
        QFETCH(QString, wantedArtist);
        QFETCH(QString, wantedTitle);
        QString artist = "avant";
        QString title = "avant";
        ArtisteTitre(&artist, &title, path);
        QCOMPARE(artist, wantedArtist);
        QCOMPARE(title, wantedTitle);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
