// The two-deck player's window offscreen: its controls and their places, the
// toolbar buttons, the deck keys, a track picked up in the browser and dropped
// on a deck, the settings file, the close refused while a deck plays, the
// joystick through SDL's virtual joysticks (the real event path). The
// start-up's installer is the mixer's, tested with its start-up. What the
// decks decide is tested without widgets (tst_playerdecks).

#include <SDL.h>

#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

#include "DesignPlaces.h"
#include "FileSizeLimit.h"
#include "Gestures.h"
#include "PlayerRig.h"
#include "TaggedFiles.h"
#include "TestTracks.h"
#include "ui/player/SdlJoystick.h"
#include "ui/shared/BrowserView.h"
#include "ui/shared/TrackBrowser.h"

using namespace playerrig;

namespace {

// Lets a key's release reach the window while its press is still on its way
// through `widget` and its parents, as events run by a listing would.
struct ReleaseOnTheWay final : QObject {
    ReleaseOnTheWay(QWidget* widget, int key) : m_key(key) { widget->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            watched->removeEventFilter(this);
            gestures::release(qobject_cast<QWidget*>(watched), m_key);
        }
        return false;
    }
    int m_key;
};

}  // namespace

class PlayerWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_tracks{QDir::tempPath() + QStringLiteral("/varonelplayer_XXXXXX")};
    QString valse() const { return m_tracks.filePath("Dupont - Valse.wav"); }

