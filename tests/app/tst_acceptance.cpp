// Both programs as a person runs them: the real executables on a private X
// display with a window manager (Xvfb and openbox), driven with the mouse and
// the keyboard through xdotool (menus, quick taps, NumLock or Shift changed
// while a key is down, held keys, drags), playing on a private PulseAudio
// server whose null sinks are recorded. Checked: the windows and message boxes
// they show, pictures of their controls, the mixer's now-playing service on a
// private session bus, the files they write (the as-run log, the settings) and
// what reached each sink. Where a tool is missing it says so and skips.
//
// The places of the controls come from twins: the programs' own windows, built
// here offscreen at the size the real ones take on the display. The same code
// lays both out with the same fonts and style.

#include <unistd.h>

#include <QtTest>
#include <QtWidgets>

#include "AsRunLines.h"
#include "FileBytes.h"
#include "MixerRig.h"
#include "PlayerRig.h"
#include "PulseServer.h"
#include "SessionBus.h"
#include "Synth.h"
#include "TestSignals.h"
#include "ToneScan.h"
#include "XSession.h"
#include "core/browser/BrowserModel.h"
#include "ui/shared/SystemFolder.h"
#include "ui/shared/TrackBrowser.h"
#include "ui/varonel/CatalogueWindow.h"
#include "ui/varonel/MixerBrowser.h"

using namespace varonel;
using Window = XSession::Window;

namespace {

// Each track is a tone of its own.
struct Track {
    const char* name;
    double hz;
};
// The mixer's folder: the track dragged first, the pre-listened one, the
// playlist file's four, and in the subfolder one that only an opened folder
// would show.
constexpr Track kDragged{"Alpha - Depart.wav", 410};
constexpr Track kPreListened{"Bravo - Ecoute.wav", 1330};
constexpr Track kListed[] = {{"Charlie - Un.wav", 530},
                             {"Delta - Deux.wav", 650},
                             {"Echo - Trois.wav", 770},
                             {"Foxtrot - Quatre.wav", 890}};
constexpr Track kHidden{"Zulu - Sous.wav", 1010};

// Both outputs' settings: entry 1 (VaronelA) and entry 2 (VaronelB).
constexpr char kOutputs[] = "1,2\r\n";
// What quitting writes back: the numbers, then the names of the devices they were.
constexpr char kOutputsKept[] = "1,2\r\nVaronelA\tVaronelB\r\n";

const QString kMpris = QStringLiteral("org.mpris.MediaPlayer2.varonel");

QString writeTone(const QString& folder, const Track& track, double seconds) {
    return testsignals::writeWavOrFail(QDir(folder).filePath(QLatin1String(track.name)),
                                       synth::sine(track.hz, seconds, 0.25f, 44100, 1),
                                       synth::WavFormat::Pcm16);
}

// One user of one program: a home of their own (runtime, data and settings
// folders), the audio component already installed, and the program in a
// folder of its own as a copied folder holds it, so that its settings files
// and its as-run log land beside it.
struct ProgramRun {
    ~ProgramRun() {
        process.kill();
        process.waitForFinished(5000);
    }

