// The main window driven through its widgets and menus: the playlist commands,
// the transport buttons, the keys, the settings file and the drops, in virtual
// time on an offline output so that every run is the same. The rules behind
// these commands are tested case by case in the core; here one case of each
// proves the wiring.

#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

#include "AsRunLines.h"
#include "DesignPlaces.h"
#include "FakeDeviceBackend.h"
#include "FileBytes.h"
#include "Gestures.h"
#include "MixerRig.h"
#include "TestTracks.h"
#include "audio/DeviceOutput.h"
#include "audio/TrackLength.h"
#include "core/automix/AsRunLog.h"
#include "ui/shared/BrowserView.h"
#include "ui/shared/LevelMeterWidget.h"
#include "ui/shared/StatusLineView.h"
#include "ui/varonel/MainWindow.h"
#include "ui/varonel/MixerBrowser.h"
#include "ui/varonel/PlaylistView.h"
#include "ui/varonel/TransportKeys.h"

using namespace mixerrig;

class MainWindowTest : public QObject {
    Q_OBJECT

    QString track(const QString& name) const { return m_tracks.filePath(name); }

    // Opens a .pls of these tracks through Ouvrir.
    void openTracks(Rig& rig, const QStringList& names) const {
        QStringList paths;
        for (const QString& name : names) {
            paths.append(track(name));
        }
        const QString path = m_tracks.filePath("open.pls");
        QVERIFY(filebytes::write(path, (paths.join("\r\n") + "\r\n").toUtf8()));
        rig.dialogs.fileNames = {path};
        rig.trigger("MnuOuvrir");
    }

    // Artist and title are read from the full path up to its first hyphen, so
    // the folder of the tracks must have none.
    QTemporaryDir m_tracks{QDir::tempPath() + QStringLiteral("/varonelui_XXXXXX")};
    const QStringList m_names = {"Alpha - Premier.wav", "Beta - Second.wav",
                                 "Gamma - Troisieme.wav"};

private slots:
    void initTestCase() {
        QVERIFY(m_tracks.isValid());
        // 20, 25 and 30 s: 75 s in all, which the total shows as 0h1mn.
        for (int i = 0; i < m_names.size(); ++i) {
            testtracks::write(track(m_names[i]), {20.0 + 5 * i, 0.5f});
        }
    }

    // The screen rules reach the window: 799 pixels are refused before
    // anything else of the load runs; on 800 every control of the design
    // table is there and none overlaps another or leaves the screen (the title
    // and menu bars take the rest); maximised up to 1280 with the controls
    // grown, a fixed size above.
    void screenWidths() {
        Rig narrow(799);
        QVERIFY(!narrow.loaded);
        QCOMPARE(narrow.dialogs.texts(),
                 QStringList{"Le programme ne fonctione pas en dessous de 800x600"});
        QVERIFY(narrow.window->fichierIni().isEmpty());
        Rig smallest(800);
        QVERIFY(smallest.window->windowState() & Qt::WindowMaximized);
        QCOMPARE(designplaces::misplaced(smallest.find<QWidget>("Centre"),
                                         smallest.window->design(), QRect(0, 0, 800, 530)),
                 QStringList());
        Rig grown(1024);
        QCOMPARE(grown.find<QWidget>("PL")->width(), (8280 + 3360) / 15);
        Rig fixed(1600);
        QVERIFY(!(fixed.window->windowState() & Qt::WindowMaximized));
        QCOMPARE(fixed.window->size(), QSize(1100, 830));
        QCOMPARE(fixed.find<QWidget>("Dir1")->width(), 4300 / 15);
        QVERIFY(smallest.dialogs.shown.isEmpty() && fixed.dialogs.shown.isEmpty());
    }

