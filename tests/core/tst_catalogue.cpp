// The catalogue without its window: the walk's order, its end on any tree
// (links back up, links into pseudo file systems, folders that vanish), its
// cancel and its full list; the search; ArtisteTitre; the catalogue file. And
// the catalogue window's session without its widgets: its modes, count and
// caption after each of the operator's gestures (the loading with or without
// a catalogue file, the search command, the catalogue button, a walk's end,
// the closing), and a row the playlist refuses.

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
#include "core/catalogue/CatalogueSession.h"
#include "core/catalogue/CatalogueWalk.h"
#include "core/playlist/SourceLengthReader.h"

using namespace varonel;
using namespace varonel::core;

namespace {

// A session whose host is the test: the browser shows `folder`, and the
// playlist keeps the rows it is given, or refuses them with `refusal`.
struct Rig {
    // The state the window shows, the entries' number, where the next walk
    // starts (below `root`, or "." for the current folder) and whether the
    // catalogue file is there. (The button is off while a walk runs: the
    // window's test.)
    QString state(const QString& root) const {
        const CatalogueSession& s = session;
        const QString from = s.dirList() == QDir::currentPath()
                                 ? QStringLiteral(".")
                                 : QDir(root).relativeFilePath(s.dirList());
        return QStringLiteral("%1 %2%3 %4 '%5' '%6' %7%8")
            .arg(s.searchMode() == CatalogueSession::SearchMode::Walk ? "walk" : "reset")
            .arg(s.catalogueMode() == CatalogueSession::CatalogueMode::Save ? "save" : "new")
            .arg(s.walking() ? " walking" : "")
            .arg(s.lstFoundFiles().count())
            .arg(s.lblCount(), s.caption(), from)
            .arg(QFile::exists(file) ? " file" : "");
    }