    // Starts `executable` with `settings` files beside it; false when it cannot.
    bool start(const QString& executable, QProcessEnvironment environment,
               const QMap<QString, QByteArray>& settings) {
        const QString copy = file(QFileInfo(executable).fileName());
        QDir home(m_home.path());
        bool ready =
            home.mkpath("programme") && home.mkpath("run") && home.mkpath("data/Varonel/systeme") &&
            QFile::setPermissions(m_home.filePath("run"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
            filebytes::write(
                m_home.filePath("data/Varonel/systeme/") + QLatin1String(ui::kComposantAudio),
                "installé\n") &&
            // A link is the same program; a copy where the folders lie apart.
            (::link(QFile::encodeName(executable).constData(),
                    QFile::encodeName(copy).constData()) == 0 ||
             QFile::copy(executable, copy));
        for (auto it = settings.cbegin(); ready && it != settings.cend(); ++it) {
            ready = filebytes::write(file(it.key()), it.value());
        }
        environment.insert(QStringLiteral("HOME"), m_home.path());
        for (const auto& [variable, folder] : {std::pair{"XDG_RUNTIME_DIR", "run"},
                                               {"XDG_DATA_HOME", "data"},
                                               {"XDG_CONFIG_HOME", "config"},
                                               {"XDG_CACHE_HOME", "cache"}}) {
            environment.insert(QLatin1String(variable), m_home.filePath(QLatin1String(folder)));
        }
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        // From the root, the browser starts at the root.
        process.setWorkingDirectory(QDir::rootPath());
        process.start(copy, {});
        return ready && process.waitForStarted(10000);
    }

    // A file of the program's folder, where it keeps its settings.
    QString file(const QString& name) const {
        return m_home.filePath(QStringLiteral("programme/")) + name;
    }
    // The end of what the program printed, for the reports of failures.
    QString output() { return QString::fromLocal8Bit(process.readAll()).right(2000); }

    QProcess process;

private:
    QTemporaryDir m_home;
};

// Where a control of a twin window lies, in that window's coordinates.
QRect placeOf(const QWidget* control) {
    return {control->mapTo(control->window(), QPoint(0, 0)), control->size()};
}

// The vertical middle of the band that the list's selection paints in
// `area` of the picture; -1 when there is none.
int selectedBand(const QImage& picture, QRect area) {
    // A line of the selection: a third of it in the selection's colour, as
    // both programs' style has it.
    const auto selected = [&](int y) {
        int count = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            count += int(qAbs(c.red() - 0x2f) < 16 && qAbs(c.green() - 0x5d) < 16 &&
                         qAbs(c.blue() - 0x8a) < 16);
        }
        return count * 3 > area.width();
    };
    int top = area.top();
    while (top <= area.bottom() && !selected(top)) {
        ++top;
    }
    int end = top;
    while (end < area.bottom() && selected(end + 1)) {
        ++end;
    }
    return top > area.bottom() ? -1 : (top + end) / 2;
}

}  // namespace

class AcceptanceTest : public QObject {
    Q_OBJECT

    // --- The display, the sound server and the bus ---

    // A named control of a twin window.
    template <typename T>
    T* twinChild(QWidget* twin, const QString& name) const {
        T* child = twin->findChild<T*>(name);
        if (child == nullptr) {
            qFatal("the twin window has no %s", qPrintable(name));
        }
        return child;
    }

    QImage region(const Window& window, QRect area) const { return m_x.picture(window).copy(area); }
    // Waits until `area` of the window shows something else than `before`
    // and holds still; that picture, null when nothing changed in `ms`.
    QImage waitForChange(const Window& window, QRect area, const QImage& before,
                         int ms = 10000) const {
        QImage last;
        QImage now;
        const bool changed = XSession::poll(ms, [&] {
            last = std::exchange(now, region(window, area));
            return !now.isNull() && now != before && now == last;
        });
        return changed ? now : QImage();
    }
    // True when `condition` stays true for `ms` (a thing that must not happen
    // is watched for that long).
    template <typename Condition>
    static bool holdsFor(int ms, Condition condition) {
        return !XSession::poll(ms, [&] { return !condition(); });
    }

    // Opens `folder` in the folder list `dir1` of the window as a person does:
    // from the root it shows, the name of each folder on the way is typed, so
    // that the list jumps to it, and the folder double-clicked.
    bool openFolder(const Window& window, QRect dir1, QRect browser, const QString& folder) const {
        const QImage start = m_x.picture(window);
        const int current = selectedBand(start, dir1);
        if (current < 0) {
            return false;
        }
        m_x.click(window, {dir1.center().x(), current});
        for (const QString& step : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            const QImage before = region(window, dir1);
            // The list's search starts anew after a pause.
            QTest::qWait(500);
            m_x.type(step);
            const QImage found = waitForChange(window, dir1, before);
            const int band = selectedBand(m_x.picture(window), dir1);
            if (found.isNull() || band < 0) {
                return false;
            }
            m_x.click(window, {dir1.center().x(), band}, 2);
            if (waitForChange(window, dir1, found).isNull()) {
                return false;
            }
        }
        // The browser shows the folder's tracks.
        return !waitForChange(window, browser, start.copy(browser)).isNull();
    }

