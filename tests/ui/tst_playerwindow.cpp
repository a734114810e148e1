// The two-deck player's window offscreen: its controls and their places, the
// toolbar buttons, a track picked up in the browser and dropped on a deck, the
// settings file, the close refused while a deck plays, the joystick through
// SDL's virtual joysticks (the real event path), and the start-up.

#include <SDL.h>

#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

#include "BrowserView.h"
#include "DeckMeter.h"
#include "DeviceOutput.h"
#include "DropTarget.h"
#include "FakeDeviceBackend.h"
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "OfflineOutput.h"
#include "PlayerStartup.h"
#include "PlayerWindow.h"
#include "ScriptedDialogs.h"
#include "SdlJoystick.h"
#include "SystemFolder.h"
#include "TestTracks.h"
#include "TrackBrowser.h"

using namespace varonel;
using varonel::ui::PlayerWindow;

namespace {

// A player window loaded in a temporary program folder, its decks on offline
// outputs unless a backend is given (the program's own decks then play on it).
// `ini`, when set, is the settings file.
struct PlayerRig {
    explicit PlayerRig(FakeDeviceBackend* backend = nullptr, const QByteArray& ini = {},
                       int screenWidth = 800) {
        if (!ini.isNull() && !filebytes::write(folder.filePath("PlayerAB.Ini"), ini)) {
            qFatal("cannot write the settings file");
        }
        PlayerWindow::DeckPlayers decks;
        if (backend) {
            decks = PlayerWindow::deckPlayers(*backend);
        } else {
            for (auto& deck : decks) {
                deck = std::make_unique<audio::Player>(std::make_unique<audio::OfflineOutput>());
            }
        }
        window = std::make_unique<PlayerWindow>(std::make_unique<core::VirtualClock>(), dialogs,
                                                std::move(decks[0]), std::move(decks[1]));
        PlayerWindow::LoadOptions options;
        options.cheminAppli = folder.path();
        options.screenWidth = screenWidth;
        loaded = window->Form_Load(options);
    }
    template <typename T>
    T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    void press(int deck, const char* button) const {
        auto* bar = find<QToolBar>(QStringLiteral("bar1%1").arg(deck));
        auto* action = bar->findChild<QAction*>(QLatin1String(button));
        qobject_cast<QAbstractButton*>(bar->widgetForAction(action))->click();
    }
    QString text(const QString& name) const { return find<QLabel>(name)->text(); }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<PlayerWindow> window;
    bool loaded = false;
};

}  // namespace

class PlayerWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_tracks{QDir::tempPath() + QStringLiteral("/varonelplayer_XXXXXX")};

    // Picks a browser row up with a real press and drag, as the operator does.
    static void pickUp(PlayerRig& rig, int row) {
        auto* view = rig.find<ui::BrowserView>("ListRech");
        view->doItemsLayout();
        const QPoint from = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), from + QPoint(2, 0));
        QTest::mouseMove(view->viewport(), from + QPoint(QApplication::startDragDistance() * 3, 0));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, from);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_tracks.isValid());
        testtracks::write(m_tracks.filePath("Dupont - Valse.wav"), {30.0, 0.4f});
        testtracks::write(m_tracks.filePath("Intro.wav"), {20.0, 0.4f});
    }

    // Every control of the design table is there, the window's own ones
    // neither overlap nor leave an 800 by 600 screen, and the status bar has
    // its five panels.
    void controlsAndPlaces() {
        PlayerRig rig;
        QVERIFY(rig.loaded);
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("DJ Orval Player"));
        QWidget* centre = rig.find<QWidget>("Centre");
        QCOMPARE(rig.window->design().applyTo(centre), QStringList());
        QList<QPair<QString, QRect>> placed;
        for (const ui::DesignEntry& entry : rig.window->design().entries()) {
            const QWidget* widget = rig.find<QWidget>(QLatin1String(entry.name));
            if (widget->parentWidget() == centre) {
                placed.append({QLatin1String(entry.name), widget->geometry()});
            } else {
                QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), entry.name);
            }
        }
        for (int i = 0; i < placed.size(); ++i) {
            QVERIFY2(QRect(0, 0, 800, 555).contains(placed[i].second), qPrintable(placed[i].first));
            for (int j = i + 1; j < placed.size(); ++j) {
                QVERIFY2(!placed[i].second.intersects(placed[j].second),
                         qPrintable(placed[i].first + " / " + placed[j].first));
            }
        }
        QCOMPARE(rig.find<QStatusBar>("StatusBar1")->findChildren<QLabel*>().size(), 5);
        QCOMPARE(rig.text("CueInfo1"), QStringLiteral("00:00:00"));
    }

    // A track picked up in the browser and dropped on deck B; the toolbar's
    // buttons; the close refused while a deck plays; the settings saved at the
    // close, the choice made in the lists.
    void toolbarDropAndClose() {
        FakeDeviceBackend backend(2);
        PlayerRig rig(&backend);
        rig.window->browser().showFolder(m_tracks.path());
        pickUp(rig, 1);  // "Intro.wav": no "-"
        QCOMPARE(rig.window->decks().MorceauGlisse().value(3), m_tracks.filePath("Intro.wav"));
        auto* target = rig.find<QWidget>("Picture11")->findChild<ui::DropTarget*>();
        emit target->dropped(1);
        QCOMPARE(rig.window->decks().PlatineCourante(), 1);
        QCOMPARE(rig.text("LblArtiste1"), QStringLiteral("  "));
        QCOMPARE(rig.text("Label21"), QStringLiteral("00:20"));

        rig.press(1, "Play");
        QVERIFY(rig.window->decks().playing(1));
        QVERIFY(!rig.find<QComboBox>("Output1")->isEnabled());
        QVERIFY(rig.find<QComboBox>("Output0")->isEnabled());
        QVERIFY(!rig.window->close());
        QTest::qWait(300);
        rig.press(1, "Cue");
        QVERIFY(rig.text("CueInfo1") != QStringLiteral("00:00.00"));
        rig.press(1, "Stop");
        QVERIFY(rig.find<QComboBox>("Output1")->isEnabled());

        pickUp(rig, 0);
        emit rig.find<ui::DeckMeter>("MMMeterX0")->dragPassed(0);  // passing over deck A's meter
        QCOMPARE(rig.text("LblArtiste0"), QStringLiteral("Dupont  Valse"));
        QCOMPARE(rig.window->decks().PlatineCourante(), 0);

        rig.find<QComboBox>("Output0")->setCurrentIndex(2);
        QCOMPARE(rig.window->decks().player(0).deviceIndex(), 1);
        QVERIFY(rig.window->close());
        QCOMPARE(filebytes::read(rig.folder.filePath("PlayerAB.Ini")),
                 QByteArray("2,0\r\nFake card 1\tFake default\r\n"));
    }

    // Deck B plays on "Casque"; the headphones are unplugged while the default
    // is free: deck B goes on there at once, marked on its list and in its time
    // panel, and deck A is left alone. Once the headphones are back, deck B
    // returns to them by itself.
    void lostOutputIsShownAndComesBack() {
        FakeDeviceBackend backend(0);
        backend.setDevices({"Carte", "Casque", "Enceintes"});
        backend.setDefault("Enceintes");
        PlayerRig rig(&backend, "1,2\r\nCarte\tCasque\r\n");
        // Both decks' devices are open from the load: a first start is heard at once.
        QCOMPARE(backend.opened(), (std::vector<std::string>{"Carte", "Casque"}));
        rig.window->decks().setMorceauGlisse(
            {"Dupont", "Valse", QString(), m_tracks.filePath("Dupont - Valse.wav")});
        rig.window->decks().dropOnDeck(1);
        rig.press(1, "Play");
        auto* mark = rig.find<QLabel>("SortiePerdue1");
        auto* list = rig.find<QComboBox>("Output1");
        QVERIFY(mark->isHidden());

        backend.unplug("Casque");
        QVERIFY(QTest::qWaitFor([&] { return !mark->isHidden(); }, 2000));
        QCOMPARE(mark->text(), QStringLiteral("Sortie perdue\nson sur la sortie par défaut"));
        QCOMPARE(list->currentText(), QStringLiteral("Casque (perdue)"));
        QCOMPARE(backend.opened().back(), std::string("Enceintes"));
        QVERIFY(rig.find<QLabel>("SortiePerdue0")->isHidden());

        backend.plug("Casque");
        QVERIFY(QTest::qWaitFor([&] { return mark->isHidden(); }, 3000));
        QCOMPARE(list->currentText(), QStringLiteral("Casque"));
        QCOMPARE(backend.opened().back(), std::string("Casque"));
        QVERIFY(rig.window->decks().playing(1));
        rig.press(1, "Stop");
    }

    // Closing on a full disk leaves the settings file as it was, and says so.
    void fullDiskAtCloseKeepsTheSettings() {
        FakeDeviceBackend backend(2);
        const QByteArray ini("2,1\r\nFake card 1\tFake card 0\r\n");
        PlayerRig rig(&backend, ini);
        rig.find<QComboBox>("Output0")->setCurrentIndex(1);
        {
            const FileSizeLimit limit(4);
            QVERIFY(rig.window->close());
        }
        QCOMPARE(filebytes::read(rig.folder.filePath("PlayerAB.Ini")), ini);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QVERIFY(rig.dialogs.texts().value(0).startsWith(
            "Les sorties choisies n'ont pas pu être enregistrées dans"));
    }

    // A file the lists can use is taken; anything else selects entry 0 of
    // both lists without a word, and the file stays.
    void settingsFile_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("2,1") << QByteArray("2,1\r\n") << 2 << 1;
        QTest::newRow("too few devices") << QByteArray("3,1\r\n") << 0 << 0;
        QTest::newRow("junk") << QByteArray("platine\r\n") << 0 << 0;
        QTest::newRow("empty") << QByteArray("") << 0 << 0;
    }

    void settingsFile() {
        QFETCH(QByteArray, ini);
        QFETCH(int, first);
        QFETCH(int, second);
        FakeDeviceBackend backend(2);
        PlayerRig rig(&backend, ini);
        QCOMPARE(rig.find<QComboBox>("Output0")->currentIndex(), first);
        QCOMPARE(rig.find<QComboBox>("Output1")->currentIndex(), second);
        QCOMPARE(rig.window->decks().player(1).deviceIndex(), second - 1);
        QVERIFY(rig.dialogs.shown.isEmpty());
        QCOMPARE(filebytes::read(rig.folder.filePath("PlayerAB.Ini")), ini);
    }

    // SDL's virtual devices, through the same events as real ones: a
    // joystick present at start-up, its button 1 starting and stopping deck A
    // and its stick shown; a game controller plugged in later, its right
    // shoulder driving deck B; a device unplugged with a button held.
    void joystickThroughSdl() {
        QVERIFY(SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0);
        const int stickIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
        QVERIFY2(stickIndex >= 0, SDL_GetError());
        SDL_Joystick* stick = SDL_JoystickOpen(stickIndex);
        QVERIFY(stick);
        PlayerRig rig;
        QCOMPARE(rig.find<QLabel>("Panel3")->text(), QStringLiteral("Joystique Ok"));
        ui::SdlJoystick& input = rig.window->joystickInput();
        rig.window->decks().setMorceauGlisse(
            {"Dupont", "Valse", "", m_tracks.filePath("Dupont - Valse.wav")});
        rig.window->decks().dropOnDeck(0);

        auto pressButton = [&](SDL_Joystick* device, int button) {
            SDL_JoystickSetVirtualButton(device, button, SDL_PRESSED);
            input.poll();
            SDL_JoystickSetVirtualButton(device, button, SDL_RELEASED);
            input.poll();
        };
        pressButton(stick, 0);  // button 1
        QVERIFY(rig.window->decks().playing(0));
        QCOMPARE(rig.text("LblBtn"), QStringLiteral("1"));
        pressButton(stick, 0);
        QVERIFY(!rig.window->decks().playing(0));
        pressButton(stick, 3);
        QCOMPARE(rig.text("LblBtn"), QStringLiteral("4"));
        SDL_JoystickSetVirtualAxis(stick, 0, 32767);
        input.poll();
        QCOMPARE(rig.text("X"), QStringLiteral("32"));

        const int padIndex =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        QVERIFY2(padIndex >= 0, SDL_GetError());
        input.poll();
        QCOMPARE(input.openDevices(), 2);
        SDL_Joystick* pad = SDL_JoystickOpen(padIndex);
        rig.window->decks().dropOnDeck(1);
        pressButton(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
        QVERIFY(rig.window->decks().playing(1));
        QCOMPARE(rig.text("LblBtn"), QStringLiteral("2"));

        SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_PRESSED);
        SDL_JoystickClose(pad);
        SDL_JoystickDetachVirtual(padIndex);
        input.poll();
        QCOMPARE(input.openDevices(), 1);
        SDL_JoystickClose(stick);
        SDL_JoystickDetachVirtual(stickIndex);
        input.poll();
        QCOMPARE(input.openDevices(), 0);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    // The first run starts the installer and tells it, with no splash and no
    // launcher; later runs go straight to the window.
    // The screen rules at 1024 and above 1280, and the decks' shading at
    // each activation.
    void screenAndShading() {
        {
            PlayerRig rig(nullptr, {}, 1024);
            QCOMPARE(rig.find<QWidget>("PlatineA1")->x(), (60 + 5970 + 1680) / 15);
            QCOMPARE(rig.find<QWidget>("MMMeterX0")->width(), 3500 / 15);
        }
        PlayerRig rig(nullptr, {}, 1600);
        QVERIFY(!(rig.window->windowState() & Qt::WindowMaximized));
        QCOMPARE(rig.window->size(), QSize(15450 / 15, 11400 / 15));
        rig.window->show();
        rig.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        QVERIFY(rig.find<QWidget>("StatusBar1")->isVisible());
        for (const char* name : {"PlatineA0", "PlatineA1", "Picture10", "Picture11"}) {
            const QImage shading =
                rig.find<QWidget>(name)->property("persistentBackground").value<QImage>();
            QVERIFY2(!shading.isNull(), name);
            // Several strips share a pixel row on a small panel: near 254 at
            // the top, near 49 at the bottom.
            QVERIFY2(qRed(shading.pixel(0, 0)) >= 250, name);
            QVERIFY2(qRed(shading.pixel(0, shading.height() - 1)) <= 55, name);
        }
    }

    void startUp() {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
        qputenv("XDG_DESKTOP_DIR", home.filePath("Bureau").toUtf8());
        ScriptedDialogs dialogs;
        ui::PlayerMainOptions options;
        options.installWaitMs = 50;
        const std::unique_ptr<PlayerWindow> first = ui::PlayerMain(dialogs, options);
        QVERIFY(first && first->isVisible());
        QCOMPARE(dialogs.texts(), QStringList{"Installation de la librairie"});
        QVERIFY(!QDir(home.filePath("Bureau")).exists());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(ui::cheminComposantAudio()).isFile(), 10000);
        dialogs.shown.clear();
        const std::unique_ptr<PlayerWindow> later = ui::PlayerMain(dialogs, options);
        QVERIFY(later);
        QVERIFY(dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(PlayerWindowTest)
#include "tst_playerwindow.moc"
