// The mixer's browser through its window: the drive and folder lists feeding
// ListRech, durations, sorting, a double click into the playlist,
// pre-listening on a second output while the mix plays, and the automatic
// request from its switch and its menu, over an empty browser and at the stop.

#include <QtTest>
#include <QtWidgets>

#include "Gestures.h"
#include "MixerRig.h"
#include "TestTracks.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/Volumes.h"
#include "ui/shared/BrowserView.h"
#include "ui/shared/FolderList.h"
#include "ui/shared/StatusLineView.h"
#include "ui/shared/TrackBrowser.h"
#include "ui/shared/VolumeList.h"
#include "ui/varonel/MixerBrowser.h"
#include "ui/varonel/PlaylistCommands.h"
#include "ui/varonel/TransportKeys.h"

using namespace mixerrig;
using gestures::doubleClick;
using gestures::rowPoint;

namespace {

QStringList browserColumn(const Rig& rig, int column) {
    QStringList cells;
    const core::BrowserModel& model = rig.window->browser().model();
    for (int i = 0; i < model.count(); ++i) {
        cells.append(model.data(model.index(i, column)).toString());
    }
    return cells;
}

// Double-clicks the entry of Dir1 that stands for `folder`, as the operator does.
void chooseFolder(const Rig& rig, const QString& folder) {
    auto* dir1 = rig.find<ui::FolderList>("Dir1");
    const QList<QTreeWidgetItem*> items =
        dir1->findItems(QFileInfo(folder).fileName(), Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY2(!items.isEmpty(), qPrintable(folder));
    dir1->doItemsLayout();
    doubleClick(dir1->viewport(), dir1->visualItemRect(items.constFirst()).center());
}

}  // namespace

class MixerBrowserTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root{QDir::tempPath() + QStringLiteral("/varonelbrowser_XXXXXX")};
    QString m_tracks;

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_tracks = m_root.filePath("Pistes");
        QVERIFY(QDir().mkpath(m_tracks));
        int seconds = 20;
        for (const char* name : {"Gamma - Trois.wav", "alpha - Un.WAV", "Beta - Deux.wav"}) {
            testtracks::write(m_tracks + '/' + name, {double(seconds), 0.4f});
            seconds += 5;
        }
    }

    // From the start-up root to a folder and its rows; durations for the rows
    // listed while the switch is on; a sort by a header. A folder that has
    // gone (its volume unplugged) gives way to the nearest one above it; a
    // volume that cannot be read sends the drive list back to the current
    // directory's volume, without a message. Dir1 goes up on Backspace; the
    // keypad's + is the decks' key, which neither opens nor folds a folder
    // (Enter in Dir1 reaching the transport is the acceptance run's).
    void foldersDurationsSortingLossesAndKeys() {
        Rig rig;
        activate(rig.window.get());
        auto* dir1 = rig.find<ui::FolderList>("Dir1");
        QCOMPARE(core::withTrailingSeparator(dir1->path()),
                 core::volumeRootOf(QDir::currentPath()));
        rig.window->browser().browser().showFolder(m_root.path());
        chooseFolder(rig, m_tracks);
        QCOMPARE(dir1->path(), m_tracks);
        QCOMPARE(browserColumn(rig, 0), QStringList({"alpha", "Beta", "Gamma"}));
        auto* view = rig.find<ui::BrowserView>("ListRech");
        QVERIFY(view->isColumnHidden(2));

        auto* duree = rig.find<QPushButton>("CheckDuree");
        duree->click();
        QCOMPARE(duree->text(), QStringLiteral("Durée On"));
        QCOMPARE(browserColumn(rig, 2), QStringList({"", "", ""}));  // not read again
        chooseFolder(rig, m_tracks);                                 // listed anew
        QTRY_COMPARE(browserColumn(rig, 2), QStringList({"00:25", "00:30", "00:20"}));

        QTest::mouseClick(view->header()->viewport(), Qt::LeftButton, {},
                          QPoint(view->header()->sectionViewportPosition(2) + 5, 5));
        QCOMPARE(browserColumn(rig, 2), QStringList({"00:20", "00:25", "00:30"}));

        const QString gone = m_root.filePath("Clef USB/Musique");
        QVERIFY(QDir().mkpath(gone));
        rig.window->browser().browser().showFolder(gone);
        QVERIFY(QDir(m_root.filePath("Clef USB")).removeRecursively());
        doubleClick(dir1->viewport(), dir1->visualItemRect(dir1->currentItem()).center());
        QCOMPARE(dir1->path(), m_root.path());
        QCOMPARE(rig.window->browser().model().count(), 0);
        auto* drive1 = rig.find<ui::VolumeList>("Drive1");
        emit drive1->volumeChosen("/nulle/part/");
        QCOMPARE(drive1->currentText(), core::volumeRootOf(QDir::currentPath()));
        QCOMPARE(dir1->path(), m_root.path());
        QVERIFY(rig.dialogs.shown.isEmpty());

        dir1->collapseItem(dir1->currentItem());
        dir1->setFocus();
        gestures::press(rig.window.get(), Qt::Key_Plus, Qt::KeypadModifier);
        gestures::release(rig.window.get(), Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(dir1->path(), m_root.path());
        QVERIFY(!dir1->currentItem()->isExpanded());
        gestures::press(rig.window.get(), Qt::Key_Backspace);
        gestures::release(rig.window.get(), Qt::Key_Backspace);
        QCOMPARE(dir1->path(), QFileInfo(m_root.path()).path());
    }

    // A double click appends the row without its milliseconds (a drop, which
    // fills them, is tested with the playlist's other gestures); a file gone
    // since the folder was listed adds nothing, and the status line tells
    // which and why. A click on a row loads it for pre-listening and Play
    // plays it, the output list locked meanwhile (both outputs heard at once
    // is the acceptance run's). The slider never shows a stale position,
    // whatever the transport's ticks repeat meanwhile: after Play it shows
    // where the new track stands, after a seek while stopped where it was
    // sought. A click on another row stops the player without starting the
    // new row, and frees the output list. A file that cannot play is told
    // with its reason; giving up leaves everything as it was, and a retry
    // once the file is mended plays it.
    void doubleClickAndPreListening() {
        Rig rig;
        activate(rig.window.get());
        rig.window->browser().browser().showFolder(m_tracks);
        auto* view = rig.find<ui::BrowserView>("ListRech");
        doubleClick(view->viewport(), rowPoint(view, 2));
        QCOMPARE(rig.artists(), QStringList{"Gamma"});
        QCOMPARE(rig.column(Row::kDurationColumn), QStringList{"00:20"});
        QCOMPARE(rig.column(Row::kMillisecondsColumn), QStringList{""});

        const QString gone = testtracks::write(m_tracks + "/Omega - Parti.wav", {5.0, 0.4f});
        rig.window->browser().browser().showFolder(m_root.path());
        rig.window->browser().browser().showFolder(m_tracks);
        QVERIFY(QFile::remove(gone));
        doubleClick(view->viewport(), rowPoint(view, int(browserColumn(rig, 3).indexOf(gone))));
        QCOMPARE(rig.artists(), QStringList{"Gamma"});
        QCOMPARE(rig.find<ui::StatusLineView>("LblEtat")->fullText(),
                 "12:00:00  Non ajouté à la playlist : Fichier introuvable : " + gone);

        auto* slider = rig.find<QSlider>("TrackBarPFL");
        audio::Player& pfl = rig.window->preListening().player();
        rig.click("CmdPlay");  // on air, Timer1 reads the pre-listening position too
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(view, 2));  // Gamma
        rig.click("btnPlay");
        QVERIFY(!rig.enabled("PFL"));
        slider->setSliderDown(true);  // a seek by hand
        slider->setSliderPosition(10000);
        slider->setSliderDown(false);
        rig.driver->advanceMs(200);
        QCOMPARE(slider->value(), 10000);
        rig.click("CmdStop");
        rig.driver->advanceMs(2600);  // off air: Timer3 alone repeats what was read

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(view, 1));  // Beta
        QCOMPARE(pfl.state(), audio::Player::kStateStopped);
        QVERIFY(rig.enabled("PFL"));
        rig.click("btnPlay");
        rig.driver->advanceMs(200);
        QCOMPARE(slider->value(), 0);
        rig.click("btnStop");
        slider->setSliderDown(true);
        slider->setSliderPosition(5000);
        slider->setSliderDown(false);
        rig.driver->advanceMs(200);
        QCOMPARE(slider->value(), 5000);

        const QString bad = m_root.filePath("Zoe - Bruit.mp3");
        QVERIFY(filebytes::write(bad, "pas du son"));
        rig.window->browser().browser().showFolder(m_root.path());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(view, 0));
        rig.click("btnPlay");  // the scripted answer gives up
        QCOMPARE(rig.dialogs.texts(),
                 QStringList{"Aucun fichier chargé.\nCe fichier n'est pas un fichier audio (WAV "
                             "ou MP3) : " +
                             bad});
        QCOMPARE(rig.dialogs.shown[0].buttons, core::MessageButtons::RetryCancel);
        QVERIFY(!rig.ticks->isActive("Timer2"));
        QVERIFY(rig.enabled("PFL"));
        testtracks::write(bad, {5.0, 0.4f});
        rig.dialogs.answers = {core::MessageAnswer::Retry};
        rig.click("btnPlay");
        QCOMPARE(pfl.state(), audio::Player::kStatePlaying);
        QVERIFY(QFile::remove(bad));
    }

    // P1 switched on runs a request at once; the menu runs one whatever the
    // mode (rows taken are not taken again until the folder is listed anew:
    // the request's and the browser's own tests). The stop leaves the request
    // switched off, whether it was on or off, and runs no request on the way.
    void requestFromTheWindow() {
        Rig rig;
        rig.window->show();
        rig.window->browser().browser().showFolder(m_tracks);
        rig.click("P1");
        QVERIFY(rig.window->transport().RequetteAuto());  // the stops below switch it off
        QCOMPARE(rig.window->playlist().count(), 3);
        rig.trigger("mnuRequette");
        QCOMPARE(rig.window->playlist().count(), 3);
        // Every row taken: the operator must choose another folder, and is told so.
        QCOMPARE(rig.find<ui::StatusLineView>("LblEtat")->fullText(),
                 "12:00:00  Requette : plus rien à prendre dans " + m_tracks +
                     ", ses 3 titres sont déjà pris (2 fois)");
        QVERIFY(rig.mirrorsModel());
        for (int stop = 0; stop < 2; ++stop) {
            const int rows = rig.window->playlist().count();
            rig.click("CmdPlay");
            rig.click("CmdStop");
            rig.driver->advanceMs(2600);
            QVERIFY(!rig.window->transport().RequetteAuto());
            QCOMPARE(rig.window->playlist().count(), rows - 1);
        }
    }

    // P1 over a browser that lists nothing says so and takes the catalogue's
    // tracks.
    void requestWithAnEmptyBrowser() {
        Rig rig;
        const QString alpha = m_tracks + "/alpha - Un.WAV";
        QVERIFY(filebytes::write(rig.window->fichierCatalogue(), alpha.toUtf8() + "\r\n"));
        QTemporaryDir empty;
        rig.window->browser().browser().showFolder(empty.path());
        rig.click("P1");
        QCOMPARE(rig.window->playlist().paths(), QStringList{alpha});
        QVERIFY(rig.dialogs.shown.isEmpty());
        QCOMPARE(rig.find<ui::StatusLineView>("LblEtat")->fullText(),
                 QStringLiteral("12:00:00  Requette : aucun titre dans le navigateur"));
    }
};

QTEST_MAIN(MixerBrowserTest)
#include "tst_mixerbrowser.moc"