    // The now-playing service's property, as dbus-send prints it.
    QString mpris(const QString& property) const {
        return m_bus.property(kMpris, QStringLiteral("/org/mpris/MediaPlayer2"),
                              QStringLiteral("org.mpris.MediaPlayer2.Player"), property);
    }
    bool playing() const { return mpris(QStringLiteral("PlaybackStatus")).contains("\"Playing\""); }
    bool onAir(const QString& path) const {
        return playing() && mpris(QStringLiteral("Metadata"))
                                .contains(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    }

    QRect mixerPlace(const QString& name) const {
        return placeOf(twinChild<QWidget>(m_mixerTwin->window.get(), name));
    }
    QPoint menu(const QString& action) const {
        QMenuBar* bar = m_mixerTwin->window->menuBar();
        return placeOf(bar).topLeft() +
               bar->actionGeometry(twinChild<QAction>(bar, action)).center();
    }
    // The middle of a row of a twin's browser, found by its file.
    static QPoint browserRow(const QTreeView* view, const core::BrowserModel& model,
                             const QString& path) {
        for (int row = 0; row < model.count(); ++row) {
            if (model.row(row).path == path) {
                const QRect cell = view->visualRect(view->model()->index(row, 0));
                return view->viewport()->mapTo(view->window(), cell.center());
            }
        }
        qFatal("%s is not in the browser", qPrintable(path));
    }

    QRect playerPlace(const QString& name) const {
        return placeOf(twinChild<QWidget>(m_playerTwin->window.get(), name));
    }
    QPoint toolbarButton(int deck, const QString& action) const {
        auto* bar =
            twinChild<QToolBar>(m_playerTwin->window.get(), QStringLiteral("bar1%1").arg(deck));
        return placeOf(bar->widgetForAction(twinChild<QAction>(bar, action))).center();
    }
    // A drag from a row of the player's browser to `target`, up through the gap
    // between the two decks' meters (a track dragged over a meter loads its
    // deck) and then across.
    QList<QPoint> routeToDeck(const QString& path, QPoint target) const {
        const QPoint row = browserRow(m_playerTwin->window->browser().view(),
                                      *m_playerTwin->window->browser().model(), path);
        const int gap = (playerPlace(QStringLiteral("MMMeterX1")).right() +
                         playerPlace(QStringLiteral("MMMeterX2")).left()) /
                        2;
        const QList<QPoint> route{
            row, row + QPoint(0, -15), {gap, row.y() - 15}, {gap, target.y()}, target};
        // The twin tells whether a meter lies on the way.
        for (qsizetype i = 1; i < route.size(); ++i) {
            for (int step = 0; step <= 100; ++step) {
                const QPoint at = route[i - 1] + (route[i] - route[i - 1]) * step / 100;
                const QWidget* under = m_playerTwin->window->childAt(at);
                if (under != nullptr && under->objectName().startsWith("MMMeterX")) {
                    qFatal("the drag would pass over %s", qPrintable(under->objectName()));
                }
            }
        }
        return route;
    }

private slots:
    void initTestCase() {
        // The twins take the programs' style.
        QApplication::setStyle(QStringLiteral("Fusion"));
        // Each says which tool is missing or did not start.
        QString why;
        if (!m_x.start(&why) || !m_pulse.start(&why) || !m_bus.start(&why)) {
            QSKIP(qPrintable("Acceptance test skipped: " + why));
        }
        // The programs play on the private server and publish on the private bus.
        m_environment = m_x.environment();
        m_environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("pulseaudio"));
        m_environment.insert(QStringLiteral("PULSE_SERVER"), m_pulse.serverAddress());
        m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
        QVERIFY(m_files.isValid());
        // Folders named as a person types them: the names are typed in the lists.
        const QDir files(QFileInfo(m_files.path()).canonicalFilePath());
        m_music = files.filePath(QStringLiteral("musique"));
        QVERIFY(QDir().mkpath(m_music + QStringLiteral("/Zulu")));
        writeTone(m_music + QStringLiteral("/Zulu"), kHidden, 20);
        m_dragged = writeTone(m_music, kDragged, 20);
        m_preListened = writeTone(m_music, kPreListened, 40);
        QByteArray pls;
        for (const Track& track : kListed) {
            m_listed.append(writeTone(m_music, track, 20));
            pls += m_listed.last().toUtf8() + "\r\n";
        }
        m_playlistFile = files.filePath(QStringLiteral("Soiree.pls"));
        QVERIFY(filebytes::write(m_playlistFile, pls));

        // Where a box puts its OK button, from its bottom right corner.
        QMessageBox box;
        box.setText(QStringLiteral("Le réservoir est vide"));
        box.addButton(QMessageBox::Ok);
        box.show();
        QApplication::processEvents();
        const QRect ok = placeOf(box.buttons().constFirst());
        m_okFromCorner = {box.width() - ok.center().x(), box.height() - ok.center().y()};
    }

