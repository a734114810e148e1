// The catalogue window's session without its widgets: the loading (a walk
// without a catalogue file, the file read otherwise), the search command that
// walks after what was read and then resets, the catalogue button that saves
// or starts anew, the double click's row, and a walk ended by the closing.

#include <QTemporaryDir>
#include <QtTest>

#include "CatalogueSession.h"
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "ScriptedDialogs.h"

using namespace varonel::core;
using Mode = CatalogueSession::CatalogueMode;
using Search = CatalogueSession::SearchMode;

namespace {

// A session whose host is the test: the browser shows `folder`, and the
// playlist keeps the rows it is given, or refuses them with `refusal`.
struct Rig {
    Rig(QString file, QString browserFolder)
        : file(std::move(file)), folder(std::move(browserFolder)) {}

    CatalogueHost host() {
        return {file, [this] { return folder; },
                [this](const PlaylistRow& row, QString* error) {
                    *error = refusal;
                    if (refusal.isEmpty()) {
                        added.append(row);
                    }
                    return refusal.isEmpty();
                },
                &dialogs};
    }

    // Lets the walk under way run to its end.
    bool walkToEnd() {
        QSignalSpy ended(&session, &CatalogueSession::walkEnded);
        return !session.walking() || ended.wait();
    }

    QString file;
    QString folder;
    QString refusal;
    ScriptedDialogs dialogs;
    QList<PlaylistRow> added;
    CatalogueSession session{host()};
};

}  // namespace

class TestCatalogueSession : public QObject {
    Q_OBJECT

