// The catalogue window's session without its widgets: its modes, count and
// caption after each of the operator's gestures (the loading with or without
// a catalogue file, the search command, the catalogue button, a walk's end,
// the closing), and a row the playlist refuses.

#include <QTemporaryDir>
#include <QtTest>

#include "FileBytes.h"
#include "ScriptedDialogs.h"
#include "core/catalogue/CatalogueSession.h"

using namespace varonel::core;

namespace {

// A session whose host is the test: the browser shows `folder`, and the
// playlist keeps the rows it is given, or refuses them with `refusal`.
struct Rig {
    Rig(QString file, QString browserFolder)
        : file(std::move(file)), folder(std::move(browserFolder)) {}

    CatalogueHost host() {
        return {file, [this] { return folder; },
                [this](const PlaylistRow&, QString* error) {
                    *error = refusal;
                    return refusal.isEmpty();
                },
                &dialogs};
    }

    // The state the window shows, the entries' number, where the next walk
    // starts (below `root`, or "." for the current folder) and whether the
    // catalogue file is there.
    QString state(const QString& root) const {
        const CatalogueSession& s = session;
        const QString from = s.dirList() == QDir::currentPath()
                                 ? QStringLiteral(".")
                                 : QDir(root).relativeFilePath(s.dirList());
        return QStringLiteral("%1 %2%3%4 %5 '%6' '%7' %8%9")
            .arg(s.searchMode() == CatalogueSession::SearchMode::Walk ? "walk" : "reset")
            .arg(s.catalogueMode() == CatalogueSession::CatalogueMode::Save ? "save" : "new")
            .arg(s.walking() ? " walking" : "")
            .arg(s.catalogueButtonEnabled() ? "" : " busy")
            .arg(s.lstFoundFiles().count())
            .arg(s.lblCount(), s.caption(), from)
            .arg(QFile::exists(file) ? " file" : "");
    }

    QString file;
    QString folder;
    QString refusal;
    ScriptedDialogs dialogs;
    CatalogueSession session{host()};
};

}  // namespace

class TestCatalogueSession : public QObject {
    Q_OBJECT

    // Artist and title are read from the whole path: no hyphen in the folders.
    QTemporaryDir m_root{QDir::tempPath() + QStringLiteral("/varonelcat_XXXXXX")};
    QString m_music;
    QString m_file;

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_music = m_root.filePath("Musique");
        QVERIFY(filebytes::writeTree(m_music, {"Rock/Alpha - Un.wav", "Beta - Deux.wav"}));
        m_file = m_root.filePath("Catalogue.txt");
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
            << QStringList(2, "walk save walking busy 0 '0' " + first) << QStringList();
        QTest::newRow("a file, a walk after it, then a new catalogue that resets")
            << qint64(1) << QStringList{"load", "search", "end", "new"}
            << QStringList{"walk new 1 '0' " + first + " file",
                           "walk new walking busy 1 '0' " + first + " file",
                           "reset new 3 " + two + " file",
                           "walk save 0 '0' '0 Fichiers Audio Wav - Mp3' ."}
            << QStringList();
        QTest::newRow("an empty file, then a new catalogue that walks")
            << qint64(0) << QStringList{"load", "new", "end"}
            << QStringList{"walk new 0 '0' " + first + " file",
                           "walk save walking busy 0 '0' 'Catalogue Wav Mp3' Musique/Rock",
                           "reset save 1 ' 1' ' 1 Fichiers Audio Wav - Mp3' Musique/Rock"}
            << QStringList();
        QTest::newRow("an unreadable file") << qint64(300LL * 1024 * 1024) << QStringList{"load"}
                                            << QStringList{"walk new 0 '0' " + first + " file"}
                                            << QStringList{"2 Le catalogue n'a pas pu être lu"};
        QTest::newRow("a folder in the file's place: no save")
            << qint64(-2) << QStringList{"load", "end", "save"}
            << QStringList{"walk save walking busy 0 '0' " + first + " file",
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
        QFile::remove(m_file);
        QDir(m_file).removeRecursively();
        if (fileSize == -2) {
            QVERIFY(QDir().mkpath(m_file));
        } else if (fileSize >= 0) {
            QFile file(m_file);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(fileSize == 1 ? file.write("/ancien/X - Y.mp3\r\n") > 0
                                  : file.resize(fileSize));
        }
        Rig rig(m_file, m_music);
        for (int i = 0; i < gestures.size(); ++i) {
            if (gestures[i] == "load") {
                rig.session.load();
            } else if (gestures[i] == "search") {
                rig.session.searchCommand();
            } else if (gestures[i] == "save" || gestures[i] == "new") {  // the button's two modes
                rig.folder = m_music + "/Rock";  // the browser has moved on since the loading
                rig.session.catalogueButton();
            } else if (gestures[i] == "lock") {
                QVERIFY(QFile::remove(m_file) && QDir().mkpath(m_file + "/dossier"));
            } else if (gestures[i] == "close") {
                rig.session.close();
                QTest::qWait(50);  // no step of the walk runs any more
            } else {               // the walk under way runs to its end
                QSignalSpy ended(&rig.session, &CatalogueSession::walkEnded);
                QVERIFY(!rig.session.walking() || ended.wait());
            }
            QCOMPARE(rig.state(m_root.path()), states[i]);
        }
        QStringList lastLines;
        for (const Message& message : rig.dialogs.shown) {
            lastLines.append(QString::number(int(message.icon)) + ' ' +
                             message.text.section(u'\n', -1));
        }
        QCOMPARE(lastLines, messages);
    }

    // A row the playlist refuses is told, the file named once whether the
    // refusal names it or not. (A row taken is the window's test.)
    void refusedRowIsTold() {
        Rig rig(m_file, m_music);
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

QTEST_GUILESS_MAIN(TestCatalogueSession)
#include "tst_cataloguesession.moc"