    // --- Varonel ---

    void varonelStarts() {
        m_mixerTwin = std::make_unique<mixerrig::Rig>(XSession::kWidth);
        QVERIFY(m_mixerTwin->loaded);
        // The catalogue is read, not walked, in the twin too.
        QVERIFY(filebytes::write(m_mixerTwin->folder.filePath("Catalogue.txt"), ""));
        m_mixerTwin->window->browser().browser().showFolder(m_music);
        m_varonel = std::make_unique<ProgramRun>();
        launch(*m_varonel, QStringLiteral(VARONEL_EXECUTABLE),
               {{QStringLiteral("Varonel.Ini"), kOutputs},
                {QStringLiteral("Catalogue.txt"),
                 m_dragged.toUtf8() + "\r\n" + m_preListened.toUtf8() + "\r\n"}},
               QStringLiteral("^Varonel$"), m_mixerTwin->window.get(), &m_varonelWindow);
        m_mixerTwin->window->P3_Click();
        QVERIFY(m_mixerTwin->window->catalogueWindow() != nullptr);

        // The render's command line runs beside the window; its help tells every option.
        const QByteArray help = runAgain(*m_varonel, {"--help"});
        for (const char* option :
             {"--render", "--output", "--exit-point", "--smart-mix", "--no-smart-mix", "--log",
              "--no-trim", "--loudness", "--request", "--hours", "--no-output"}) {
            QVERIFY2(help.contains(option), option);
        }
    }

    // A box raised while the catalogue window (kept above the others) is open
    // comes above it and takes a click; then the main window's menus work.
    void boxAboveTheCatalogueWindow() {
        QVERIFY(!m_varonelWindow.isEmpty());
        m_x.click(m_varonelWindow, mixerPlace(QStringLiteral("P3")).center());
        const Window catalogue =
            m_x.waitForWindow(QStringLiteral("Catalogue Wav Mp3|Fichiers Audio"), {}, 10000);
        QVERIFY2(!catalogue.isEmpty(), "the catalogue window did not open");

        m_x.click(m_varonelWindow, mixerPlace(QStringLiteral("CmdPlay")).center());
        const Window box = m_x.waitForWindow(QStringLiteral("^Varonel$"), {m_varonelWindow}, 5000);
        QVERIFY2(!box.isEmpty(), "the empty playlist raised no box");
        // Its button lies over the catalogue window: a click there tells which
        // window is above.
        const QSize boxSize = m_x.size(box);
        const QPoint ok(boxSize.width() - m_okFromCorner.x(),
                        boxSize.height() - m_okFromCorner.y());
        QVERIFY(QRect(m_x.origin(catalogue), m_x.size(catalogue)).contains(m_x.origin(box) + ok));
        m_x.click(box, ok);
        QVERIFY2(m_x.waitUntilGone(box, QStringLiteral("^Varonel$"), 5000),
                 "the box is under the catalogue window: the click did not reach it");

        // The menus answer: "Ouvrir" loads the evening's playlist.
        m_x.click(m_varonelWindow, menu(QStringLiteral("MnuOuvrir")));
        const Window open = m_x.waitForWindow(QStringLiteral("^Ouvrir$"), {}, 10000);
        QVERIFY2(!open.isEmpty(), "the menu did not open the file dialog");
        QTRY_COMPARE_WITH_TIMEOUT(m_x.xdotool({"getactivewindow"}).trimmed(), open, 5000);
        m_x.type(m_playlistFile);
        m_x.tap(QStringLiteral("Return"));
        QVERIFY2(m_x.waitUntilGone(open, QStringLiteral("^Ouvrir$")), "the dialog stays");

        m_x.click(catalogue,
                  placeOf(twinChild<QWidget>(m_mixerTwin->window->catalogueWindow(), "cmdExit"))
                      .center());
        QVERIFY2(m_x.waitUntilGone(catalogue, QStringLiteral("Catalogue Wav Mp3|Fichiers Audio")),
                 "the catalogue window did not close");
    }