    // Artist and title are read from the whole path: no hyphen in the folders.
    QTemporaryDir m_root{QDir::tempPath() + QStringLiteral("/varonelcat_XXXXXX")};
    QString m_music;
    QString m_alpha;
    QString m_beta;
    QString m_file;
    const QString m_old = QStringLiteral("/ancien/X - Y.mp3");

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_music = m_root.filePath("Musique");
        m_alpha = m_music + "/Rock/Alpha - Un.wav";
        m_beta = m_music + "/Beta - Deux.wav";
        QVERIFY(QDir().mkpath(m_music + "/Rock"));
        QVERIFY(filebytes::write(m_alpha, "x") && filebytes::write(m_beta, "x"));
        m_file = m_root.filePath("Catalogue.txt");
    }

    void init() { QFile::remove(m_file); }

    // Without a catalogue file the loading walks the browser's folder: the
    // button waits for the walk's end, then saves; the search command then
    // resets, and the next walk starts from the current folder.
    void loadWithoutFileWalks() {
        Rig rig(m_file, m_music);
        rig.session.load();
        QVERIFY(rig.session.walking() && !rig.session.catalogueButtonEnabled());
        QCOMPARE(rig.session.caption(), QStringLiteral("Catalogue Wav Mp3"));
        QVERIFY(rig.walkToEnd());
        QCOMPARE(rig.session.lstFoundFiles().entries(), QStringList({m_alpha, m_beta}));
        QCOMPARE(rig.session.searchMode(), Search::Reset);
        QCOMPARE(rig.session.catalogueMode(), Mode::Save);
        QVERIFY(rig.session.catalogueButtonEnabled());
        QCOMPARE(rig.session.lblCount(), QStringLiteral(" 2"));
        QCOMPARE(rig.session.caption(), QStringLiteral(" 2 Fichiers Audio Wav - Mp3"));

        rig.session.searchCommand();
        QVERIFY(!rig.session.walking());
        QCOMPARE(rig.session.lstFoundFiles().count(), 0);
        QCOMPARE(rig.session.searchMode(), Search::Walk);
        QCOMPARE(rig.session.caption(), QStringLiteral("0 Fichiers Audio Wav - Mp3"));
        QCOMPARE(rig.session.dirList(), QDir::currentPath());
        QVERIFY(rig.dialogs.shown.isEmpty());
    }

    // A catalogue file is read without a walk, whatever it holds; one that
    // cannot be read (here, too large to be one) leaves an empty catalogue
    // and says so. The caption stays the first one.
    void loadReadsTheFile_data() {
        QTest::addColumn<qint64>("size");  // -1: the bytes of one entry
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("messages");
        QTest::newRow("one entry") << qint64(-1) << 1 << 0;
        QTest::newRow("empty") << qint64(0) << 0 << 0;
        QTest::newRow("unreadable") << qint64(300LL * 1024 * 1024) << 0 << 1;
    }

    void loadReadsTheFile() {
        QFETCH(qint64, size);
        QFETCH(int, entries);
        QFETCH(int, messages);
        {
            QFile file(m_file);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(size < 0 ? file.write((m_old + "\r\n").toUtf8()) > 0 : file.resize(size));
        }
        Rig rig(m_file, m_music);
        rig.session.load();
        QVERIFY(!rig.session.walking());
        QCOMPARE(rig.session.lstFoundFiles().count(), entries);
        QCOMPARE(rig.session.catalogueMode(), Mode::New);
        QCOMPARE(rig.session.searchMode(), Search::Walk);
        QCOMPARE(rig.session.caption(), QStringLiteral("Catalogue Wav Mp3"));
        QCOMPARE(rig.dialogs.shown.size(), messages);
        if (messages > 0) {
            QVERIFY(rig.dialogs.shown[0].text.endsWith("\nLe catalogue n'a pas pu être lu"));
        }
    }

    // "Sauver Catalogue" writes the list in walk order; a write that fails
    // leaves the good file whole and says so, the button usable again.
    void saveKeepsTheFileWholeOnFailure() {
        Rig rig(m_file, m_music);
        rig.session.load();
        QVERIFY(rig.walkToEnd());
        rig.session.catalogueButton();
        const QByteArray saved = (m_alpha + "\r\n" + m_beta + "\r\n").toUtf8();
        QCOMPARE(filebytes::read(m_file), saved);
        {
            const FileSizeLimit limit(saved.size() - 1);
            rig.session.catalogueButton();
        }
        QCOMPARE(filebytes::read(m_file), saved);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.shown[0].icon, MessageIcon::Critical);
        QVERIFY(rig.dialogs.shown[0].text.endsWith("\nErreur dans la création du catalogue"));
        QVERIFY(rig.session.catalogueButtonEnabled());
    }

    // After a read, the search command walks and adds after what was read: it
    // never empties the list. "Nouveau Catalogue" deletes the file, empties
    // the list and runs the search command from the browser's folder: a walk,
    // or a reset once a walk has ended. The button only saves from then on.
    void newCatalogue_data() {
        QTest::addColumn<bool>("walkedBefore");
        QTest::newRow("search command walks") << false;
        QTest::newRow("search command resets") << true;
    }

    void newCatalogue() {
        QFETCH(bool, walkedBefore);
        QVERIFY(filebytes::write(m_file, (m_old + "\r\n").toUtf8()));
        Rig rig(m_file, m_music);
        rig.session.load();
        if (walkedBefore) {
            rig.session.searchCommand();
            QVERIFY(rig.walkToEnd());
            QCOMPARE(rig.session.lstFoundFiles().entries(), QStringList({m_old, m_alpha, m_beta}));
        }
        rig.folder = m_music + "/Rock";
        rig.session.catalogueButton();
        QVERIFY(!QFile::exists(m_file));
        QCOMPARE(rig.session.catalogueMode(), Mode::Save);
        QCOMPARE(rig.session.walking(), !walkedBefore);
        QCOMPARE(rig.session.catalogueButtonEnabled(), walkedBefore);
        QVERIFY(rig.walkToEnd());
        QCOMPARE(rig.session.lstFoundFiles().entries(),
                 walkedBefore ? QStringList() : QStringList{m_alpha});
        QCOMPARE(rig.session.dirList(), walkedBefore ? QDir::currentPath() : rig.folder);
        QVERIFY(rig.dialogs.shown.isEmpty());
    }

    // A double click appends the entry's artist and title by the catalogue's
    // own rule; a row the playlist refuses is told, the file named once.
    void addToPlaylist_data() {
        QTest::addColumn<QString>("refusal");  // "<path>" stands for the entry
        QTest::addColumn<QString>("message");
        QTest::newRow("added") << QString() << QString();
        QTest::newRow("refused, the reason names the file") << "<path> : introuvable"
                                                            << "<path> : introuvable\n";
        QTest::newRow("refused, the reason alone") << "illisible"
                                                   << "<path>\nillisible\n";
    }

    void addToPlaylist() {
        QFETCH(QString, refusal);
        QFETCH(QString, message);
        Rig rig(m_file, m_music);
        rig.refusal = refusal.replace("<path>", m_alpha);
        rig.session.addToPlaylist(m_alpha);
        if (refusal.isEmpty()) {
            QCOMPARE(rig.added.size(), 1);
            QCOMPARE(rig.added[0], (PlaylistRow{"Alpha", "Un", "", m_alpha, ""}));
            QVERIFY(rig.dialogs.shown.isEmpty());
        } else {
            QVERIFY(rig.added.isEmpty());
            QCOMPARE(rig.dialogs.texts(),
                     QStringList{message.replace("<path>", m_alpha) +
                                 "Le morceau n'a pas été ajouté à la playlist"});
        }
    }

    // The window's closing ends a walk before its next folder, without a word.
    void closeEndsAWalk() {
        Rig rig(m_file, m_music);
        rig.session.load();
        QSignalSpy ended(&rig.session, &CatalogueSession::walkEnded);
        rig.session.close();
        QVERIFY(!ended.wait(100));
        QCOMPARE(rig.session.lstFoundFiles().count(), 0);
        QVERIFY(rig.dialogs.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCatalogueSession)
#include "tst_cataloguesession.moc"