private slots:
    void initTestCase() {
        QVERIFY(m_tracks.isValid());
        testtracks::write(m_tracks.filePath("Dupont - Valse.wav"), {30.0, 0.4f});
        testtracks::write(m_tracks.filePath("Intro.wav"), {20.0, 0.4f});
    }

    // 799 pixels are refused before anything else of the load runs. Every
    // control of the design table is there, the window's own ones stay on the
    // screen and, on an 800-pixel screen, none overlaps another; on wider ones
    // deck B's output list moves right over where `Info` stood, and `Info`
    // moves with it. Above 1280 the window keeps a fixed size. Each
    // activation selects deck A and shades the decks.
    void screenWidths_data() {
        QTest::addColumn<int>("width");
        for (const int width : {799, 800, 1024, 1280, 1600}) {
            QTest::addRow("%d", width) << width;
        }
    }

    void screenWidths() {
        QFETCH(int, width);
        PlayerRig rig(nullptr, {}, width);
        QCOMPARE(rig.loaded, width >= 800);
        if (!rig.loaded) {
            QCOMPARE(rig.dialogs.texts(),
                     QStringList{"Le programme ne fonctione pas en dessous de 800x600"});
            QCOMPARE(QDir(rig.folder.path()).entryList(QDir::Files), QStringList());
            return;
        }
        QCOMPARE(bool(rig.window->windowState() & Qt::WindowMaximized), width <= 1280);
        if (width > 1280) {
            QCOMPARE(rig.window->size(), QSize(15450 / 15, 11400 / 15));
        }
        // The height is checked on the smallest screen only.
        const QRect screen(0, 0, width > 1280 ? 15450 / 15 : width, width == 800 ? 555 : 10000);
        QCOMPARE(designplaces::misplaced(rig.find<QWidget>("Centre"), rig.window->design(), screen,
                                         [width](const QString& a, const QString& b) {
                                             return width == 800 || a == "Info" || b == "Info";
                                         }),
                 QStringList());

        rig.window->decks().setPlatineCourante(1);
        rig.activate();
        QCOMPARE(rig.window->decks().PlatineCourante(), 0);
        for (const char* name : {"PlatineA0", "PlatineA1", "Picture10", "Picture11"}) {
            const QImage shading =
                rig.find<QWidget>(name)->property("persistentBackground").value<QImage>();
            // Several strips share a pixel row on a small panel: near 254 at
            // the top, near 49 at the bottom.
            QVERIFY2(qRed(shading.pixel(0, 0)) >= 250, name);
            QVERIFY2(qRed(shading.pixel(0, shading.height() - 1)) <= 55, name);
        }
    }

    // Deck B plays on "Casque"; the headphones are unplugged while the default
    // is free: deck B goes on there at once, marked on its list and in its time
    // panel, and deck A is left alone. Once the headphones are back, deck B
    // returns to them by itself. A deck that plays locks its own output list
    // and refuses the close. A choice made in a list moves its deck and is
    // saved at the close (that the file read is taken is the acceptance
    // run's); on a full disk the file stays as it was, and the close says so.
    void outputsLostChosenAndSaved() {
        FakeDeviceBackend backend(0);
        backend.setDevices({"Carte", "Casque", "Enceintes"});
        backend.setDefault("Enceintes");
        PlayerRig rig(&backend, "1,2\r\nCarte\tCasque\r\n");
        // Both decks' devices are open from the load: a first start is heard at once.
        QCOMPARE(backend.opened(), (std::vector<std::string>{"Carte", "Casque"}));
        rig.load(1, m_tracks.filePath("Intro.wav"));
        rig.press(1, "Play");
        auto* mark = rig.find<QLabel>("SortiePerdue1");
        auto* list = rig.find<QComboBox>("Output1");
        QVERIFY(!list->isEnabled());
        QVERIFY(rig.find<QComboBox>("Output0")->isEnabled());
        QVERIFY(!rig.window->close());

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
        QVERIFY(list->isEnabled());

        rig.find<QComboBox>("Output0")->setCurrentIndex(3);
        QCOMPARE(rig.window->decks().player(0).deviceIndex(), 2);
        const QString ini = rig.folder.filePath("PlayerAB.Ini");
        {
            const FileSizeLimit fullDisk(4);
            QVERIFY(rig.window->close());
        }
        QCOMPARE(filebytes::read(ini), QByteArray("1,2\r\nCarte\tCasque\r\n"));
        QVERIFY(rig.dialogs.texts().value(0).startsWith(
            "Les sorties choisies n'ont pas pu être enregistrées dans"));
        rig.window->show();
        QVERIFY(rig.window->close());
        QCOMPARE(filebytes::read(ini), QByteArray("3,2\r\nEnceintes\tCasque\r\n"));
    }

    // SDL's virtual devices, through the same events as real ones: a
    // joystick present at start-up, its button 1 starting and stopping deck A
    // and its stick shown; a game controller plugged in later, its right
    // shoulder driving deck B; a device unplugged with a button held.
    void joystick() {
        QVERIFY(SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0);
        const int stickIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
        QVERIFY2(stickIndex >= 0, SDL_GetError());
        SDL_Joystick* stick = SDL_JoystickOpen(stickIndex);
        PlayerRig rig;
        QCOMPARE(rig.find<QLabel>("Panel3")->text(), QStringLiteral("Joystique Ok"));
        ui::SdlJoystick& input = rig.window->joystickInput();
        rig.load(0, valse());

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
        SDL_JoystickSetVirtualAxis(stick, 0, 32767);
        input.poll();
        QCOMPARE(rig.text("X"), QStringLiteral("32"));

        const int padIndex =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        QVERIFY2(padIndex >= 0, SDL_GetError());
        input.poll();
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

    // A deck's own controls reach it: a click on its position slider seeks
    // there (how the slider holds until the release is tested through the
    // mixer's TrackBar, the same SeekSlider). The pitch slider moves one step
    // (0.5 %) for a click on its groove and for a notch of the wheel. Cue keeps
    // the deck's position and shows it; Cue Play goes back there and plays.
    void deckControls() {
        PlayerRig rig;
        rig.load(0, valse());
        audio::Player& deck = rig.window->decks().player(0);
        auto* slider = rig.find<QSlider>("Slider0");
        QTest::mouseClick(slider, Qt::LeftButton, {}, slider->rect().center());
        QVERIFY2(qAbs(deck.positionMs() - 15000) < 1000,
                 qPrintable(QString::number(deck.positionMs())));

        auto* pitch = rig.find<QSlider>("Pitch0");
        QTest::mouseClick(pitch, Qt::LeftButton, {},
                          {pitch->width() * 9 / 10, pitch->height() / 2});
        QCOMPARE(pitch->value(), 1);
        QWheelEvent notch(QPointF(pitch->rect().center()),
                          pitch->mapToGlobal(pitch->rect().center()), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pitch, &notch);
        QCOMPARE(pitch->value(), 2);
        QCOMPARE(deck.pitch(), 1.0f);

        deck.setPositionMs(5000);
        rig.press(0, "Cue");
        QCOMPARE(rig.text("CueInfo0"), QStringLiteral("00:05.00"));
        deck.setPositionMs(12000);
        rig.press(0, "CuePlay");
        QVERIFY(rig.window->decks().playing(0));
        QVERIFY2(qAbs(deck.positionMs() - 5000) < 100,
                 qPrintable(QString::number(deck.positionMs())));
    }

    // The player's list names a file whose name gives no artist by its tags.
    void namesFromTags() {
        PlayerRig rig;
        QTemporaryDir folder(QDir::tempPath() + "/varonel_XXXXXX");
        taggedfiles::writeOgg(folder.filePath("Nocturne.ogg"), "Orchestre", "Nuit");
        rig.window->browser().showFolder(folder.path());
        const core::BrowserModel& list = *rig.window->browser().model();
        QTRY_COMPARE(list.count() == 1 ? list.row(0).artist : QString(),
                     QStringLiteral("Orchestre"));
        QCOMPARE(list.row(0).title, QStringLiteral("Nuit"));
    }

    // Each deck key acts on the selected deck (B here, A playing), read at
    // the next tick: Space selects the other deck, Enter starts the selected
    // one, the keypad's 0 stops it, the keypad's + moves its pitch (- is the
    // decks' own test); the main row's 0 is no deck key. A key ends at its
    // release, however that comes: the keypad's 0 let go as Insert (NumLock
    // or Shift changed while it was down) with no scan code, as offscreen Qt
    // gives (the acceptance run lets it go on a real keyboard), or an Enter
    // let go while its press still passes the folder list and its parents. A
    // key left held would act again past the keys' half-second limit, undoing
    // the operator's next gesture on the deck.
    void deckKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<int>("releasedAs");  // the key let go; 0: as pressed; -1: on its way
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("bPlays");
        QTest::addColumn<int>("bPitch");
        QTest::newRow("space") << int(Qt::Key_Space) << false << 0 << 0 << true << 0;
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << true << 0 << 1 << true << 0;
        QTest::newRow("main 0") << int(Qt::Key_0) << false << 0 << 1 << true << 0;
        QTest::newRow("keypad +") << int(Qt::Key_Plus) << true << 0 << 1 << true << 1;
        QTest::newRow("keypad 0 up as Insert")
            << int(Qt::Key_0) << true << int(Qt::Key_Insert) << 1 << false << 0;
        QTest::newRow("return up on its way through Dir1")
            << int(Qt::Key_Return) << false << -1 << 1 << true << 0;
    }
    void deckKeys() {
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(int, releasedAs);
        QFETCH(int, selected);
        QFETCH(bool, bPlays);
        QFETCH(int, bPitch);
        PlayerRig rig;
        rig.load(0, valse());
        rig.load(1, valse());
        rig.press(0, "Play");
        if (key != Qt::Key_Return && key != Qt::Key_Enter) {
            rig.press(1, "Play");  // Enter has a stopped deck B to start
        }
        rig.activate();  // which selects deck A
        rig.tick(600);   // past the half-second limit of the deck keys
        rig.window->decks().setPlatineCourante(1);
        QWidget* window = rig.window.get();
        const Qt::KeyboardModifiers modifiers = keypad ? Qt::KeypadModifier : Qt::NoModifier;
        if (releasedAs < 0) {
            rig.find<QWidget>("Dir1")->setFocus();
            const ReleaseOnTheWay listing(rig.find<QWidget>("Dir1"), key);
            gestures::press(window, key, modifiers);
        } else {
            gestures::press(window, key, modifiers);
            gestures::release(window, releasedAs == 0 ? key : releasedAs, modifiers);
        }
        rig.tick();
        QCOMPARE(rig.window->decks().PlatineCourante(), selected);
        QCOMPARE(rig.window->decks().playing(1), bPlays);
        QCOMPARE(rig.window->decks().display().decks[1].pitch, bPitch);
        QVERIFY(rig.window->decks().playing(0));
        QCOMPARE(rig.window->decks().display().decks[0].pitch, 0);

        rig.press(1, bPlays ? "Stop" : "Play");
        rig.tick(600);
        QCOMPARE(rig.window->decks().playing(1), !bPlays);
        QCOMPARE(rig.window->decks().display().decks[1].pitch, bPitch);
    }

    // A track loads where it is dropped on a deck's label or panel (the
    // deck's name is printed on its panel; its picture is the acceptance
    // run's), or passes over one of its meters; a drop on anything else does
    // nothing.
    void dropTargets_data() {
        QTest::addColumn<QString>("widget");  // dropped on near its top left corner
        QTest::addColumn<int>("deck");        // the deck loaded, -1 none
        QTest::newRow("artist") << "LblArtiste1" << 1;
        QTest::newRow("panel") << "PlatineA1" << 1;
        QTest::newRow("deck's name") << "LblPlatine0" << 0;
        QTest::newRow("meter passed over") << "MMMeterX3" << 1;
        QTest::newRow("time left") << "Temp0" << -1;
        QTest::newRow("toolbar button") << "bar10" << -1;
        QTest::newRow("pitch slider") << "Pitch0" << -1;
        QTest::newRow("status bar") << "Panel1" << -1;
    }

    void dropTargets() {
        QFETCH(QString, widget);
        QFETCH(int, deck);
        PlayerRig rig;
        rig.window->show();
        rig.window->browser().showFolder(m_tracks.path());
        // The other deck selected first: the drop must select its own.
        const int selected = deck == 1 ? 0 : 1;
        rig.window->decks().setPlatineCourante(selected);
        // Picked up with a real press and drag, as the operator does.
        auto* view = rig.find<ui::BrowserView>("ListRech");
        const QPoint from = gestures::rowPoint(view, 0);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), from + QPoint(2, 0));
        QTest::mouseMove(view->viewport(), from + QPoint(QApplication::startDragDistance() * 3, 0));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, from);
        const std::unique_ptr<QMimeData> valse(
            view->model()->mimeData({view->model()->index(0, 0)}));
        auto* target = rig.find<QWidget>(widget);
        if (auto* bar = qobject_cast<QToolBar*>(target)) {
            target = bar->widgetForAction(bar->actions().constFirst());
        }
        gestures::drop(rig.window.get(), target->mapTo(rig.window.get(), QPoint(3, 3)),
                       valse.get());
        QCOMPARE(rig.window->decks().PlatineCourante(), deck >= 0 ? deck : selected);
        for (int d = 0; d < 2; ++d) {
            QCOMPARE(rig.text(QStringLiteral("LblArtiste%1").arg(d)),
                     d == deck ? QStringLiteral("Dupont  Valse") : QString());
        }
    }
};

QTEST_MAIN(PlayerWindowTest)
#include "tst_playerwindow.moc"