    // A browser row dragged onto the playlist's first row goes in before it:
    // Enter with the folder list focused starts the broadcast with it.
    // Meanwhile a click on a browser row loads it for pre-listening, its play
    // button plays it.
    void draggedRowStartedByEnterInTheFolderList() {
        QVERIFY(!m_varonelWindow.isEmpty());
        QVERIFY(m_pulse.record(QStringLiteral("VaronelA")));
        QVERIFY(m_pulse.record(QStringLiteral("VaronelB")));
        const auto* view = twinChild<QTreeView>(m_mixerTwin->window.get(), "ListRech");
        const core::BrowserModel& model = m_mixerTwin->window->browser().model();
        const QPoint firstRow = twinChild<QAbstractScrollArea>(m_mixerTwin->window.get(), "PL")
                                    ->viewport()
                                    ->mapTo(m_mixerTwin->window.get(), QPoint(60, 5));
        const QPoint row = browserRow(view, model, m_dragged);
        m_x.drag(m_varonelWindow, {row, row + QPoint(0, -20), firstRow});
        m_x.click(m_varonelWindow, browserRow(view, model, m_preListened));
        m_x.click(m_varonelWindow, mixerPlace(QStringLiteral("btnPlay")).center());

        const QRect dir1 = mixerPlace(QStringLiteral("Dir1"));
        const int band = selectedBand(m_x.picture(m_varonelWindow), dir1);
        QVERIFY(band >= 0);
        m_x.click(m_varonelWindow, {dir1.center().x(), band});
        m_outputIdle = region(m_varonelWindow, mixerPlace(QStringLiteral("Output")));
        m_x.tap(QStringLiteral("Return"));
        QTRY_VERIFY2_WITH_TIMEOUT(playing(), "Enter in the folder list did not start", 10000);
        // On air, the output list is locked.
        QTRY_VERIFY_WITH_TIMEOUT(region(m_varonelWindow, mixerPlace("Output")) != m_outputIdle,
                                 5000);
        QVERIFY2(onAir(m_dragged), qPrintable("not the dragged track: " + mpris("Metadata")));
        QCOMPARE(m_x.windows(QStringLiteral("^Varonel$")), QStringList{m_varonelWindow});
    }

