// The catalogue window through its widgets, opened by P3 on a loaded main
// window: the first opening walks the browser's folder, a search by Enter and
// a double click add a row to the playlist; the catalogue file is saved, kept
// whole when writing fails, read at the next opening (an unreadable or empty
// one gives an empty catalogue), and the search command's access key walks
// after what was read, then resets; the exit button ends a walk.

#include <sys/stat.h>

#include <cstdio>

#include <QtTest>
#include <QtWidgets>

#include "BoxWatcher.h"
#include "CatalogueWindow.h"
#include "FileSizeLimit.h"
#include "MixerBrowser.h"
#include "MixerRig.h"
#include "QtDialogs.h"
#include "TestTracks.h"

using namespace mixerrig;

namespace {

// The window P3 opens on the browser's folder `folder`, its first walk begun.
QPointer<ui::CatalogueWindow> openCatalogue(Rig& rig, const QString& folder) {
    rig.window->browser().browser().showFolder(folder);
    rig.click("P3");
    return rig.window->catalogueWindow();
}

// Lets the walk under way run to its end with the window's events.
bool walkToEnd(ui::CatalogueWindow* f3) {
    QSignalSpy ended(&f3->session(), &core::CatalogueSession::walkEnded);
    return !f3->session().walking() || ended.wait();
}

QString text(QWidget* window, const char* name) {
    return window->findChild<QObject*>(name)->property("text").toString();
}

void enterSearch(ui::CatalogueWindow* f3, const QString& search) {
    auto* rech = f3->findChild<QLineEdit*>("Rech");
    rech->clear();
    QTest::keyClicks(rech, search);
    QTest::keyClick(rech, Qt::Key_Return);
}

QStringList results(ui::CatalogueWindow* f3) {
    return qobject_cast<QStringListModel*>(f3->findChild<QListView*>("List2")->model())
        ->stringList();
}

// A double click as the system delivers it: a click, then the second press
// reported as a double click.
void doubleClickResult(ui::CatalogueWindow* f3, int row) {
    auto* list2 = f3->findChild<QListView*>("List2");
    list2->doItemsLayout();
    const QPoint at = list2->visualRect(list2->model()->index(row, 0)).center();
    QTest::mouseClick(list2->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list2->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class CatalogueWindowTest : public QObject {
    Q_OBJECT

    // Artist and title are read from the whole path: no hyphen in the folders.
    QTemporaryDir m_root{QDir::tempPath() + QStringLiteral("/varonelcat_XXXXXX")};
    QString m_music;
    QString m_alpha;
    QString m_beta;

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_music = m_root.filePath("Musique");
        m_alpha = m_music + "/Rock/Alpha - Un.wav";
        m_beta = m_music + "/Beta - Deux.wav";
        QVERIFY(QDir().mkpath(m_music + "/Rock"));
        testtracks::write(m_alpha, {20.0, 0.4f});
        testtracks::write(m_beta, {25.0, 0.4f});
    }

    // Without a catalogue file the first opening walks the browser's folder;
    // Enter searches whole paths of two characters or more, and a double
    // click appends the found track as the browser would.
    void firstOpeningWalksSearchesAndAdds() {
        Rig rig;
        const QPointer<ui::CatalogueWindow> f3 = openCatalogue(rig, m_music);
        QVERIFY(f3);
        QVERIFY(f3->isVisible() && !f3->isModal());
        QVERIFY(f3->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(f3->height(), 4245 / 15);
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(f3->pos(), QPoint((screen.width() * 15 - 9000) / 2 / 15,
                                   qRound((screen.height() * 15 - 4245) / 2.0) / 15));
        QCOMPARE(text(f3, "cmdExit"), QStringLiteral("Annuler"));
        QVERIFY(walkToEnd(f3));
        QCOMPARE(f3->session().lstFoundFiles().entries(), QStringList({m_alpha, m_beta}));
        QCOMPARE(f3->windowTitle(), QStringLiteral(" 2 Fichiers Audio Wav - Mp3"));
        QCOMPARE(text(f3, "lblCount"), QStringLiteral(" 2"));
        QCOMPARE(text(f3, "BtnCatalogue"), QStringLiteral("Sauver Catalogue"));
        QCOMPARE(text(f3, "cmdSearch"), QStringLiteral("&Réinitialiser"));
        QCOMPARE(text(f3, "cmdExit"), QStringLiteral("&Quitter"));
        activate(f3);
        QCOMPARE(QApplication::focusWidget(), f3->findChild<QLineEdit*>("Rech"));

        // One character leaves the results as they were; a folder name in
        // another case finds its files.
        enterSearch(f3, "ROCK");
        QCOMPARE(results(f3), QStringList{m_alpha});
        enterSearch(f3, "u");
        QCOMPARE(results(f3), QStringList{m_alpha});
        doubleClickResult(f3, 0);
        QCOMPARE(rig.window->playlist().count(), 1);
        QCOMPARE(rig.window->playlist().row(1), (Row{"Alpha", "Un", "00:20", m_alpha, ""}));
        QVERIFY(rig.mirrorsModel());

        // A file gone since the walk adds no row and says which and why.
        const QString gone = m_root.filePath("Beta - Deux.wav");
        QVERIFY(QFile::rename(m_beta, gone));
        enterSearch(f3, "deux");
        doubleClickResult(f3, 0);
        QVERIFY(QFile::rename(gone, m_beta));
        QCOMPARE(rig.window->playlist().count(), 1);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QVERIFY(rig.dialogs.shown[0].text.contains(m_beta));

        f3->findChild<QPushButton*>("cmdExit")->click();
        QVERIFY(!rig.window->catalogueWindow());
        QTRY_VERIFY(f3.isNull());
    }

    // With the catalogue window open (kept above every window), the real
    // message boxes still reach the operator: each is kept on top too, so it
    // opens above the catalogue instead of beneath it, where the program would
    // refuse every click. A file path too long for the screen is cut in the
    // box, whole in its details, so its OK button stays on the screen.
    void boxesOverTheCatalogue() {
        ui::QtDialogs boxes;
        Rig rig(1024, nullptr, {}, nullptr, &boxes);
        QString deep = m_root.path();
        while (deep.size() < 4000) {
            deep += QStringLiteral("/Dossier rangé");
        }
        deep += QStringLiteral("/Alpha - Disparu.wav");
        QVERIFY(filebytes::write(rig.window->fichierCatalogue(), deep.toUtf8() + "\r\n"));
        activate(rig.window.get());
        const QPointer<ui::CatalogueWindow> f3 = openCatalogue(rig, m_music);
        QVERIFY(QTest::qWaitForWindowExposed(f3));
        {
            const BoxWatcher watcher;
            rig.click("CmdPlay");  // an empty playlist
            QVERIFY(watcher.seen().shown);
            QCOMPARE(watcher.seen().text, QStringLiteral("Le réservoir est vide"));
            QVERIFY(watcher.seen().keptOnTop);
            QVERIFY(watcher.seen().transientParent != nullptr);
        }
        const BoxWatcher watcher;
        enterSearch(f3, "disparu");
        doubleClickResult(f3, 0);
        const BoxWatcher::Seen& seen = watcher.seen();
        QVERIFY(seen.shown);
        QVERIFY(seen.keptOnTop);
        QVERIFY2(seen.screen.contains(seen.frame), qPrintable(QStringLiteral("%1 high on %2")
                                                                  .arg(seen.frame.height())
                                                                  .arg(seen.screen.height())));
        QVERIFY(seen.screen.contains(seen.buttons));
        QVERIFY(seen.details.contains(deep));
        QVERIFY(seen.text.endsWith(QStringLiteral("Le morceau n'a pas été ajouté à la playlist")));
    }

    // "Sauver Catalogue" writes the file in walk order, and a write that fails
    // leaves the good file whole and says so; the next opening reads it
    // without walking, and the search command's access key then walks after
    // what was read; once more, it resets.
    void catalogueFileSavedReadAndWalkedAfter() {
        Rig rig;
        const QString file = rig.window->fichierCatalogue();
        QPointer<ui::CatalogueWindow> f3 = openCatalogue(rig, m_music);
        QVERIFY(walkToEnd(f3));
        f3->findChild<QPushButton*>("BtnCatalogue")->click();
        const QByteArray saved = (m_alpha + "\r\n" + m_beta + "\r\n").toUtf8();
        QCOMPARE(filebytes::read(file), saved);
        {
            const FileSizeLimit limit(saved.size() - 1);
            f3->findChild<QPushButton*>("BtnCatalogue")->click();
        }
        QCOMPARE(filebytes::read(file), saved);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.shown[0].icon, core::MessageIcon::Critical);
        QVERIFY(rig.dialogs.shown[0].text.endsWith("\nErreur dans la création du catalogue"));
        QVERIFY(f3->findChild<QPushButton*>("BtnCatalogue")->isEnabled());
        f3->close();
        QTRY_VERIFY(f3.isNull());

        const QString old = QStringLiteral("/ancien/X - Y.mp3");
        QVERIFY(filebytes::write(file, (old + "\r\n").toUtf8()));
        f3 = openCatalogue(rig, m_music);
        QVERIFY(!f3->session().walking());
        QCOMPARE(f3->session().lstFoundFiles().entries(), QStringList{old});
        QCOMPARE(f3->windowTitle(), QStringLiteral("Catalogue Wav Mp3"));
        QCOMPARE(text(f3, "BtnCatalogue"), QStringLiteral("Nouveau Catalogue"));
        activate(f3);
        QTest::keyClick(f3, Qt::Key_R, Qt::AltModifier);
        QVERIFY(walkToEnd(f3));
        QCOMPARE(f3->session().lstFoundFiles().entries(), QStringList({old, m_alpha, m_beta}));
        QCOMPARE(f3->windowTitle(), QStringLiteral(" 2 Fichiers Audio Wav - Mp3"));
        QTest::keyClick(f3, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(f3->session().lstFoundFiles().count(), 0);
        QCOMPARE(f3->windowTitle(), QStringLiteral("0 Fichiers Audio Wav - Mp3"));
        QCOMPARE(text(f3, "cmdSearch"), QStringLiteral("&Rechercher"));

        // "Nouveau Catalogue" deletes the file, walks the browser's folder and
        // only saves from then on.
        f3->findChild<QPushButton*>("BtnCatalogue")->click();
        QVERIFY(!QFile::exists(file));
        QVERIFY(!f3->findChild<QPushButton*>("BtnCatalogue")->isEnabled());
        QVERIFY(walkToEnd(f3));
        QCOMPARE(f3->session().lstFoundFiles().entries(), QStringList({m_alpha, m_beta}));
        QCOMPARE(text(f3, "BtnCatalogue"), QStringLiteral("Sauver Catalogue"));
        QVERIFY(f3->findChild<QPushButton*>("BtnCatalogue")->isEnabled());
        QCOMPARE(rig.dialogs.shown.size(), 1);
    }

    // A catalogue file that cannot be read (here, too large to be one) or an
    // empty one gives an empty catalogue in a usable window, with no walk.
    void unreadableOrEmptyCatalogueFile() {
        Rig rig;
        const QString file = rig.window->fichierCatalogue();
        {
            QFile big(file);
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(300LL * 1024 * 1024));
        }
        QPointer<ui::CatalogueWindow> f3 = openCatalogue(rig, m_music);
        QVERIFY(!f3->session().walking());
        QCOMPARE(f3->session().lstFoundFiles().count(), 0);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(text(f3, "BtnCatalogue"), QStringLiteral("Nouveau Catalogue"));
        enterSearch(f3, "Alpha");
        QCOMPARE(results(f3), QStringList());
        f3->close();
        QTRY_VERIFY(f3.isNull());

        QVERIFY(filebytes::write(file, ""));
        f3 = openCatalogue(rig, m_music);
        QVERIFY(!f3->session().walking());
        QCOMPARE(f3->session().lstFoundFiles().count(), 0);
        QCOMPARE(f3->windowTitle(), QStringLiteral("Catalogue Wav Mp3"));
        QCOMPARE(text(f3, "BtnCatalogue"), QStringLiteral("Nouveau Catalogue"));
        QCOMPARE(rig.dialogs.shown.size(), 1);
    }

    // A name that is not UTF-8 is walked, saved, read back from the file and
    // still opens: a double click adds its row with its duration.
    void nameThatIsNotUtf8StillOpens() {
        const QString folder = m_root.filePath("Octets");
        const QByteArray raw = QFile::encodeName(folder) + "/\xe9t\xe9/Caf\xe9 - Noir.wav";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::mkdir((QFile::encodeName(folder) + "/\xe9t\xe9").constData(), 0700) == 0);
        testtracks::write(folder + "/plain.wav", {20.0, 0.4f});
        QVERIFY(::rename(QFile::encodeName(folder + "/plain.wav").constData(), raw.constData()) ==
                0);

        Rig rig;
        QPointer<ui::CatalogueWindow> f3 = openCatalogue(rig, folder);
        QVERIFY(walkToEnd(f3));
        f3->findChild<QPushButton*>("BtnCatalogue")->click();
        QCOMPARE(filebytes::read(rig.window->fichierCatalogue()), raw + "\r\n");
        f3->close();
        QTRY_VERIFY(f3.isNull());
        f3 = openCatalogue(rig, folder);
        QVERIFY(!f3->session().walking());
        enterSearch(f3, "Noir");
        QCOMPARE(results(f3).size(), 1);
        doubleClickResult(f3, 0);
        QCOMPARE(rig.window->playlist().count(), 1);
        QCOMPARE(rig.window->playlist().row(1).cell(2), QStringLiteral("00:20"));
        QVERIFY(rig.dialogs.shown.isEmpty());
    }

    // The exit button, pressed while the first walk runs, ends it before its
    // next folder and closes the window; nothing is saved.
    void exitEndsAWalk() {
        Rig rig;
        const QPointer<ui::CatalogueWindow> f3 = openCatalogue(rig, m_music);
        QVERIFY(f3->session().walking());
        QCOMPARE(text(f3, "cmdExit"), QStringLiteral("Annuler"));
        f3->findChild<QPushButton*>("cmdExit")->click();
        QVERIFY(!rig.window->catalogueWindow());
        QTRY_VERIFY(f3.isNull());
        QVERIFY(!QFile::exists(rig.window->fichierCatalogue()));
        QVERIFY(rig.dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(CatalogueWindowTest)
#include "tst_cataloguewindow.moc"