    // Ouvrir fills the rows and their lengths; Delete with nothing selected
    // removes nothing, and the selected row at the key's release only; Sauver
    // writes the rows, Nouvelle empties the list; a cancelled dialog changes
    // nothing. A file command that does not do all it was asked says so,
    // naming the file and the reason: a save into a folder that is gone, a
    // load that keeps the rows it read and tells where it stopped. (A
    // playlist that is no ordinary file is the command line's test: the same
    // reader.)
    void fileCommands() {
        Rig rig;
        QStringList paths = {track(m_names[2]), track(m_names[0]), track(m_names[1])};
        openTracks(rig, {m_names[2], m_names[0], m_names[1]});
        QCOMPARE(rig.dialogs.lastFolder, QDir(rig.folder.path()).absolutePath() + '/');
        QCOMPARE(rig.column(Row::kPathColumn), paths);
        QVERIFY(qAbs(rig.column(Row::kMillisecondsColumn)[0].toInt() - 30000) <= 30);
        QCOMPARE(rig.label("LblTemps"), QStringLiteral("0h1mn"));
        rig.trigger("MnuOuvrir");  // cancelled
        QCOMPARE(rig.column(Row::kPathColumn), paths);

        PlaylistView* pl = rig.pl();
        pl->clearSelection();
        QTest::keyClick(pl, Qt::Key_Delete);
        QCOMPARE(rig.column(Row::kPathColumn), paths);
        pl->setCurrentItem(pl->topLevelItem(1));
        QTest::keyPress(pl, Qt::Key_Delete);
        QCOMPARE(rig.artists().size(), 3);
        QTest::keyRelease(pl, Qt::Key_Delete);
        paths.removeAt(1);
        QCOMPARE(rig.column(Row::kPathColumn), paths);
        QVERIFY(rig.mirrorsModel());

        const QString saved = rig.folder.filePath("saved.pls");
        rig.dialogs.fileNames = {saved, rig.folder.filePath("gone/saved.pls")};
        rig.trigger("MnuSauver");
        QCOMPARE(filebytes::read(saved), (paths.join("\r\n") + "\r\n").toUtf8());
        rig.trigger("MnuSauver");
        QCOMPARE(rig.column(Row::kPathColumn), paths);
        rig.trigger("mnuNouvelle");
        QCOMPARE(rig.pl()->topLevelItemCount(), 0);
        rig.trigger("MnuSauver");  // cancelled: the file stays
        QCOMPARE(filebytes::read(saved).count('\n'), 2);

        const QString absent = track("Absent - Fichier.wav");
        const QString partial = rig.folder.filePath("partial.pls");
        const QStringList lines = {track(m_names[0]), "", absent, track(m_names[2])};
        QVERIFY(filebytes::write(partial, (lines.join("\r\n") + "\r\n").toUtf8()));
        rig.dialogs.fileNames = {partial};
        rig.trigger("MnuOuvrir");
        QCOMPARE(rig.artists(), QStringList{"Alpha"});
        QVERIFY(rig.mirrorsModel());
        const QList<QStringList> told = {
            {"n'a pas été sauvée", "introuvable", "gone/saved.pls"},
            {"1 titre chargé", "ligne 3", "partial.pls", "Fichier introuvable : " + absent}};
        QCOMPARE(rig.dialogs.shown.size(), told.size());
        for (int i = 0; i < told.size(); ++i) {
            QCOMPARE(rig.dialogs.shown[i].icon, core::MessageIcon::Exclamation);
            for (const QString& part : told[i]) {
                QVERIFY2(rig.dialogs.shown[i].text.contains(part),
                         qPrintable(rig.dialogs.shown[i].text));
            }
        }
    }