    // Numpad 0 pressed with NumLock on and released after NumLock went off,
    // or after Shift was pressed (the key then reads Insert), chains once,
    // not every 1.6 s.
    void numpad0WithNumLockOrShiftChangedChainsOnce() {
        QVERIFY(!m_varonelWindow.isEmpty());
        for (const bool shift : {false, true}) {
            const QString next = m_listed[shift ? 1 : 0];
            // NumLock on: it is off on a new server, and the first round turns it off again
            // (the lock changes as its key goes down).
            m_x.tap(QStringLiteral("Num_Lock"));
            m_x.keyDown(QStringLiteral("KP_Insert"));
            QTest::qWait(150);
            const QString changed = QLatin1String(shift ? "Shift_L" : "Num_Lock");
            m_x.keyDown(changed);
            QTest::qWait(150);
            m_x.keyUp(QStringLiteral("KP_Insert"));
            m_x.keyUp(changed);
            QTRY_VERIFY2_WITH_TIMEOUT(onAir(next), "Numpad 0 did not chain", 5000);
            QVERIFY2(holdsFor(shift ? 2500 : 3500, [&] { return onAir(next); }),
                     "the key stayed held: the broadcast runs through the playlist");
        }
    }

    // A tap of Space far shorter than the 80 ms tick stops the broadcast;
    // Space held for 3 s starts it, then stops it, once each.
    void spaceTappedStopsAndHeldStartsThenStopsOnce() {
        QVERIFY(!m_varonelWindow.isEmpty());
        m_x.tap(QStringLiteral("space"));
        QTRY_VERIFY2_WITH_TIMEOUT(!playing(), "the tap was lost", 3000);
        QVERIFY2(stopEnds(), "the output list did not come back after the stop");

        QElapsedTimer held;
        int starts = 0;
        int stops = 0;
        bool wasPlaying = false;
        m_x.keyDown(QStringLiteral("space"));
        held.start();
        while (held.elapsed() < 3000) {
            const bool now = playing();
            starts += int(now && !wasPlaying);
            stops += int(!now && wasPlaying);
            wasPlaying = now;
            QTest::qWait(50);
        }
        m_x.keyUp(QStringLiteral("space"));
        QVERIFY2(stopEnds(), "the output list did not come back after the stop");
        QCOMPARE(QList<int>({starts, stops}), QList<int>({1, 1}));
        QVERIFY(holdsFor(1000, [this] { return !playing(); }));
    }

    // "Quitter" ends the program; the as-run log it wrote tells the evening.
    // The main sink heard the mix, the pre-listening sink the pre-listened
    // track alone.
    void quitWritesTheLogAndTheSettingsEachOutputOnItsSink() {
        QVERIFY(!m_varonelWindow.isEmpty());
        const std::vector<float> main = m_pulse.stopRecording(QStringLiteral("VaronelA"));
        const std::vector<float> pfl = m_pulse.stopRecording(QStringLiteral("VaronelB"));
        m_x.click(m_varonelWindow, menu(QStringLiteral("mnuQuitter")));
        QVERIFY2(m_varonel->process.waitForFinished(15000), qPrintable(m_varonel->output()));
        QCOMPARE(m_varonel->process.exitCode(), 0);
        QCOMPARE(filebytes::read(m_varonel->file(QStringLiteral("Varonel.Ini"))),
                 QByteArray(kOutputsKept));

        QStringList told;  // the file and how it ended, of each line
        for (const QString& line : asrunlines::read(m_varonel->file({}))) {
            told.append(line.section('\t', 2, 2) + ' ' + line.section('\t', 4));
        }
        QCOMPARE(told, QStringList({m_dragged + " enchaînement", m_listed[0] + " enchaînement",
                                    m_listed[1] + " arrêt", m_listed[2] + " arrêt"}));

        // Heard: on the main sink for half a second at least, the pre-listened
        // track on its own for two; unheard: not a block.
        for (const auto& [track, onMain, onPfl] : {std::tuple{kDragged, true, false},
                                                   {kListed[0], true, false},
                                                   {kListed[1], true, false},
                                                   {kListed[2], true, false},
                                                   {kListed[3], false, false},
                                                   {kHidden, false, false},
                                                   {kPreListened, false, true}}) {
            const int mainBlocks = heardBlocks(main, track);
            const int pflBlocks = heardBlocks(pfl, track);
            QVERIFY2(onMain ? mainBlocks > 5 : mainBlocks == 0, track.name);
            QVERIFY2(onPfl ? pflBlocks > 20 : pflBlocks == 0, track.name);
        }
    }

