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

    // Makes every file (and so its folders) below the test folder.
    QString tree(const QString& name, const QStringList& files) const {
        const QString root = m_dir.filePath(name);
        if (!filebytes::writeTree(root, files)) {
            qFatal("cannot write the files of %s", qPrintable(root));
        }
        return root;
    }

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
    // folder's own files; other, hidden and unreadable files stay out; one
    // yield per folder; one separator after a folder given with its own.
    void walkOrder() {
        const QString r = tree("R", {"r1.mp3", "notes.txt", ".cachée.mp3", "A/a1.WAV", "A/a2.Mp3",
                                     "B/b1.wav", "B/vide/x.txt", ".cache/c.mp3"});
        Walk w;
        QVERIFY(w.run(r));
        const QStringList expected = {r + "/B/b1.wav", r + "/A/a1.WAV", r + "/A/a2.Mp3",
                                      r + "/r1.mp3"};
        QCOMPARE(w.list.entries(), expected);
        QCOMPARE(w.yields, 4);  // R, B, B/vide, A
        QCOMPARE(w.walk.countText(), QStringLiteral(" 4"));
        QVERIFY(w.dialogs.shown.isEmpty());

        Walk again;
        QVERIFY(again.run(r + '/'));
        QCOMPARE(again.list.entries(), expected);
    }

    // A link back up to the walk's start, a second link to a folder already
    // walked and links into /proc: every folder is walked once, /proc never,
    // and the walk ends.
    void linksWalkedOnce() {
        const QString r = tree("Liens", {"r1.mp3", "A/a1.mp3"});
        QVERIFY(QFile::link(r, r + "/A/boucle"));
        QVERIFY(QFile::link(r + "/A", r + "/B"));
        QVERIFY(QFile::link("/proc", r + "/A/proc"));
        QVERIFY(QFile::link("/proc/self", r + "/A/self"));
        Walk w;
        QVERIFY(w.run(r));
        QCOMPARE(w.list.entries(), QStringList({r + "/B/a1.mp3", r + "/r1.mp3"}));
        QCOMPARE(w.yields, 4);  // Liens, B, B/boucle and A seen again; never /proc
        QVERIFY(w.dialogs.shown.isEmpty());

        // Nor when the walk is asked to start in one, through a link or not.
        for (const QString& start : {QStringLiteral("/proc"), r + "/A/self"}) {
            Walk pseudo;
            QVERIFY(pseudo.run(start));
            QCOMPARE(pseudo.yields, 1);
            QVERIFY(pseudo.list.entries().isEmpty() && pseudo.dialogs.shown.isEmpty());
        }
    }

    // Folders that cannot be read are skipped, the walk goes on with the next
    // one, and one message at the end names them and their number.
    void unreadableFoldersToldOnce() {
        const QString r = tree("Illisible", {"A/a.mp3", "B/b.mp3", "C/c.mp3", "D/d.mp3"});
        Walk w;
        w.onYield = [&] {
            if (w.yields == 2) {  // D: A and B are listed already
                QDir(r + "/A").removeRecursively();
                QDir(r + "/B").removeRecursively();
            }
        };
        QVERIFY(w.run(r));
        QCOMPARE(w.list.entries(), QStringList({r + "/D/d.mp3", r + "/C/c.mp3"}));
        QCOMPARE(w.dialogs.shown.size(), 1);
        const QStringList lines = w.dialogs.shown[0].text.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("2 dossiers"));
        QVERIFY(lines[1].startsWith(r + "/B : ") && lines[1].size() > r.size() + 5);
        QVERIFY(lines[2].startsWith(r + "/A : "));
    }

    // Names that are not UTF-8 (a disk filled by an older system) are kept as
    // the system has them: their folder is walked, each entry still names its
    // file, the catalogue file holds and gives back the very bytes, and the
    // entry read back still opens.
    void namesThatAreNotUtf8KeepTheirBytes() {
        const QString r = tree("Octets", {QString::fromUtf8("Été - Chaud.wav")});
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
        // QTemporaryDir cannot remove names that are not UTF-8.
        QVERIFY(::unlink(file.constData()) == 0 && ::rmdir(folder.constData()) == 0);
    }

    // Cleared RechercheActive ends the walk at its next step with what was
    // found, and says nothing; the next walk runs again from the start.
    void cancelledWalk() {
        const QString r = tree("Annule", {"A/a.mp3", "B/b.mp3", "r.mp3"});
        Walk w;
        w.onYield = [&] {
            if (w.yields == 3) {  // A, after B's file
                w.walk.cancel();
            }
        };
        QVERIFY(!w.run(r));
        QVERIFY(!w.walk.RechercheActive());
        QCOMPARE(w.list.entries(), QStringList{r + "/B/b.mp3"});
        QVERIFY(w.dialogs.shown.isEmpty());
        w.onYield = [] {};
        QVERIFY(w.run(r));
        QCOMPARE(w.list.count(), 4);
        QCOMPARE(w.walk.countText(), QStringLiteral(" 4"));
    }

    // A full list ends the walk at every level with one message.
    void fullListToldOnce() {
        const QString r = tree("Plein", {"A/1.mp3", "A/2.mp3", "B/1.mp3", "B/2.mp3", "r.mp3"});
        Walk w(3);
        QVERIFY(!w.run(r));
        QCOMPARE(w.list.entries(), QStringList({r + "/B/1.mp3", r + "/B/2.mp3", r + "/A/1.mp3"}));
        QCOMPARE(w.dialogs.texts(),
                 QStringList{"La zone de liste est pleine. Recherche abandonnée..."});
        QCOMPARE(w.dialogs.shown[0].icon, MessageIcon::None);
        QCOMPARE(w.yields, 3);  // R, B, A: nothing after the list filled
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
        QTest::newRow("folder") << "/Musique/Artiste - Titre.mp3"
                                << "Artiste"
                                << "Titre";
        QTest::newRow("hyphen in a folder") << "/Best-Of/Artiste - Titre.mp3"
                                            << "Best"
                                            << "Of/Artiste - Titre";
        QTest::newRow("no hyphen: unchanged") << "/Musique/Intro.mp3"
                                              << "avant"
                                              << "avant";
        QTest::newRow("first .MP3") << "/m/A - Titre.Mp3.mp3"
                                    << "A"
                                    << "Titre";
        QTest::newRow(".WAV before .MP3") << "A-b.wav.x.MP3"
                                          << "A"
                                          << "b";
        QTest::newRow("blank after the folder kept") << "/m/ A - T.WAV"
                                                     << " A"
                                                     << "T";
        const QString longTitle = QString(98, 'x');
        QTest::newRow("cut to 100 first") << "/m/A - " + longTitle + ".mp3"
                                          << "A" << longTitle + '.';
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

    // Lines come back as written, CR LF after each, and a Windows-1252 file
    // still reads; a file already gone counts as deleted.
    void catalogueFile() {
        const QString path = m_dir.filePath("Catalogue.txt");
        CatalogueList list;
        QVERIFY(filebytes::write(path, "/m/Caf\xe9 - Noir.mp3\r\n/m/b.wav"));
        QVERIFY(readCatalogueFile(path, &list).read);
        QCOMPARE(list.entries(),
                 QStringList({QString::fromUtf8("/m/Café - Noir.mp3"), "/m/b.wav"}));
        QString error;
        QVERIFY(saveCatalogueFile(path, list, &error));
        QCOMPARE(filebytes::read(path), QByteArray("/m/Caf\xc3\xa9 - Noir.mp3\r\n/m/b.wav\r\n"));

        CatalogueList small(1);
        const CatalogueReadReport report = readCatalogueFile(path, &small);
        QVERIFY(report.read && report.full);
        QCOMPARE(small.count(), 1);
        QVERIFY(deleteCatalogueFile(m_dir.filePath("absent.txt"), &error));
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