    QString file;
    QString folder;
    QString refusal{};
    ScriptedDialogs dialogs{};
    CatalogueSession session{{file, [this] { return folder; },
                              [this](const PlaylistRow&, QString* error) {
                                  *error = refusal;
                                  return refusal.isEmpty();
                              },
                              &dialogs}};
};

}  // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

    // Artist and title are read from the whole path: no hyphen in the folders.
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/varonelcat_XXXXXX")};
    QString m_music;

    struct Walk {
        explicit Walk(int capacity = CatalogueList::kCapacity) : list(capacity) {}
        CatalogueList list;
        ScriptedDialogs dialogs;
        std::function<void(int)> onYield = [](int) {};  // told the yields so far
        int yields = 0;
        CatalogueWalk walk{list, dialogs};
        bool run(const QString& folder) {
            return walk.ParcoursDossier(folder, FilePattern(), [this] { onYield(++yields); });
        }
    };

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_music = m_dir.filePath("Musique");
        QVERIFY(filebytes::writeTree(m_music, {"Rock/Alpha - Un.wav", "Beta - Deux.wav"}));
    }

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
        const QStringList all = {r + "/C/a1.WAV", r + "/C/a2.Mp3", r + "/B/b1.wav", r + "/r1.mp3"};
        // The same walk with or without the start's separator; none when it is
        // asked to start in /proc, through a link or not.
        const QList<std::tuple<QString, QStringList, int>> starts = {
            {r, all, 6}, {r + '/', all, 6}, {"/proc", {}, 1}, {r + "/A/self", {}, 1}};
        for (const auto& [start, entries, yields] : starts) {
            Walk w;
            QVERIFY(w.run(start));
            QCOMPARE(w.list.entries(), entries);
            QCOMPARE(w.yields, yields);  // in R: R, C, C/boucle, B, B/vide, A
            QVERIFY(w.dialogs.shown.isEmpty());
        }
    }

    // Names that are not UTF-8 (a disk filled by an older system) are kept as
    // the system has them: their folder is walked, each entry still names its
    // file, the catalogue file holds and gives back the very bytes (CR LF after
    // each line), and the entry read back still opens. The line format itself
    // is the playlists' (tst_playlist).
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
        cancelled.onYield = [&](int yields) {
            if (yields == 3) {  // B, after C's file
                cancelled.walk.cancel();
            }
        };
        QVERIFY(!cancelled.run(r));
        QCOMPARE(cancelled.list.entries(), QStringList{r + "/C/1.mp3"});
        QVERIFY(cancelled.dialogs.shown.isEmpty());
        QVERIFY(cancelled.run(r));  // its yields count on from 3: no second cancel
        QCOMPARE(cancelled.list.count(), 7);

        Walk full(3);
        QVERIFY(!full.run(r));
        QCOMPARE(full.list.entries(),
                 QStringList({r + "/C/1.mp3", r + "/B/1.mp3", r + "/B/2.mp3"}));
        QCOMPARE(full.dialogs.texts(),
                 QStringList{"La zone de liste est pleine. Recherche abandonnée..."});
        QCOMPARE(full.yields, 4);  // R, C, B, A: nothing after the list filled

        Walk w;
        w.onYield = [&](int yields) {
            if (yields == 2) {  // C: A and B are still to come
                QDir(r + "/A").removeRecursively();
                QDir(r + "/B").removeRecursively();
            }
        };
        QVERIFY(w.run(r));
        QCOMPARE(w.list.entries(), QStringList({r + "/C/1.mp3", r + "/r.mp3"}));
        QCOMPARE(w.dialogs.shown.size(), 1);
        const QStringList lines = w.dialogs.shown[0].text.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("2 dossiers") && lines[1].startsWith(r + "/B : ") &&
                lines[2].startsWith(r + "/A : "));
    }

    // Whole paths in upper case, in catalogue order; under two characters
    // nothing is searched.
    void search() {
        CatalogueList list;
        for (const char* entry : {"/M/ROCK/a.mp3", "/S/rocky.wav", "/M/Élodie - Été.mp3"}) {
            QVERIFY(list.append(QString::fromUtf8(entry)));
        }
        QCOMPARE(*list.search("rock"), QStringList({list.entries()[0], list.entries()[1]}));
        QCOMPARE(*list.search(QString::fromUtf8("éLODIE")), QStringList{list.entries()[2]});
        QCOMPARE(*list.search("zz"), QStringList());
        QVERIFY(!list.search("r") && !list.search(""));
    }

    // The artist and the title, in one cell.
    void artisteTitre_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("wanted");
        const auto row = [](const char* tag, const QString& path, const QString& wanted) {
            QTest::newRow(tag) << path << wanted;
        };
        row("folder", "/Musique/Artiste - Titre.mp3", "Artiste|Titre");
        row("hyphen in a folder", "/Best-Of/Artiste - Titre.mp3", "Best|Of/Artiste - Titre");
        row("no hyphen: unchanged", "/Musique/Intro.mp3", "avant|avant");
        row("first .MP3", "/m/A - Titre.Mp3.mp3", "A|Titre");
        row(".WAV before .MP3", "A-b.wav.x.MP3", "A|b");
        row("blank after the folder kept", "/m/ A - T.WAV", " A|T");
        const QString longTitle = QString(98, 'x');
        row("cut to 100 first", "/m/A - " + longTitle + ".mp3", "A|" + longTitle + '.');
    }

    void artisteTitre() {
        QFETCH(QString, path);
        QFETCH(QString, wanted);
        QString artist = "avant";
        QString title = "avant";
        ArtisteTitre(&artist, &title, path);
        QCOMPARE(artist + '|' + title, wanted);
    }

    // Each gesture, then the state it leaves: the loading walks without a
    // catalogue file and reads it otherwise (an unreadable one gives an empty
    // catalogue, and says so); the search command walks after what the list
    // holds, and once a walk has ended it resets; "Sauver Catalogue" writes
    // the file, or says why it could not; "Nouveau Catalogue" deletes it and
    // runs the search command from the browser's folder; the closing stops a
    // walk where it stands.
    void gestures_data() {
        QTest::addColumn<qint64>("fileSize");  // -1: none; -2: a folder; 1: one entry
        QTest::addColumn<QStringList>("gestures");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QStringList>("messages");  // their icons and last lines
        const QString first = "'Catalogue Wav Mp3' Musique";
        const QString two = "' 2' ' 2 Fichiers Audio Wav - Mp3' Musique";
        QTest::newRow("no file: the window closed while it walks")
            << qint64(-1) << QStringList{"load", "close"}
            << QStringList(2, "walk save walking 0 '0' " + first) << QStringList();
        QTest::newRow("a file, a walk after it, then a new catalogue that resets")
            << qint64(1) << QStringList{"load", "search", "end", "new"}
            << QStringList{"walk new 1 '0' " + first + " file",
                           "walk new walking 1 '0' " + first + " file",
                           "reset new 3 " + two + " file",
                           "walk save 0 '0' '0 Fichiers Audio Wav - Mp3' ."}
            << QStringList();
        QTest::newRow("an empty file, then a new catalogue that walks")
            << qint64(0) << QStringList{"load", "new", "end"}
            << QStringList{"walk new 0 '0' " + first + " file",
                           "walk save walking 0 '0' 'Catalogue Wav Mp3' Musique/Rock",
                           "reset save 1 ' 1' ' 1 Fichiers Audio Wav - Mp3' Musique/Rock"}
            << QStringList();
        QTest::newRow("an unreadable file") << qint64(300LL * 1024 * 1024) << QStringList{"load"}
                                            << QStringList{"walk new 0 '0' " + first + " file"}
                                            << QStringList{"2 Le catalogue n'a pas pu être lu"};
        QTest::newRow("a folder in the file's place: no save")
            << qint64(-2) << QStringList{"load", "end", "save"}
            << QStringList{"walk save walking 0 '0' " + first + " file",
                           "reset save 2 " + two + " file", "reset save 2 " + two + " file"}
            << QStringList{"3 Erreur dans la création du catalogue"};
        // Whoever runs the test (root deletes a read-only file), a folder that
        // took the file's place after the loading cannot be deleted as a file.
        QTest::newRow("a file that cannot be deleted: told, the catalogue kept")
            << qint64(1) << QStringList{"load", "lock", "new"}
            << QStringList{"walk new 1 '0' " + first + " file", "walk new 1 '0' " + first + " file",
                           "walk new 1 '0' 'Catalogue Wav Mp3' Musique/Rock file"}
            << QStringList{"3 Erreur dans la création du catalogue"};
    }

    void gestures() {
        QFETCH(qint64, fileSize);
        QFETCH(QStringList, gestures);
        QFETCH(QStringList, states);
        QFETCH(QStringList, messages);
        const QString path = m_dir.filePath(QTest::currentDataTag());
        if (fileSize == -2) {
            QVERIFY(QDir().mkpath(path));
        } else if (fileSize >= 0) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(fileSize == 1 ? file.write("/ancien/X - Y.mp3\r\n") > 0
                                  : file.resize(fileSize));
        }
        Rig rig{path, m_music};
        for (int i = 0; i < gestures.size(); ++i) {
            if (gestures[i] == "load") {
                rig.session.load();
            } else if (gestures[i] == "search") {
                rig.session.searchCommand();
            } else if (gestures[i] == "save" || gestures[i] == "new") {  // the button's two modes
                rig.folder = m_music + "/Rock";  // the browser has moved on since the loading
                rig.session.catalogueButton();
            } else if (gestures[i] == "lock") {
                QVERIFY(QFile::remove(path) && QDir().mkpath(path + "/dossier"));
            } else if (gestures[i] == "close") {
                rig.session.close();
                QTest::qWait(50);  // no step of the walk runs any more
            } else {               // the walk under way runs to its end
                QSignalSpy ended(&rig.session, &CatalogueSession::walkEnded);
                QVERIFY(!rig.session.walking() || ended.wait());
            }
            QCOMPARE(rig.state(m_dir.path()), states[i]);
        }
        QStringList lastLines;
        for (const Message& message : rig.dialogs.shown) {
            lastLines << QString::number(int(message.icon)) + ' ' + message.text.section('\n', -1);
        }
        QCOMPARE(lastLines, messages);
    }

    // A row the playlist refuses is told, the file named once whether the
    // refusal names it or not. (A row taken is the window's test.)
    void refusedRowIsTold() {
        Rig rig{m_dir.filePath("Catalogue.txt"), m_music};
        const QString alpha = m_music + "/Rock/Alpha - Un.wav";
        for (const QString& refusal : {QStringLiteral("illisible"), alpha + " : illisible"}) {
            rig.refusal = refusal;
            rig.session.addToPlaylist(alpha);
        }
        const QString notAdded = "\nLe morceau n'a pas été ajouté à la playlist";
        QCOMPARE(rig.dialogs.texts(), QStringList({alpha + "\nillisible" + notAdded,
                                                   alpha + " : illisible" + notAdded}));
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