    // --- VaronelPlayer ---

    void playerStarts() {
        m_playerTwin =
            std::make_unique<playerrig::PlayerRig>(nullptr, QByteArray(), XSession::kWidth);
        QVERIFY(m_playerTwin->loaded);
        m_playerTwin->window->browser().showFolder(m_music);
        m_player = std::make_unique<ProgramRun>();
        launch(*m_player, QStringLiteral(PLAYER_EXECUTABLE),
               {{QStringLiteral("PlayerAB.Ini"), kOutputs}}, QStringLiteral("^DJ Orval Player$"),
               m_playerTwin->window.get(), &m_playerWindow);
        QVERIFY(m_pulse.record(QStringLiteral("VaronelA")));
        QVERIFY(m_pulse.record(QStringLiteral("VaronelB")));
    }

    // A track dragged by hand onto a deck's picture loads that deck (where a
    // drop loads nothing is the window test's).
    void dropsOnTheDecksPicturesLoad() {
        QVERIFY(!m_playerWindow.isEmpty());
        for (const int deck : {0, 1}) {
            const QRect title = playerPlace(QStringLiteral("LblArtiste%1").arg(deck));
            const QImage empty = region(m_playerWindow, title);
            // The bare face of the picture, near its left edge.
            const QString name = QStringLiteral("Picture1%1").arg(deck);
            const QRect picture = playerPlace(name);
            const QPoint bare(picture.left() + picture.width() / 10, picture.center().y());
            QCOMPARE(m_playerTwin->window->childAt(bare)->objectName(), name);
            m_x.drag(m_playerWindow, routeToDeck(m_listed[deck], bare));
            QVERIFY2(!waitForChange(m_playerWindow, title, empty, 5000).isNull(),
                     "a drop on the deck's picture did not load it");
        }
    }

    // Both decks started from their toolbars play on, each on its own sink.
    // Closed from the window manager once stopped, the player keeps its outputs.
    void bothDecksPlayEachOnItsSink() {
        QVERIFY(!m_playerWindow.isEmpty());
        m_x.click(m_playerWindow, toolbarButton(0, QStringLiteral("Play")));
        m_x.click(m_playerWindow, toolbarButton(1, QStringLiteral("Play")));
        QVERIFY2(deckPlaysOn(0), "deck A does not play");
        QVERIFY2(deckPlaysOn(1), "deck B does not play");
        m_x.click(m_playerWindow, toolbarButton(1, QStringLiteral("Stop")));
        const std::vector<float> sinkA = m_pulse.stopRecording(QStringLiteral("VaronelA"));
        const std::vector<float> sinkB = m_pulse.stopRecording(QStringLiteral("VaronelB"));
        // Deck A played on from its start through B's start and stop: 3 s of it at least.
        // (The decks hold the playlist file's first two tracks.)
        QVERIFY(heardBlocks(sinkA, kListed[0]) > 30);
        QVERIFY(heardBlocks(sinkB, kListed[1]) > 10);
        QCOMPARE(QList<int>({heardBlocks(sinkA, kListed[1]), heardBlocks(sinkB, kListed[0])}),
                 QList<int>({0, 0}));

        // Alt+F4, which openbox turns into a request to close, until the player ends.
        m_x.click(m_playerWindow, toolbarButton(0, QStringLiteral("Stop")));
        QProcess& process = m_player->process;
        QVERIFY2(XSession::poll(15000,
                                [&] {
                                    if (process.state() != QProcess::NotRunning) {
                                        m_x.tap(QStringLiteral("alt+F4"));
                                        process.waitForFinished(1000);
                                    }
                                    return process.state() == QProcess::NotRunning;
                                }),
                 qPrintable(m_player->output()));
        QCOMPARE(filebytes::read(m_player->file(QStringLiteral("PlayerAB.Ini"))),
                 QByteArray(kOutputsKept));
    }

private:
    // Runs the program's copy again as its user, beside the first; what it
    // printed, empty when it did not end well within 15 s.
    static QByteArray runAgain(ProgramRun& run, const QStringList& arguments) {
        QProcess again;
        again.setProcessEnvironment(run.process.processEnvironment());
        again.start(run.process.program(), arguments);
        const bool ended = again.waitForFinished(15000) &&
                           again.exitStatus() == QProcess::NormalExit && again.exitCode() == 0;
        return ended ? again.readAllStandardOutput() + again.readAllStandardError() : QByteArray();
    }

