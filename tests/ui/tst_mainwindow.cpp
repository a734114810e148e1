// The main window driven through its widgets and menus: the playlist commands,
// the transport buttons, the keys, the settings file and the drops, in virtual
// time on an offline output so that every run is the same. The rules behind
// these commands are tested case by case in the core; here one case of each
// proves the wiring.

#include <sys/stat.h>

#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

#include "FakeDeviceBackend.h"
#include "FileBytes.h"
#include "KeyEvents.h"
#include "MixerRig.h"
#include "ScriptedDialogs.h"
#include "TestTracks.h"
#include "audio/DeviceOutput.h"
#include "audio/OfflineOutput.h"
#include "audio/TrackLength.h"
#include "core/automix/AsRunLog.h"
#include "core/render/VirtualDriver.h"
#include "ui/shared/BrowserView.h"
#include "ui/shared/LevelMeterWidget.h"
#include "ui/shared/StatusLineView.h"
#include "ui/varonel/MainWindow.h"
#include "ui/varonel/MixerBrowser.h"
#include "ui/varonel/PlaylistView.h"
#include "ui/varonel/TransportKeys.h"
#include "ui/varonel/VaronelStartup.h"

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

    // 800 wide is enough; 799 is refused before anything else of the load runs.
    void loadSequence() {
        Rig narrow(799);
        QVERIFY(!narrow.loaded);
        QCOMPARE(narrow.dialogs.texts(),
                 QStringList{"Le programme ne fonctione pas en dessous de 800x600"});
        QCOMPARE(narrow.dialogs.shown[0].icon, core::MessageIcon::None);
        QVERIFY(narrow.window->fichierIni().isEmpty());

        Rig rig(800);
        QVERIFY(rig.loaded);
        QVERIFY(rig.dialogs.shown.isEmpty());
        // Every control of the design table exists, and those placed side by side
        // on the window neither overlap nor leave an 800 by 600 screen (its title
        // bar and the menu bar take the rest).
        QWidget* centre = rig.find<QWidget>("Centre");
        QCOMPARE(rig.window->design().applyTo(centre), QStringList());
        QList<QPair<QString, QRect>> placed;
        for (const ui::DesignEntry& entry : rig.window->design().entries()) {
            const QWidget* widget = rig.find<QWidget>(QLatin1String(entry.name));
            if (widget->parentWidget() == centre) {
                placed.append({QLatin1String(entry.name), widget->geometry()});
            } else {  // inside a panel
                QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), entry.name);
            }
        }
        for (int i = 0; i < placed.size(); ++i) {
            QVERIFY2(QRect(0, 0, 800, 530).contains(placed[i].second), qPrintable(placed[i].first));
            for (int j = i + 1; j < placed.size(); ++j) {
                QVERIFY2(!placed[i].second.intersects(placed[j].second),
                         qPrintable(placed[i].first + " / " + placed[j].first));
            }
        }
        QCOMPARE(rig.window->fichierIni(), rig.iniPath());
        // Names, tooltips and captions in one table: a renamed control fails here.
        const char* const controls[][3] = {
            {"CmdPlay", "toolTip", " démarrage de la diffusion "},
            {"CmdStop", "toolTip", " Arrêt de la diffusion "},
            {"CmdStopImmediat", "toolTip", " Enchainement "},
            {"LblTemps", "toolTip", " Temps total de la playlist "},
            {"PS", "toolTip", " Point de sortie "},
            {"Output", "toolTip", " Choix de la sortie principale "},
            {"PFL", "toolTip", " Choix de la PFL "},
            {"P1", "toolTip", " Active le mode requette automatique "},
            {"CheckAutoMix", "text", " Mix intelligent "},
            {"mnuNouvelle", "text", "Nouvelle"},
            {"MnuOuvrir", "text", "Ouvrir"},
            {"MnuSauver", "text", "Sauver"},
            {"mnuRequette", "text", "Requette"},
            {"mnuQuitter", "text", "Quitter"}};
        for (const auto& control : controls) {
            const QObject* object = rig.find<QObject>(QString::fromLatin1(control[0]));
            QVERIFY2(object, control[0]);
            QCOMPARE(object->property(control[1]).toString(), QString::fromUtf8(control[2]));
        }

        // Smart mix ticked at the end of the load: exit point 2 s, threshold 50 %.
        const core::Transport& transport = rig.window->transport();
        auto* mixage = rig.find<QComboBox>("MixagePourCent");
        QCOMPARE(mixage->currentText(), QStringLiteral("50"));
        QCOMPARE(transport.mixagePourCent(), 50);
        QVERIFY(rig.find<QCheckBox>("CheckAutoMix")->isChecked());
        QVERIFY(transport.MixIntelligent());
        QCOMPARE(rig.find<QSlider>("PS")->value(), 2);
        QCOMPARE(rig.label("LblPS"), QStringLiteral("2"));
        // The controls reach the transport.
        mixage->setCurrentText("70");
        QCOMPARE(transport.mixagePourCent(), 70);
        rig.find<QSlider>("PS")->setValue(7);
        QCOMPARE(transport.display().exitPointSeconds, 7);
        rig.click("CheckAutoMix");
        QVERIFY(!transport.MixIntelligent());
        QVERIFY(mixage->isHidden());
    }

    // The screen rules over the design table at 1024 and above 1280, the
    // panels' shading at activation, and the "?" menu.
    void screenPaintingAndHelpMenu() {
        {
            Rig rig(1024);
            QVERIFY(rig.loaded);
            QVERIFY(rig.window->windowState() & Qt::WindowMaximized);
            QCOMPARE(rig.find<QWidget>("PL")->width(), (8280 + 3360) / 15);
            QCOMPARE(rig.find<QWidget>("btnPlay")->y(), (7350 + 2500) / 15);
        }
        Rig rig(1600);
        QVERIFY(!(rig.window->windowState() & Qt::WindowMaximized));
        QCOMPARE(rig.window->size(), QSize(1100, 830));
        QCOMPARE(rig.find<QWidget>("Dir1")->width(), 4300 / 15);
        QCOMPARE(rig.find<QWidget>("ListRech")->x(), 4500 / 15);

        rig.window->show();
        rig.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        auto* panel = rig.find<QWidget>("Picture1");
        const QImage shading = panel->property("persistentBackground").value<QImage>();
        QVERIFY(!shading.isNull());
        // 256 strips on fewer pixel rows: within a strip or two of 254 and 49.
        QVERIFY(qAbs(qRed(shading.pixel(10, 0)) - 254) <= 2);
        QVERIFY(qAbs(qRed(shading.pixel(10, shading.height() - 1)) - 49) <= 2);
        QCOMPARE(qRed(shading.pixel(10, 0)), qBlue(shading.pixel(10, 0)));
        QCOMPARE(rig.find<QWidget>("LblArtiste")->property("shade").toString(), "light");

        const QList<QAction*> help = rig.find<QMenu>("mnuinterog")->actions();
        QCOMPARE(help.size(), 3);
        QCOMPARE(help[0]->objectName(), QStringLiteral("mnuapropos"));
        QVERIFY(help[1]->isSeparator());
        QCOMPARE(help[2]->text(), QStringLiteral("Création des raccourcis"));
        rig.trigger("mnulinks");
        QVERIFY(QFile::exists(rig.folder.filePath("Bureau/Varonel 2.5.desktop")));
        rig.trigger("mnuapropos");
        auto* about = rig.window->findChild<QWidget*>("F2");
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->findChild<QLabel*>("LblRev")->text(),
                 QStringLiteral("Révision du 29 Juin 2011"));
    }

    void playlistMenus() {
        Rig rig;
        const QStringList paths = {track(m_names[2]), track(m_names[0]), track(m_names[1])};
        openTracks(rig, {m_names[2], m_names[0], m_names[1]});
        QCOMPARE(rig.dialogs.lastFolder, QDir(rig.folder.path()).absolutePath() + '/');
        QCOMPARE(rig.column(Row::kPathColumn), paths);
        // The lengths that the total counts: within 30 ms of the truth.
        const QStringList ms = rig.column(Row::kMillisecondsColumn);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(qAbs(ms[i].toDouble() - QList{30000, 20000, 25000}[i]) <= 30);
        }
        QVERIFY(rig.mirrorsModel());
        QCOMPARE(rig.label("LblTemps"), QStringLiteral("0h1mn"));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        rig.trigger("MnuOuvrir");  // cancelled: the rows stay
        QCOMPARE(rig.column(Row::kPathColumn), paths);

        const QString saved = rig.folder.filePath("saved.pls");
        rig.dialogs.fileNames = {saved};
        rig.trigger("MnuSauver");
        QCOMPARE(filebytes::read(saved), (paths.join("\r\n") + "\r\n").toUtf8());
        rig.trigger("mnuNouvelle");
        QCOMPARE(rig.pl()->topLevelItemCount(), 0);
        QVERIFY(rig.window->playlist().isEmpty());
        rig.trigger("MnuSauver");  // cancelled: the file stays
        QCOMPARE(filebytes::read(saved).count('\n'), 3);
        rig.dialogs.fileNames = {saved};
        rig.trigger("MnuOuvrir");
        QCOMPARE(rig.column(Row::kPathColumn), paths);
        QVERIFY(rig.dialogs.shown.isEmpty());

        // A FIFO chosen as a playlist is refused at once (it used to freeze the
        // window), the rows as they were.
        const QString fifo = rig.folder.filePath("fifo.pls");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        rig.dialogs.fileNames = {fifo};
        rig.trigger("MnuOuvrir");
        QCOMPARE(rig.column(Row::kPathColumn), paths);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QVERIFY(rig.dialogs.shown[0].text.contains("Ce n'est pas un fichier ordinaire"));
    }

    // A file command that does not do all it was asked says so, naming the
    // file and the reason: a partial load keeps its rows (the total counts
    // them) and tells where it stopped; a failed save or an unreadable
    // playlist leaves the playlist as it was.
    void fileCommandFailuresAreTold_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");       // in the program folder
        QTest::addColumn<QStringList>("lines");  // written as the file, when not empty
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QStringList>("artists");
        QTest::newRow("Ouvrir stops at a missing track")
            << "MnuOuvrir"
            << "partial.pls"
            << QStringList{track(m_names[0]), "", track("Absent - Fichier.wav"), track(m_names[2])}
            << QStringList{"1 titre chargé", "ligne 3", "partial.pls",
                           "Fichier introuvable : " + track("Absent - Fichier.wav")}
            << QStringList{"Alpha"};
        QTest::newRow("Ouvrir of a playlist that is gone")
            << "MnuOuvrir"
            << "gone.pls" << QStringList()
            << QStringList{"n'a pas pu être ouverte", "introuvable", "gone.pls"}
            << QStringList{"Beta"};
        QTest::newRow("Sauver into a folder that is gone")
            << "MnuSauver"
            << "gone/saved.pls" << QStringList()
            << QStringList{"n'a pas été sauvée", "introuvable", "gone/saved.pls"}
            << QStringList{"Beta"};
    }

    void fileCommandFailuresAreTold() {
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, told);
        QFETCH(QStringList, artists);
        Rig rig;
        openTracks(rig, {m_names[1]});
        const QString path = rig.folder.filePath(file);
        if (!lines.isEmpty()) {
            QVERIFY(filebytes::write(path, (lines.join("\r\n") + "\r\n").toUtf8()));
        }
        rig.dialogs.fileNames = {path};
        rig.trigger(command);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.shown[0].icon, core::MessageIcon::Exclamation);
        for (const QString& part : told) {
            QVERIFY2(rig.dialogs.shown[0].text.contains(part),
                     qPrintable(rig.dialogs.shown[0].text));
        }
        QCOMPARE(rig.artists(), artists);
        QVERIFY(rig.mirrorsModel());
    }

    // The Options menu shows what the options file holds, hands each choice to
    // the track preparation and keeps it in the file; the track cache that an
    // earlier run left in the settings folder is read at the load.
    void soundOptionsAndTheTrackCache() {
        QTemporaryDir folder;
        const QString path = folder.filePath("Copie - Piste.wav");  // never seen by this process
        QVERIFY(QFile::copy(track(m_names[0]), path));
        const audio::FileStamp stamp = audio::stampOf(path.toStdString());
        Rig rig;
        QCOMPARE(rig.find<QAction>("mnuSauterSilences")->isChecked(), false);
        QVERIFY(rig.find<QAction>("mnuNormalisationoff")->isChecked());
        rig.trigger("mnuSauterSilences");
        rig.trigger("mnuNormalisation-23");
        QVERIFY(rig.window->preparation().options().skipSilences);
        QCOMPARE(rig.window->preparation().options().targetLufs, std::optional<int>(-23));
        const QByteArray conf = filebytes::read(rig.folder.filePath("Varonel.conf"));
        QVERIFY2(conf.contains("SauterSilences=true") && conf.contains("Normalisation=-23"), conf);

        // An analysis only a file can know: the audio starting 2.5 s in.
        const QString cache = QString(
                                  "# Varonel : pistes mesurées, version 1\n%1\t%2\t%3\t%4\t44100"
                                  "\t-20.00\t-6.00\t110250\t%4\n")
                                  .arg(path)
                                  .arg(stamp.size)
                                  .arg(stamp.modifiedNs)
                                  .arg(20 * 44100);
        QVERIFY(filebytes::write(folder.filePath("Pistes.cache"), cache.toUtf8()));
        QVERIFY(filebytes::write(folder.filePath("Varonel.conf"), conf));
        MainWindow::LoadOptions options;
        options.cheminAppli = folder.path();
        options.screenWidth = 1024;
        options.desktopFolder = folder.filePath("Bureau");
        QVERIFY(rig.window->Form_Load(options));
        QCOMPARE(rig.window->preparation().plan(path).cues.startMs, 2500);
    }

    // On air, a track whose file has vanished is skipped without stopping
    // anything: the status line names the file and the reason, with its time,
    // and the as-run log in the program folder has a line for every track,
    // the skipped one included.
    void skippedTrackIsToldAndLogged() {
        Rig rig;
        const QString vanished = track("Delta - Disparu.wav");
        testtracks::write(vanished, {20.0, 0.5f});
        openTracks(rig, {m_names[0], "Delta - Disparu.wav", m_names[2]});
        QVERIFY(QFile::remove(vanished));
        rig.window->resize(1024, 740);
        rig.window->show();
        rig.click("CmdPlay");
        rig.driver->advanceMs(2000);
        rig.click("CmdStopImmediat");
        rig.driver->advanceMs(150);
        QCOMPARE(rig.label("LblArtiste"), QStringLiteral("Gamma - Troisieme"));
        QVERIFY(rig.window->transport().EnDiffusion());
        QVERIFY(rig.dialogs.shown.isEmpty());
        const auto* status = rig.find<ui::StatusLineView>("LblEtat");
        QCOMPARE(status->fullText(),
                 QStringLiteral("12:00:02  Piste sautée : Fichier introuvable : ") + vanished);
        QVERIFY(status->isVisible());
        QVERIFY2(status->text().endsWith("Disparu.wav"), qPrintable(status->text()));

        rig.driver->advanceMs(2000);
        rig.click("CmdStop");
        QVERIFY(
            rig.driver->advanceUntil([&] { return !rig.window->transport().stopping(); }, 3000));
        rig.window->asRunLog()->flush();
        const QStringList logs =
            QDir(rig.folder.path()).entryList({"Diffusion-*.txt"}, QDir::Files);
        QCOMPARE(logs.size(), 1);
        QStringList lines = QString::fromUtf8(filebytes::read(rig.folder.filePath(logs[0])))
                                .split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        for (QString& line : lines) {
            line = line.section('\t', 1);  // the date and time are today's
        }
        QVERIFY(lines.contains("Delta - Disparu\t" + vanished +
                               "\t0\tsautée : " + "Fichier introuvable : " + vanished));
        QVERIFY(lines.filter(QRegularExpression("^Alpha - Premier\t.*\tenchaînement$")).size() ==
                1);
        QVERIFY(lines.filter(QRegularExpression("^Gamma - Troisieme\t.*\tarrêt$")).size() == 1);
    }

    // Start (first with nothing to play), the level meters, the refused close,
    // chain now and stop, through the buttons and menus. The window on air goes
    // to $VARONEL_UI_GRAB as a picture when that is set.
    void transportButtons() {
        Rig rig;
        rig.click("CmdPlay");
        QCOMPARE(rig.dialogs.texts(), QStringList{"Le réservoir est vide"});
        rig.dialogs.shown.clear();

        openTracks(rig, m_names);
        rig.window->show();
        const core::Transport& transport = rig.window->transport();
        auto* play = rig.find<QPushButton>("CmdPlay");
        const QImage idlePicture = play->icon().pixmap(44).toImage();
        rig.click("CmdPlay");
        QCOMPARE(rig.label("LblArtiste"), QStringLiteral("Alpha - Premier"));
        QCOMPARE(rig.artists(), QStringList({"Beta", "Gamma"}));
        QVERIFY(!rig.enabled("Output"));
        QVERIFY(play->icon().pixmap(44).toImage() != idlePicture);
        QVERIFY(rig.timer1());
        rig.driver->advanceMs(2500);
        QCOMPARE(rig.label("LblPo"), QStringLiteral("00:02"));
        rig.window->refreshLevels();
        // The test tracks sit at half of full scale.
        const int level = rig.find<ui::LevelMeterWidget>("MMLevelX1")->shownLevel();
        QVERIFY2(level > 12000 && level < 20000, qPrintable(QString::number(level)));
        QCOMPARE(rig.find<ui::LevelMeterWidget>("MMLevelX2")->shownLevel(), level);

        const QPixmap picture = rig.window->grab();
        if (const QByteArray target = qgetenv("VARONEL_UI_GRAB"); !target.isEmpty()) {
            QVERIFY(picture.save(QString::fromLocal8Bit(target)));
        }

        // Closing on air is refused: silently by the window, with a message by Quitter.
        QVERIFY(!rig.window->close());
        QVERIFY(rig.dialogs.shown.isEmpty());
        rig.trigger("mnuQuitter");
        QCOMPARE(rig.dialogs.texts(),
                 QStringList{"Impossible de quitter\narrêtez le DJ Orval en premier"});
        QCOMPARE(rig.dialogs.shown[0].icon, core::MessageIcon::Information);
        QVERIFY(rig.window->isVisible());
        QVERIFY(!QFile::exists(rig.iniPath()));

        // Chain now: the next tick takes Beta; Timer1 rests during the fade out.
        rig.click("CmdStopImmediat");
        rig.driver->advanceMs(150);
        QCOMPARE(rig.label("LblArtiste"), QStringLiteral("Beta - Second"));
        QCOMPARE(rig.artists(), QStringList{"Gamma"});
        QVERIFY(!rig.timer1());
        QVERIFY(rig.driver->advanceUntil([&] { return !transport.inTransition(); }, 5000));
        QVERIFY(rig.timer1());

        // Stop fades out; the output stays chosen until the fade is over.
        rig.click("CmdStop");
        QVERIFY(transport.stopping());
        QVERIFY(!rig.enabled("Output"));
        rig.driver->advanceMs(2600);
        QVERIFY(rig.enabled("Output"));
        QCOMPARE(play->icon().pixmap(44).toImage(), idlePicture);
        QVERIFY(rig.window->close());
    }

    // A press beside the handle of TrackBar holds the handle there: nothing
    // is sought until the release, and then once, where the hand leaves it.
    void positionSliderSeeksAtTheRelease() {
        Rig rig;
        openTracks(rig, m_names);
        rig.click("CmdPlay");
        rig.driver->advanceMs(1000);
        auto* trackBar = rig.find<QSlider>("TrackBar");
        const int middle = trackBar->height() / 2;
        QTest::mousePress(trackBar, Qt::LeftButton, {}, {trackBar->width() * 3 / 4, middle});
        QVERIFY(rig.window->transport().GlissementEnCours());
        const audio::FileSource& onAir = rig.window->chain().sources[0];
        rig.driver->advanceMs(500);
        QVERIFY(onAir.positionMs() < 2000);  // played on, not sought
        QTest::mouseMove(trackBar, {trackBar->width() / 2, middle});
        QTest::mouseRelease(trackBar, Qt::LeftButton, {}, {trackBar->width() / 2, middle});
        rig.driver->advanceMs(100);
        QVERIFY2(qAbs(onAir.positionMs() - 10000) < 1000,
                 qPrintable(QString::number(onAir.positionMs())));
    }

    // Keys are read as held at the ticks. A tap between two ticks counts once:
    // Space starts, and the next tick does not stop again.
    void quickTapCountsOnce() {
        Rig rig;
        openTracks(rig, m_names);
        activate(rig.window.get());
        keyevents::tap(rig.window.get(), Qt::Key_Space);  // pressed and released before the tick
        rig.driver->advanceMs(100);
        QCOMPARE(rig.label("LblArtiste"), QStringLiteral("Alpha - Premier"));
        rig.driver->advanceMs(3000);  // past Space's 2 s: an uncleared tap would stop now
        QVERIFY(rig.window->transport().EnDiffusion());
    }

    // The Return that confirms a dialog is not the main window's, even when its
    // release goes elsewhere; a key whose release was never seen is forgotten
    // when the window is activated again.
    void keyPressedInAnotherWindowIsNotTaken() {
        Rig rig;
        openTracks(rig, m_names);
        QDialog dialog;
        dialog.setObjectName("Ouvrir");
        activate(&dialog);
        QTest::keyPress(&dialog, Qt::Key_Return);  // its release is never seen
        dialog.hide();
        activate(rig.window.get());
        rig.driver->advanceMs(500);
        QVERIFY(!rig.window->transport().EnDiffusion());

        keyevents::press(rig.window.get(), Qt::Key_0, Qt::KeypadModifier);  // released elsewhere
        activate(&dialog);
        activate(rig.window.get());
        QVERIFY(!rig.window->keys().isHeld(core::TransportKey::Numpad0));
    }

    // What the key table adds to the transport's own keys: the keypad told
    // apart from the main row, auto-repeat ignored, and a release matched to
    // its press by the key of the keyboard, whatever NumLock or Shift made of
    // its symbol meanwhile (90 is the scan code of the keypad's 0 under X11).
    void keyTable_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<int>("releasedAs");  // the key its release reads as, -1 not released
        QTest::addColumn<int>("scanCode");
        QTest::addColumn<int>("held");  // the TransportKey held at the next tick but one, -1 none
        using core::TransportKey;
        const int none = -1;
        QTest::newRow("space") << int(Qt::Key_Space) << false << false << none << 0
                               << int(TransportKey::Space);
        QTest::newRow("enter") << int(Qt::Key_Enter) << true << false << none << 0
                               << int(TransportKey::Enter);
        QTest::newRow("auto-repeat") << int(Qt::Key_Space) << false << true << none << 0 << none;
        QTest::newRow("keypad 0") << int(Qt::Key_0) << true << false << none << 0
                                  << int(TransportKey::Numpad0);
        QTest::newRow("main 0") << int(Qt::Key_0) << false << false << none << 0 << none;
        QTest::newRow("keypad 0 up as Insert")
            << int(Qt::Key_0) << true << false << int(Qt::Key_Insert) << 90 << none;
        QTest::newRow("keypad 0 up as Insert, no scan code")
            << int(Qt::Key_0) << true << false << int(Qt::Key_Insert) << 0 << none;
    }

    void keyTable() {
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(bool, autoRepeat);
        QFETCH(int, releasedAs);
        QFETCH(int, scanCode);
        QFETCH(int, held);
        Rig rig;
        activate(rig.window.get());
        const Qt::KeyboardModifiers modifiers = keypad ? Qt::KeypadModifier : Qt::NoModifier;
        keyevents::send(rig.window.get(), QEvent::KeyPress, key, modifiers, scanCode, autoRepeat);
        if (releasedAs >= 0) {
            keyevents::release(rig.window.get(), releasedAs, modifiers, scanCode);
        }
        rig.window->keys().tickRead();   // a tap counts at one tick only
        for (const int k : {0, 1, 2}) {  // Space, Enter, Numpad0
            QCOMPARE(rig.window->keys().isHeld(core::TransportKey(k)), k == held);
        }
    }

    // A good settings file is taken; a choice the device lists lack is told and
    // the file removed. The close writes the choice again.
    void settingsFile_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("pfl");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("2,1") << QByteArray("2,1\r\n") << 2 << 1 << QStringList();
        // Two cards and the default make three entries: entry 3 does not exist.
        QTest::newRow("3,1 too few devices")
            << QByteArray("3,1\r\n") << 0 << 0
            << QStringList{"Mauvais choix de sortie audio\r\nassignez de nouveau les sorties"};
        // The devices' names win over positions that the system's order changed.
        QTest::newRow("names") << QByteArray("1,2\r\nFake card 1\tFake card 0\r\n") << 2 << 1
                               << QStringList();
    }

    // On a device in real time, with the window's own timers: jingles shorter
    // than the fade, two in a row, each followed by the next as it ends.
    void shortItemsFollowEachOtherOnAir() {
        FakeDeviceBackend backend(1);
        std::atomic<int64_t> silentRun{0};
        std::atomic<int64_t> longestSilence{0};
        std::atomic<bool> heard{false};
        backend.setRecorder([&](const std::string&, const float* block, int frames) {
            for (int i = 0; i < frames; ++i) {
                const bool silent = std::abs(block[2 * i]) < 0.01f;
                heard = heard || !silent;
                silentRun = heard && silent ? silentRun + 1 : 0;
                longestSilence = std::max(longestSilence.load(), silentRun.load());
            }
        });
        Rig rig(1024, std::make_unique<audio::DeviceOutput>(backend));
        const QStringList names = {"Debut - Chanson.wav", "Jingle - Court.wav",
                                   "Jingle - Moyen.wav", "Fin - Chanson.wav"};
        const double seconds[] = {3.0, 0.4, 1.0, 2.5};
        for (int i = 0; i < names.size(); ++i) {
            testtracks::write(track(names[i]), {seconds[i], 0.5f});
        }
        openTracks(rig, names);
        QStringList started;
        connect(&rig.window->transport(), &core::Transport::trackStarted,
                [&](const QString& label) { started.append(label); });
        bool stopped = false;
        connect(&rig.window->transport(), &core::Transport::stopBegun, [&] {
            stopped = true;
            backend.setRecorder({});
        });
        rig.click("CmdPlay");
        QTRY_VERIFY_WITH_TIMEOUT(stopped, 15000);
        QCOMPARE(started, QStringList({"Debut - Chanson", "Jingle - Court", "Jingle - Moyen",
                                       "Fin - Chanson"}));
        // One device buffer and one poll of the window at most.
        QVERIFY2(longestSilence * 1000 / 44100 <= 50, qPrintable(QString::number(longestSilence)));
    }

    void settingsFile() {
        QFETCH(QByteArray, ini);
        QFETCH(int, output);
        QFETCH(int, pfl);
        QFETCH(QStringList, messages);
        FakeDeviceBackend backend(2);
        Rig rig(1024, std::make_unique<audio::DeviceOutput>(backend), ini);
        auto* outputList = rig.find<QComboBox>("Output");
        QCOMPARE(outputList->currentIndex(), output);
        QCOMPARE(rig.find<QComboBox>("PFL")->currentIndex(), pfl);
        QCOMPARE(rig.window->chain().output->deviceIndex(), output - 1);
        QCOMPARE(rig.dialogs.texts(), messages);
        for (const core::Message& message : rig.dialogs.shown) {
            QCOMPARE(message.title, QStringLiteral("Alerte"));
            QCOMPARE(message.icon, core::MessageIcon::Exclamation);
        }
        QCOMPARE(QFile::exists(rig.iniPath()), messages.isEmpty());

        outputList->setCurrentIndex(1);
        QCOMPARE(rig.window->chain().output->deviceIndex(), 0);
        rig.find<QComboBox>("PFL")->setCurrentIndex(2);
        rig.window->show();
        QVERIFY(rig.window->close());
        QCOMPARE(filebytes::read(rig.iniPath()), QByteArray("1,2\r\nFake card 0\tFake card 1\r\n"));
    }

    // On air on "Carte", pre-listening on "Casque". The card is unplugged while
    // the system's default moves to the headphones: the programme must not go
    // there, so it waits, silent, its position held, and the list and the
    // on-air panel say so at once. Once the card is back the programme goes on
    // on it by itself.
    void lostOutputIsShownAndComesBack() {
        FakeDeviceBackend backend(0);
        backend.setDevices({"Carte", "Casque"});
        backend.setDefault("Carte");
        std::atomic<bool> programmeOnHeadphones{false};
        backend.setRecorder([&](const std::string& device, const float* block, int frames) {
            if (device == "Casque" &&
                std::any_of(block, block + frames * 2, [](float s) { return s != 0.0f; })) {
                programmeOnHeadphones = true;
            }
        });
        ui::MixerOutputs outputs = ui::mixerOutputs(backend);
        Rig rig(1024, std::move(outputs.main), "1,2\r\nCarte\tCasque\r\n",
                std::move(outputs.wavePfl));
        auto* output = rig.find<QComboBox>("Output");
        auto* onAir = rig.find<QLabel>("LblSortiePerdue");
        // Both devices are open from the load: the start is heard at once.
        QCOMPARE(backend.opened(), (std::vector<std::string>{"Carte", "Casque"}));
        openTracks(rig, {m_names[0]});
        rig.click("CmdPlay");
        const audio::FileSource& source = rig.window->chain().sources[0];
        QVERIFY(QTest::qWaitFor([&] { return source.positionMs() > 200; }, 3000));
        QVERIFY(onAir->isHidden());

        backend.setDefault("Casque");
        backend.unplug("Carte");
        QVERIFY(QTest::qWaitFor([&] { return !onAir->isHidden(); }, 2000));
        QCOMPARE(onAir->text(), QStringLiteral("Sortie perdue\nen attente de son retour"));
        QCOMPARE(output->currentText(), QStringLiteral("Carte (perdue)"));
        QCOMPARE(rig.label("LblSortie"), QStringLiteral("Sortie principale : sortie perdue"));
        const int32_t held = source.positionMs();
        QTest::qWait(300);
        QCOMPARE(source.positionMs(), held);

        backend.plug("Carte");
        QVERIFY(QTest::qWaitFor([&] { return onAir->isHidden(); }, 3000));
        QCOMPARE(output->currentText(), QStringLiteral("Carte"));
        QCOMPARE(rig.label("LblSortie"), QStringLiteral("Sortie principale"));
        QCOMPARE(backend.opened().back(), std::string("Carte"));
        QVERIFY(QTest::qWaitFor([&] { return source.positionMs() > held + 200; }, 2000));
        QVERIFY(rig.window->transport().EnDiffusion());
        backend.setRecorder({});
        QVERIFY(!programmeOnHeadphones);
    }

    // Delete, a reorder drop and a browser drop, each once through the window.
    void playlistGestures() {
        Rig rig;
        rig.window->resize(1024, 600);
        openTracks(rig, m_names);
        PlaylistView* pl = rig.pl();
        pl->setCurrentItem(pl->topLevelItem(1));
        QTest::keyPress(pl, Qt::Key_Delete);  // acted on at the release only
        QCOMPARE(rig.artists().size(), 3);
        QTest::keyRelease(pl, Qt::Key_Delete);
        QCOMPARE(rig.artists(), QStringList({"Alpha", "Gamma"}));

        pl->setCurrentItem(pl->topLevelItem(0));
        pl->armReorderDrag();
        pl->dropFrom(pl, rig.rowCentre(2));
        QCOMPARE(rig.artists(), QStringList({"Gamma", "Alpha"}));
        QVERIFY(rig.mirrorsModel());

        // A browser row whose duration text is stale: it is read again.
        rig.window->browser().browser().showFolder(m_tracks.path());
        auto* browser = rig.find<ui::BrowserView>("ListRech");
        rig.window->browser().model().setDuration(rig.window->browser().model().listing(),
                                                  rig.window->browser().model().row(1).id, 1);
        browser->selectionModel()->select(
            browser->model()->index(1, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        pl->dropFrom(rig.window.get(), rig.rowCentre(2));  // not from the browser: refused
        QCOMPARE(rig.artists().size(), 2);
        pl->dropFrom(browser, rig.rowCentre(2));
        QCOMPARE(rig.artists(), QStringList({"Gamma", "Beta", "Alpha"}));
        QCOMPARE(pl->topLevelItem(1)->text(Row::kDurationColumn), QStringLiteral("00:25"));
        QVERIFY(qAbs(pl->topLevelItem(1)->text(Row::kMillisecondsColumn).toInt() - 25000) <= 30);
        QVERIFY(rig.mirrorsModel());

        // Alpha is dragged while the start takes Gamma off the top: Alpha still moves.
        pl->setCurrentItem(pl->topLevelItem(2));
        pl->armReorderDrag();
        rig.click("CmdPlay");
        QCOMPARE(pl->armedRow(), 2);
        pl->dropFrom(pl, rig.rowCentre(1));
        QCOMPARE(rig.artists(), QStringList({"Alpha", "Beta"}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
