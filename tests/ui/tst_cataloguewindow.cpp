// The catalogue window's wiring, opened by P3 on a loaded main window: its
// captions follow its session's state, and the operator's gestures (Enter, a
// double click, the access key, the buttons) reach the session. What the
// session decides is tested without widgets (tst_catalogue).

#include <QtTest>
#include <QtWidgets>

#include "BoxWatcher.h"
#include "Gestures.h"
#include "MixerRig.h"
#include "TestTracks.h"
#include "ui/shared/QtDialogs.h"
#include "ui/varonel/CatalogueWindow.h"
#include "ui/varonel/MixerBrowser.h"

using namespace mixerrig;

namespace {

// The window P3 opens on the browser's folder `folder`, its first walk begun.
QPointer<ui::CatalogueWindow> openCatalogue(Rig& rig, const QString& folder) {
    rig.window->browser().browser().showFolder(folder);
    rig.click("P3");
    return rig.window->catalogueWindow();
}

QString text(QWidget* window, const char* name) {
    return window->findChild<QObject*>(name)->property("text").toString();
}

// Searches for `search` and double-clicks the first row found.
void addFirstFound(ui::CatalogueWindow* f3, const QString& search) {
    QTest::keyClicks(f3->findChild<QLineEdit*>("Rech"), search);
    QTest::keyClick(f3->findChild<QLineEdit*>("Rech"), Qt::Key_Return);
    auto* list2 = f3->findChild<QListView*>("List2");
    QCOMPARE(list2->model()->rowCount(), 1);
    gestures::doubleClick(list2->viewport(), gestures::rowPoint(list2, 0));
}

}  // namespace

class CatalogueWindowTest : public QObject {
    Q_OBJECT

    // Artist and title are read from the whole path: no hyphen in the folders.
    QTemporaryDir m_root{QDir::tempPath() + QStringLiteral("/varonelcat_XXXXXX")};
    QString m_music;
    QString m_alpha;

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_music = m_root.filePath("Musique");
        m_alpha = m_music + "/Rock/Alpha - Un.wav";
        QVERIFY(QDir().mkpath(m_music + "/Rock"));
        testtracks::write(m_alpha, {20.0, 0.4f});
        testtracks::write(m_music + "/Beta - Deux.wav", {25.0, 0.4f});
    }

    // P3 opens the window centred, above the others and not modal, its
    // first walk shown in its captions; Enter fills the results, a double
    // click appends the found track to the playlist through AudioFile 2, the
    // access key runs the search command, the catalogue button saves, and
    // the exit button closes the window. Opened again on a catalogue file,
    // a real message box whose file path is too long for the screen cuts the
    // path in the box and keeps it whole in its details, so its OK button
    // stays on the screen. (That the box opens above the catalogue, kept on
    // top too, is the acceptance run's.)
    void openingsShowTheWalkAddAndTell() {
        ui::QtDialogs boxes;
        Rig rig(1024, nullptr, {}, nullptr, &boxes);
        const QPointer<ui::CatalogueWindow> f3 = openCatalogue(rig, m_music);
        QVERIFY(f3 && f3->isVisible() && !f3->isModal());
        QVERIFY(f3->windowFlags() & Qt::WindowStaysOnTopHint);
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(f3->pos(), QPoint((screen.width() * 15 - 9000) / 2 / 15,
                                   qRound((screen.height() * 15 - 4245) / 2.0) / 15));
        QCOMPARE(text(f3, "cmdExit"), QStringLiteral("Annuler"));
        QVERIFY(!f3->findChild<QPushButton*>("BtnCatalogue")->isEnabled());
        QSignalSpy ended(&f3->session(), &core::CatalogueSession::walkEnded);
        QVERIFY(!f3->session().walking() || ended.wait());  // the walk runs to its end
        QCOMPARE(f3->windowTitle(), QStringLiteral(" 2 Fichiers Audio Wav - Mp3"));
        QCOMPARE(text(f3, "cmdSearch"), QStringLiteral("&Réinitialiser"));
        QCOMPARE(text(f3, "cmdExit"), QStringLiteral("&Quitter"));
        activate(f3);
        QCOMPARE(QApplication::focusWidget(), f3->findChild<QLineEdit*>("Rech"));

        addFirstFound(f3, "ROCK");
        QCOMPARE(rig.window->playlist().count(), 1);
        QCOMPARE(rig.window->playlist().row(1), (Row{"Alpha", "Un", "00:20", m_alpha, ""}));
        QVERIFY(rig.mirrorsModel());

        QTest::keyClick(f3, Qt::Key_R, Qt::AltModifier);  // the search command resets
        QCOMPARE(text(f3, "cmdSearch"), QStringLiteral("&Rechercher"));
        f3->findChild<QPushButton*>("BtnCatalogue")->click();
        QCOMPARE(filebytes::read(rig.window->fichierCatalogue()), QByteArray());
        f3->findChild<QPushButton*>("cmdExit")->click();
        QTRY_VERIFY(f3.isNull());

        const QString deep = m_root.path() + QStringLiteral("/Dossier rangé").repeated(300) +
                             QStringLiteral("/Alpha - Disparu.wav");
        QVERIFY(filebytes::write(rig.window->fichierCatalogue(), deep.toUtf8() + "\r\n"));
        const QPointer<ui::CatalogueWindow> again = openCatalogue(rig, m_music);
        QVERIFY(QTest::qWaitForWindowExposed(again));
        QCOMPARE(text(again, "BtnCatalogue"), QStringLiteral("Nouveau Catalogue"));
        const BoxWatcher watcher;
        addFirstFound(again, "disparu");
        const BoxWatcher::Seen& seen = watcher.seen;
        QVERIFY(seen.screen.contains(seen.frame));
        QVERIFY(seen.details.contains(deep));
        QVERIFY(seen.text.endsWith(QStringLiteral("Le morceau n'a pas été ajouté à la playlist")));
    }
};

QTEST_MAIN(CatalogueWindowTest)
#include "tst_cataloguewindow.moc"