    // Starts the program with its settings files and waits for its main
    // window (`title`), maximised by the window manager. One copy of each
    // program per user: a second start asks the first to bring its window,
    // minimised here, forward and ends. Then `twin` is laid out at the
    // window's size and the window's lists opened on the music folder.
    void launch(ProgramRun& run, const QString& executable,
                const QMap<QString, QByteArray>& settings, const QString& title, QWidget* twin,
                Window* window) {
        QVERIFY(run.start(executable, m_environment, settings));
        *window = m_x.waitForWindow(title);
        QVERIFY2(!window->isEmpty(), qPrintable(run.output()));
        QTRY_COMPARE_WITH_TIMEOUT(m_x.size(*window).width(), XSession::kWidth, 10000);

        m_x.xdotool({"windowminimize", *window});
        QVERIFY2(m_x.waitUntilGone(*window, title, 5000), "the window was not minimised");
        QVERIFY(runAgain(run, {}).contains("déjà ouvert"));
        QVERIFY2(XSession::poll(10000, [&] { return m_x.windows(title).contains(*window); }),
                 "the second start did not bring the first window back");

        // The twin takes the size the window keeps once the manager has placed
        // and maximised it.
        QSize size = m_x.size(*window);
        XSession::poll(10000, [&] {
            QTest::qWait(200);
            const QSize last = std::exchange(size, m_x.size(*window));
            return size == last && size.isValid();
        });
        twin->setWindowState(Qt::WindowNoState);
        twin->show();
        twin->resize(size);
        QApplication::processEvents();
        QCOMPARE(twin->size(), m_x.size(*window));
        QVERIFY2(openFolder(*window, placeOf(twinChild<QWidget>(twin, "Dir1")),
                            placeOf(twinChild<QWidget>(twin, "ListRech")), m_music),
                 "the browser did not reach the music folder");
    }

    static int heardBlocks(const std::vector<float>& sink, const Track& track) {
        return tonescan::heardBlocks(tonescan::amplitudes(sink, track.hz));
    }

    // The stop's fade and wait are over when the output list is free again.
    bool stopEnds() const {
        return XSession::poll(10000, [this] {
            return region(m_varonelWindow, mixerPlace(QStringLiteral("Output"))) == m_outputIdle;
        });
    }

    // True when the deck's time left still moves a second after it started.
    bool deckPlaysOn(int deck) const {
        const QRect time = playerPlace(QStringLiteral("Temp%1").arg(deck));
        QTest::qWait(1000);
        const QImage first = region(m_playerWindow, time);
        QTest::qWait(1300);
        return region(m_playerWindow, time) != first;
    }

    XSession m_x;
    PulseServer m_pulse;
    SessionBus m_bus;
    QProcessEnvironment m_environment;
    // No hyphen in the folders: it would split the artist from the title.
    QTemporaryDir m_files{QDir::tempPath() + QStringLiteral("/tst_acceptance_XXXXXX")};
    QString m_music;
    QString m_dragged;
    QString m_preListened;
    QStringList m_listed;
    QString m_playlistFile;
    QPoint m_okFromCorner;
    QImage m_outputIdle;  // the main output list while off air

    std::unique_ptr<ProgramRun> m_varonel;
    Window m_varonelWindow;
    std::unique_ptr<mixerrig::Rig> m_mixerTwin;

    std::unique_ptr<ProgramRun> m_player;
    Window m_playerWindow;
    std::unique_ptr<playerrig::PlayerRig> m_playerTwin;
};

QTEST_MAIN(AcceptanceTest)
#include "tst_acceptance.moc"