    // A row dragged within the list goes where it is dropped; dropped below
    // the last row it stays where it was. A browser row dropped below the
    // rows goes at the end, with its length read again (the browser's was
    // stale; one dropped on a row is the acceptance run's); a drop from
    // anywhere else is refused.
    void drops() {
        Rig rig;
        PlaylistView* pl = rig.pl();
        openTracks(rig, {m_names[0], m_names[2]});
        ui::MixerBrowser& browser = rig.window->browser();
        browser.browser().showFolder(m_tracks.path());
        browser.model().setDuration(browser.model().listing(), browser.model().row(1).id, 1);
        auto* view = rig.find<ui::BrowserView>("ListRech");
        view->selectionModel()->select(
            view->model()->index(1, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const QPoint below = rig.rowCentre(2) + QPoint(0, 200);
        const auto dragFirstRow = [&](QPoint at) {
            pl->setCurrentItem(pl->topLevelItem(0));
            pl->armReorderDrag();
            pl->dropFrom(pl, at);
        };
        pl->dropFrom(rig.window.get(), rig.rowCentre(2));
        dragFirstRow(below);
        QCOMPARE(rig.artists(), QStringList({"Alpha", "Gamma"}));
        dragFirstRow(rig.rowCentre(2));
        QCOMPARE(rig.artists(), QStringList({"Gamma", "Alpha"}));
        pl->dropFrom(view, below);
        QCOMPARE(rig.artists(), QStringList({"Gamma", "Alpha", "Beta"}));
        QCOMPARE(pl->topLevelItem(2)->text(Row::kDurationColumn), QStringLiteral("00:25"));
        QVERIFY(rig.mirrorsModel());
    }

    // The other controls and menus reach what they drive: the mix controls
    // the transport, the "?" menu the about box (its launchers are tested
    // with the start-up), the Options menu the track preparation and the
    // options file.
    void controlsAndMenus() {
        Rig rig;
        const core::Transport& transport = rig.window->transport();
        auto* mixage = rig.find<QComboBox>("MixagePourCent");
        mixage->setCurrentText("70");
        QCOMPARE(transport.mixagePourCent(), 70);
        rig.find<QSlider>("PS")->setValue(7);
        QCOMPARE(transport.display().exitPointSeconds, 7);
        QCOMPARE(rig.label("LblPS"), QStringLiteral("7"));
        rig.click("CheckAutoMix");
        QVERIFY(!transport.MixIntelligent());
        QVERIFY(mixage->isHidden());

        rig.trigger("mnuapropos");
        auto* about = rig.window->findChild<QWidget*>("F2");
        QVERIFY(about && about->isVisible());

        rig.trigger("mnuSauterSilences");
        rig.trigger("mnuNormalisation-23");
        QVERIFY(rig.window->preparation().options().skipSilences);
        QCOMPARE(rig.window->preparation().options().targetLufs, std::optional<int>(-23));
        const QByteArray conf = filebytes::read(rig.folder.filePath("Varonel.conf"));
        QVERIFY2(conf.contains("SauterSilences=true") && conf.contains("Normalisation=-23"), conf);
    }

    // Play with an empty playlist is told. Play takes the first row off the
    // list (a row dragged meanwhile still moves) and shows the position and the levels (the test
    // tracks sit at half of full scale). A press beside the handle of TrackBar holds the handle
    // there, the ticks do not move it and nothing is sought until the
    // release; then once, where the hand leaves it. On air the close is refused, silently by the
    // window, with a message by Quitter, and the settings are not written. Chain now takes the next
    // row at the next tick; a track whose file has vanished is skipped without stopping anything:
    // the status line names the file and the reason, with its time, and the as-run log has its
    // line. Stop fades out, the output staying chosen until the fade is over.
    void playChainNowAndStop() {
        Rig rig;
        rig.click("CmdPlay");
        QCOMPARE(rig.dialogs.texts(), QStringList{"Le réservoir est vide"});
        rig.dialogs.shown.clear();
        const QString vanished = track("Delta - Disparu.wav");
        testtracks::write(vanished, {20.0, 0.5f});
        openTracks(rig, {m_names[0], "Delta - Disparu.wav", m_names[2], m_names[1]});
        QVERIFY(QFile::remove(vanished));
        rig.window->resize(1024, 740);
        rig.window->show();
        PlaylistView* pl = rig.pl();
        pl->setCurrentItem(pl->topLevelItem(3));
        pl->armReorderDrag();
        rig.click("CmdPlay");
        pl->dropFrom(pl, rig.rowCentre(2));
        QCOMPARE(rig.artists(), QStringList({"Delta", "Beta", "Gamma"}));
        rig.driver->advanceMs(2500);
        QCOMPARE(rig.label("LblArtiste"), QStringLiteral("Alpha - Premier"));
        QCOMPARE(rig.label("LblPo"), QStringLiteral("00:02"));
        rig.window->refreshLevels();
        const int level = rig.find<ui::LevelMeterWidget>("MMLevelX1")->shownLevel();
        QVERIFY2(level > 12000 && level < 20000, qPrintable(QString::number(level)));
        QCOMPARE(rig.find<ui::LevelMeterWidget>("MMLevelX2")->shownLevel(), level);

        auto* trackBar = rig.find<QSlider>("TrackBar");
        const int middle = trackBar->height() / 2;
        QTest::mousePress(trackBar, Qt::LeftButton, {}, {trackBar->width() * 3 / 4, middle});
        const int pressedAt = trackBar->value();
        QVERIFY2(pressedAt > 12000, qPrintable(QString::number(pressedAt)));
        const audio::FileSource& source = rig.window->chain().sources[0];
        rig.driver->advanceMs(500);
        QCOMPARE(trackBar->value(), pressedAt);
        QVERIFY(source.positionMs() < 3500);  // played on, not sought
        QTest::mouseMove(trackBar, {trackBar->width() / 2, middle});
        QTest::mouseRelease(trackBar, Qt::LeftButton, {}, {trackBar->width() / 2, middle});
        rig.driver->advanceMs(100);
        QVERIFY2(qAbs(source.positionMs() - 10000) < 1000,
                 qPrintable(QString::number(source.positionMs())));

        QVERIFY(!rig.window->close());  // silently: the one message is Quitter's
        rig.trigger("mnuQuitter");
        QCOMPARE(rig.dialogs.texts(),
                 QStringList{"Impossible de quitter\narrêtez le DJ Orval en premier"});
        QVERIFY(!QFile::exists(rig.iniPath()));
        rig.dialogs.shown.clear();

        rig.click("CmdStopImmediat");
        rig.driver->advanceMs(150);
        QCOMPARE(rig.label("LblArtiste"), QStringLiteral("Beta - Second"));
        QCOMPARE(rig.artists(), QStringList{"Gamma"});
        QVERIFY(rig.dialogs.shown.isEmpty());
        const auto* status = rig.find<ui::StatusLineView>("LblEtat");
        QCOMPARE(status->fullText(),
                 QStringLiteral("12:00:03  Piste sautée : Fichier introuvable : ") + vanished);
        QVERIFY2(status->text().endsWith("Disparu.wav"), qPrintable(status->text()));
        rig.window->asRunLog()->flush();
        QCOMPARE(asrunlines::read(rig.folder.path())
                     .filter("\tDelta - Disparu\t" + vanished + "\t0\tsautée : ")
                     .size(),
                 1);

        rig.driver->advanceMs(1000);
        rig.click("CmdStop");
        QVERIFY(!rig.enabled("Output"));
        rig.driver->advanceMs(2600);
        QVERIFY(rig.enabled("Output"));
        QVERIFY(!rig.window->transport().EnDiffusion());
    }

    // What the key table adds to the transport's own keys: auto-repeat
    // ignored, and a tap between two ticks counted at the next tick and at
    // that one only. The Return that confirms a dialog is not the main
    // window's, even when its release goes elsewhere; a key whose release was
    // never seen is forgotten when the window is activated again. (The keypad
    // told apart from the main row and a release matched by its key of the
    // keyboard are tested with the player's keys: the same table; Return
    // reaching the transport is the acceptance run's.)
    void keyTable_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("held");  // the TransportKey seen at the next tick, -1 none
        const int space = int(core::TransportKey::Space);
        QTest::newRow("space tapped") << int(Qt::Key_Space) << false << "tapped" << space;
        QTest::newRow("auto-repeat") << int(Qt::Key_Space) << false << "auto-repeat" << -1;
        QTest::newRow("keypad 0") << int(Qt::Key_0) << true << "held"
                                  << int(core::TransportKey::Numpad0);
        QTest::newRow("return pressed in a dialog")
            << int(Qt::Key_Return) << false << "pressed elsewhere" << -1;
        QTest::newRow("keypad 0 released elsewhere")
            << int(Qt::Key_0) << true << "released elsewhere" << -1;
    }
    void keyTable() {
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(QString, gesture);
        QFETCH(int, held);
        Rig rig;
        QWidget* window = rig.window.get();
        const Qt::KeyboardModifiers modifiers = keypad ? Qt::KeypadModifier : Qt::NoModifier;
        QDialog dialog;
        if (gesture == "pressed elsewhere") {
            activate(&dialog);
            QTest::keyPress(&dialog, Qt::Key(key), modifiers);  // its release is never seen
            dialog.hide();
        } else {
            activate(window);
            gestures::sendKey(window, QEvent::KeyPress, key, modifiers, gesture == "auto-repeat");
        }
        if (gesture == "tapped") {
            gestures::release(window, key, modifiers);
        } else if (gesture == "released elsewhere") {
            activate(&dialog);
        }
        activate(window);
        for (const bool read : {false, true}) {
            for (const int k : {0, 1, 2}) {  // Space, Enter, Numpad0
                QCOMPARE(rig.window->keys().isHeld(core::TransportKey(k)),
                         k == held && !(read && gesture == "tapped"));
            }
            rig.window->keys().tickRead();
        }
    }

    // A choice the device lists lack is told and the file removed (a good
    // file is taken in the acceptance run, which plays on the sinks it
    // names). Each list's choice moves its output; the close writes the
    // choices again. The track cache that an earlier run left in the
    // settings folder is read at the load too: an analysis only a file can
    // know, the audio 2.5 s in.
    void settingsFileAndTrackCache() {
        QTemporaryDir folder;
        const QString path = folder.filePath("Copie - Piste.wav");  // never seen by this process
        QVERIFY(QFile::copy(track(m_names[0]), path));
        const audio::FileStamp stamp = audio::stampOf(path.toStdString());
        // 20 s at 44.1 kHz (882000 frames), the audio starting 2.5 s in.
        const QString cache =
            QStringLiteral(
                "# Varonel : pistes mesurées, version 1\n%1\t%2\t%3"
                "\t882000\t44100\t-20.00\t-6.00\t110250\t882000\n")
                .arg(path, QString::number(stamp.size), QString::number(stamp.modifiedNs));
        QVERIFY(filebytes::write(folder.filePath("Pistes.cache"), cache.toUtf8()));
        QVERIFY(filebytes::write(folder.filePath("Varonel.conf"),
                                 "[Son]\nSauterSilences=true\nNormalisation=off\n"));
        FakeDeviceBackend backend(2);
        // Two cards and the default make three entries: entry 3 does not exist.
        Rig rig(1024, std::make_unique<audio::DeviceOutput>(backend), "3,1\r\n", nullptr, nullptr,
                folder.path());
        QCOMPARE(rig.window->preparation().plan(path).cues.startMs, 2500);
        QCOMPARE(rig.dialogs.texts(),
                 QStringList{"Mauvais choix de sortie audio\r\nassignez de nouveau les sorties"});
        QVERIFY(!QFile::exists(rig.iniPath()));
        rig.find<QComboBox>("Output")->setCurrentIndex(1);
        QCOMPARE(rig.window->chain().output->deviceIndex(), 0);
        rig.find<QComboBox>("PFL")->setCurrentIndex(2);
        QCOMPARE(rig.window->preListening().player().deviceIndex(), 1);
        rig.window->show();
        QVERIFY(rig.window->close());
        QCOMPARE(filebytes::read(rig.iniPath()), QByteArray("1,2\r\nFake card 0\tFake card 1\r\n"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
