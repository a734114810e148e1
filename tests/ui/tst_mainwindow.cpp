// The main window driven through its widgets and menus: the playlist commands,
// the transport buttons, the keys, the settings file and the drops, in virtual
// time on an offline output so that every run is the same.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "DeviceOutput.h"
#include "FakeDeviceBackend.h"
#include "KeyStateTable.h"
#include "LevelMeterWidget.h"
#include "MainWindow.h"
#include "OfflineOutput.h"
#include "PlaylistView.h"
#include "ScriptedDialogs.h"
#include "TestTracks.h"
#include "TrackNaming.h"
#include "VirtualDriver.h"

using namespace varonel;
using varonel::ui::MainWindow;
using varonel::ui::PlaylistView;

namespace {

// A main window on an offline output and a virtual clock, loaded with its
// program folder in a temporary directory.
struct Rig {
    explicit Rig(const QString& folder, std::unique_ptr<audio::AudioOutput> output = nullptr) {
        const bool offline = output == nullptr;
        if (offline) {
            output = std::make_unique<audio::OfflineOutput>(44100);
        }
        offlineOutput = offline ? static_cast<audio::OfflineOutput*>(output.get()) : nullptr;
        auto ownedClock = std::make_unique<core::VirtualClock>();
        clock = ownedClock.get();
        window =
            std::make_unique<MainWindow>(std::make_unique<core::MainAudioChain>(std::move(output)),
                                         std::move(ownedClock), dialogs);
        if (offline) {
            driver =
                std::make_unique<core::VirtualDriver>(window->transport(), *offlineOutput, *clock);
        }
        MainWindow::LoadOptions options;
        options.cheminAppli = folder;
        options.screenWidth = 1024;
        loaded = window->Form_Load(options);
    }

    template <typename T>
    T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    QString label(const QString& name) const { return find<QLabel>(name)->text(); }
    void trigger(const QString& action) const { find<QAction>(action)->trigger(); }
    void click(const QString& button) const { find<QAbstractButton>(button)->click(); }
    PlaylistView* pl() const { return find<PlaylistView>(QStringLiteral("PL")); }

    // Cell `column` of every row of PL, top to bottom.
    QStringList column(int column) const {
        QStringList cells;
        for (int i = 0; i < pl()->topLevelItemCount(); ++i) {
            cells.append(pl()->topLevelItem(i)->text(column));
        }
        return cells;
    }
    QStringList artists() const { return column(core::PlaylistRow::kArtistColumn); }

    // The tree and the model must always agree.
    bool mirrorsModel() const {
        const core::PlaylistModel& model = window->playlist();
        if (model.count() != pl()->topLevelItemCount()) {
            return false;
        }
        for (int row = 1; row <= model.count(); ++row) {
            for (int c = 0; c < core::PlaylistRow::kColumnCount; ++c) {
                if (pl()->topLevelItem(row - 1)->text(c) != model.row(row).cell(c)) {
                    return false;
                }
            }
        }
        return true;
    }

    QPoint rowCentre(int row) const {
        return pl()->visualItemRect(pl()->topLevelItem(row - 1)).center();
    }

    ScriptedDialogs dialogs;
    core::VirtualClock* clock = nullptr;
    audio::OfflineOutput* offlineOutput = nullptr;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<core::VirtualDriver> driver;
    bool loaded = false;
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void designTexts_data();
    void designTexts();
    void loadSequence();
    void screenCheck_data();
    void screenCheck();
    void ouvrir_data();
    void ouvrir();
    void cancelledOuvrirKeepsRows();
    void sauverThenOuvrirGivesSameRows();
    void nouvelleEmpties();
    void playTakesFirstRowOnAir();
    void chainNowPlaysNextRow();
    void stopFadesThenGoesIdle();
    void playWithEmptyPlaylist();
    void spaceKeyStartsWhenActive();
    void keyTable_data();
    void keyTable();
    void closingOnAirIsRefused();
    void settingsOnLoad_data();
    void settingsOnLoad();
    void settingsRoundTrip();
    void deleteKeyRemovesSelectedRow();
    void reorderDrop_data();
    void reorderDrop();
    void reorderFollowsRowsTakenOnAir();
    void addBrowserRow_data();
    void addBrowserRow();
    void dropFromBrowser();
    void levelMetersFollowOutput();
    void grabOnAir();

private:
    QString track(const QString& name) const { return m_tracks.filePath(name); }
    // Writes a .pls with the given lines and returns its path.
    QString playlistFile(const QString& name, const QStringList& lines) const;
    void openTracks(Rig& rig, const QStringList& names) const;

    // Artist and title are read from the full path up to its first hyphen, so
    // the folder of the tracks must have none.
    QTemporaryDir m_tracks{QDir::tempPath() + QStringLiteral("/varonelui_XXXXXX")};
    const QStringList m_names = {QStringLiteral("Alpha - Premier.wav"),
                                 QStringLiteral("Beta - Second.wav"),
                                 QStringLiteral("Gamma - Troisieme.wav")};
};

void MainWindowTest::initTestCase() {
    QVERIFY(m_tracks.isValid());
    // 20, 25 and 30 s: 75 s in all, which the total shows as 0h1mn.
    const double seconds[] = {20.0, 25.0, 30.0};
    for (int i = 0; i < m_names.size(); ++i) {
        testtracks::write(track(m_names[i]), {seconds[i], 0.5f});
    }
}

QString MainWindowTest::playlistFile(const QString& name, const QStringList& lines) const {
    const QString path = m_tracks.filePath(name);
    if (!writeAll(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8())) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void MainWindowTest::openTracks(Rig& rig, const QStringList& names) const {
    QStringList paths;
    for (const QString& name : names) {
        paths.append(track(name));
    }
    rig.dialogs.fileNames = {playlistFile(QStringLiteral("open.pls"), paths)};
    rig.trigger(QStringLiteral("MnuOuvrir"));
}

// --- The window as designed ---

void MainWindowTest::designTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("CmdPlay") << "CmdPlay"
                             << " démarrage de la diffusion ";
    QTest::newRow("CmdStop") << "CmdStop"
                             << " Arrêt de la diffusion ";
    QTest::newRow("CmdStopImmediat") << "CmdStopImmediat"
                                     << " Enchainement ";
    QTest::newRow("LblTemps") << "LblTemps"
                              << " Temps total de la playlist ";
    QTest::newRow("PS") << "PS"
                        << " Point de sortie ";
    QTest::newRow("Output") << "Output"
                            << " Choix de la sortie principale ";
    QTest::newRow("PFL") << "PFL"
                         << " Choix de la PFL ";
    QTest::newRow("P1") << "P1"
                        << " Active le mode requette automatique ";
}

void MainWindowTest::designTexts() {
    QFETCH(QString, name);
    QFETCH(QString, toolTip);
    QTemporaryDir folder;
    Rig rig(folder.path());
    QWidget* widget = rig.find<QWidget>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->toolTip(), toolTip);
}

void MainWindowTest::loadSequence() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    QVERIFY(rig.loaded);
    QCOMPARE(rig.window->objectName(), QStringLiteral("F1"));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Varonel"));
    QCOMPARE(rig.window->fichierIni(), QDir(folder.path()).filePath("Varonel.Ini"));
    QCOMPARE(rig.window->fichierCatalogue(), QDir(folder.path()).filePath("Catalogue.txt"));

    // Menu bar: the five commands, in this order.
    QStringList menu;
    for (QAction* action : rig.window->menuBar()->actions()) {
        menu.append(action->objectName() + QLatin1Char('=') + action->text());
    }
    QCOMPARE(menu, QStringList({"mnuNouvelle=Nouvelle", "MnuOuvrir=Ouvrir", "MnuSauver=Sauver",
                                "mnuRequette=Requette", "mnuQuitter=Quitter"}));

    // Playlist columns and their design widths, the milliseconds one hidden.
    PlaylistView* pl = rig.pl();
    QCOMPARE(pl->headerItem()->text(4), QStringLiteral("milisecondes"));
    QVERIFY(pl->isColumnHidden(4));
    QCOMPARE(QList<int>(
                 {pl->columnWidth(0), pl->columnWidth(1), pl->columnWidth(2), pl->columnWidth(3)}),
             QList<int>({200, 200, 47, 400}));
    auto* browser = rig.find<QTreeWidget>(QStringLiteral("ListRech"));
    QVERIFY(browser);
    QCOMPARE(browser->headerItem()->text(2), QStringLiteral("Durée"));

    // Smart mix ticked at the end of the load: exit point 2 s, threshold 50 %.
    auto* mixage = rig.find<QComboBox>(QStringLiteral("MixagePourCent"));
    QCOMPARE(mixage->count(), 13);
    QCOMPARE(mixage->itemText(0), QStringLiteral("10"));
    QCOMPARE(mixage->itemText(12), QStringLiteral("70"));
    QCOMPARE(mixage->currentText(), QStringLiteral("50"));
    QCOMPARE(rig.window->transport().mixagePourCent(), 50);
    QVERIFY(rig.find<QCheckBox>(QStringLiteral("CheckAutoMix"))->isChecked());
    QCOMPARE(rig.find<QCheckBox>(QStringLiteral("CheckAutoMix"))->text(),
             QStringLiteral(" Mix intelligent "));
    QVERIFY(rig.window->transport().MixIntelligent());
    QCOMPARE(rig.find<QSlider>(QStringLiteral("PS"))->value(), 2);
    QCOMPARE(rig.label(QStringLiteral("LblPS")), QStringLiteral("2"));

    QCOMPARE(rig.label(QStringLiteral("LblArtiste")), QStringLiteral("Artiste - Titre"));
    QCOMPARE(rig.label(QStringLiteral("LblPo")), QStringLiteral("--:--"));
    QCOMPARE(rig.label(QStringLiteral("LblReste")), QStringLiteral("--:--"));
    QCOMPARE(rig.label(QStringLiteral("LblTemps")), QStringLiteral("00:00"));
    QVERIFY(!rig.find<QTimer>(QStringLiteral("Timer1"))->isActive());
    QVERIFY(rig.find<QTimer>(QStringLiteral("Timer3"))->isActive());

    // Unticking hides the percentage and leaves the exit point where it is.
    rig.click(QStringLiteral("CheckAutoMix"));
    QVERIFY(!rig.window->transport().MixIntelligent());
    QVERIFY(rig.find<QComboBox>(QStringLiteral("MixagePourCent"))->isHidden());
    QCOMPARE(rig.find<QSlider>(QStringLiteral("PS"))->value(), 2);
    // Choosing a threshold reaches the transport.
    mixage->setCurrentIndex(12);
    QCOMPARE(rig.window->transport().mixagePourCent(), 70);
    // Moving the exit point shows it and reaches the transport.
    rig.find<QSlider>(QStringLiteral("PS"))->setValue(7);
    QCOMPARE(rig.label(QStringLiteral("LblPS")), QStringLiteral("7"));
    QCOMPARE(rig.window->transport().display().exitPointSeconds, 7);
}

void MainWindowTest::screenCheck_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("loads");
    QTest::newRow("640") << 640 << false;
    QTest::newRow("799") << 799 << false;
    QTest::newRow("800") << 800 << true;
    QTest::newRow("1024") << 1024 << true;
}

void MainWindowTest::screenCheck() {
    QFETCH(int, width);
    QFETCH(bool, loads);
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    MainWindow window(
        std::make_unique<core::MainAudioChain>(std::make_unique<audio::OfflineOutput>(44100)),
        std::make_unique<core::VirtualClock>(), dialogs);
    MainWindow::LoadOptions options;
    options.cheminAppli = folder.path();
    options.screenWidth = width;
    QCOMPARE(window.Form_Load(options), loads);
    if (loads) {
        QVERIFY(dialogs.shown.isEmpty());
    } else {
        QCOMPARE(dialogs.texts(),
                 QStringList{"Le programme ne fonctione pas en dessous de 800x600"});
        QCOMPARE(dialogs.shown[0].icon, core::MessageIcon::None);
        // Nothing else of the load ran.
        QVERIFY(window.fichierIni().isEmpty());
    }
}

// --- Playlist commands ---

void MainWindowTest::ouvrir_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("artists");
    QTest::addColumn<QString>("temps");
    QTest::newRow("three tracks") << QStringList{m_names[0], m_names[1], m_names[2]}
                                  << QStringList{"Alpha", "Beta", "Gamma"} << "0h1mn";
    // The load stops at the first unreadable track; the rows before it stay
    // and the total counts them.
    QTest::newRow("stops at missing file")
        << QStringList{m_names[0], "Absent - Fichier.wav", m_names[2]} << QStringList{"Alpha"}
        << "0h0mn";
}

void MainWindowTest::ouvrir() {
    QFETCH(QStringList, lines);
    QFETCH(QStringList, artists);
    QFETCH(QString, temps);
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, lines);

    QCOMPARE(rig.dialogs.lastFolder, QDir(folder.path()).absolutePath() + QLatin1Char('/'));
    QCOMPARE(rig.dialogs.lastFilter, QStringLiteral("Playlist DJ Orval *.pls (*.pls)"));
    QCOMPARE(rig.artists(), artists);
    QVERIFY(rig.mirrorsModel());
    QCOMPARE(rig.label(QStringLiteral("LblTemps")), temps);
    QVERIFY(rig.dialogs.shown.isEmpty());  // failures stop silently
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    if (artists.size() == 3) {
        QCOMPARE(rig.column(1), QStringList({"Premier", "Second", "Troisieme"}));
        QCOMPARE(rig.column(2), QStringList({"00:20", "00:25", "00:30"}));
        // The lengths that the total counts: within 30 ms of the truth.
        const double truth[] = {20000, 25000, 30000};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(qAbs(rig.column(4)[i].toDouble() - truth[i]) <= 30);
        }
    }
}

void MainWindowTest::cancelledOuvrirKeepsRows() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, m_names);
    QCOMPARE(rig.artists().size(), 3);
    rig.dialogs.fileNames.clear();  // the dialog is cancelled
    rig.trigger(QStringLiteral("MnuOuvrir"));
    QCOMPARE(rig.artists(), QStringList({"Alpha", "Beta", "Gamma"}));
    QCOMPARE(rig.label(QStringLiteral("LblTemps")), QStringLiteral("0h1mn"));
}

void MainWindowTest::sauverThenOuvrirGivesSameRows() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, {m_names[2], m_names[0], m_names[1]});
    const QString saved = folder.filePath(QStringLiteral("saved.pls"));
    rig.dialogs.fileNames = {saved};
    rig.trigger(QStringLiteral("MnuSauver"));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(readAll(saved),
             (track(m_names[2]) + "\r\n" + track(m_names[0]) + "\r\n" + track(m_names[1]) + "\r\n")
                 .toUtf8());

    // A cancelled save leaves the file alone.
    rig.trigger(QStringLiteral("mnuNouvelle"));
    rig.trigger(QStringLiteral("MnuSauver"));
    QCOMPARE(readAll(saved).count('\n'), 3);

    rig.dialogs.fileNames = {saved};
    rig.trigger(QStringLiteral("MnuOuvrir"));
    QCOMPARE(rig.artists(), QStringList({"Gamma", "Alpha", "Beta"}));
    QVERIFY(rig.mirrorsModel());
}

void MainWindowTest::nouvelleEmpties() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, m_names);
    rig.trigger(QStringLiteral("mnuNouvelle"));
    QCOMPARE(rig.pl()->topLevelItemCount(), 0);
    QVERIFY(rig.window->playlist().isEmpty());
    // Emptying does not recompute the total: it keeps its text until the next start.
    QCOMPARE(rig.label(QStringLiteral("LblTemps")), QStringLiteral("0h1mn"));
}

// --- Transport through the buttons ---

void MainWindowTest::playTakesFirstRowOnAir() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, m_names);
    rig.click(QStringLiteral("CmdPlay"));

    QVERIFY(rig.window->transport().EnDiffusion());
    QCOMPARE(rig.label(QStringLiteral("LblArtiste")), QStringLiteral("Alpha - Premier"));
    QCOMPARE(rig.artists(), QStringList({"Beta", "Gamma"}));
    QVERIFY(rig.mirrorsModel());
    QVERIFY(!rig.find<QComboBox>(QStringLiteral("Output"))->isEnabled());
    QVERIFY(rig.find<QTimer>(QStringLiteral("Timer1"))->isActive());
    QCOMPARE(rig.label(QStringLiteral("LblTemps")), QStringLiteral("0h0mn"));  // 55 s left
    auto* trackBar = rig.find<QSlider>(QStringLiteral("TrackBar"));
    QVERIFY(qAbs(trackBar->maximum() - 20000) <= 30);

    rig.driver->advanceMs(3000);
    QCOMPARE(rig.label(QStringLiteral("LblPo")), QStringLiteral("00:02"));
    QCOMPARE(rig.label(QStringLiteral("LblReste")), QStringLiteral("00:17"));
    QVERIFY(trackBar->value() >= 2800 && trackBar->value() <= 3000);

    // A second start while on air changes nothing.
    rig.click(QStringLiteral("CmdPlay"));
    QCOMPARE(rig.artists(), QStringList({"Beta", "Gamma"}));
}

void MainWindowTest::chainNowPlaysNextRow() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, m_names);
    rig.click(QStringLiteral("CmdPlay"));
    rig.driver->advanceMs(1000);
    rig.click(QStringLiteral("CmdStopImmediat"));
    rig.driver->advanceMs(150);  // the next tick chains
    QCOMPARE(rig.label(QStringLiteral("LblArtiste")), QStringLiteral("Beta - Second"));
    QCOMPARE(rig.artists(), QStringList({"Gamma"}));
    QVERIFY(rig.mirrorsModel());
    // Timer1 rests during the fade of the outgoing track, then runs again.
    QVERIFY(!rig.find<QTimer>(QStringLiteral("Timer1"))->isActive());
    QVERIFY(
        rig.driver->advanceUntil([&] { return !rig.window->transport().inTransition(); }, 5000));
    QVERIFY(rig.find<QTimer>(QStringLiteral("Timer1"))->isActive());
    QVERIFY(qAbs(rig.find<QSlider>(QStringLiteral("TrackBar"))->maximum() - 25000) <= 30);
    QCOMPARE(rig.label(QStringLiteral("LblTemps")), QStringLiteral("0h0mn"));
}

void MainWindowTest::stopFadesThenGoesIdle() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, m_names);
    rig.click(QStringLiteral("CmdPlay"));
    rig.driver->advanceMs(1000);
    rig.click(QStringLiteral("CmdStop"));
    QVERIFY(rig.window->transport().stopping());
    QVERIFY(!rig.window->transport().EnDiffusion());
    QVERIFY(!rig.find<QTimer>(QStringLiteral("Timer1"))->isActive());
    // The output stays chosen until the fade is over.
    QVERIFY(!rig.find<QComboBox>(QStringLiteral("Output"))->isEnabled());
    rig.driver->advanceMs(2600);
    QVERIFY(!rig.window->transport().stopping());
    QVERIFY(!rig.offlineOutput->isStarted());
    QVERIFY(rig.find<QComboBox>(QStringLiteral("Output"))->isEnabled());
    QCOMPARE(rig.artists(), QStringList({"Beta", "Gamma"}));
    // Closing is allowed again.
    rig.window->show();
    QVERIFY(rig.window->close());
}

void MainWindowTest::playWithEmptyPlaylist() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    rig.click(QStringLiteral("CmdPlay"));
    QCOMPARE(rig.dialogs.texts(), QStringList{"Le réservoir est vide"});
    QVERIFY(!rig.window->transport().EnDiffusion());
    QVERIFY(rig.find<QComboBox>(QStringLiteral("Output"))->isEnabled());
    QVERIFY(!rig.find<QTimer>(QStringLiteral("Timer1"))->isActive());
}

void MainWindowTest::spaceKeyStartsWhenActive() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, m_names);
    rig.window->show();
    QApplication::setActiveWindow(rig.window.get());
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));

    QTest::keyPress(rig.pl(), Qt::Key_Space);
    rig.driver->advanceMs(100);  // Timer3 reads the key held
    QTest::keyRelease(rig.pl(), Qt::Key_Space);
    QVERIFY(rig.window->transport().EnDiffusion());
    QCOMPARE(rig.label(QStringLiteral("LblArtiste")), QStringLiteral("Alpha - Premier"));
    rig.window->hide();
}

void MainWindowTest::keyTable_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<int>("held");  // the TransportKey held after the press, -1 none
    using core::TransportKey;
    QTest::newRow("space") << int(Qt::Key_Space) << false << false << int(TransportKey::Space);
    QTest::newRow("return") << int(Qt::Key_Return) << false << false << int(TransportKey::Enter);
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << true << false
                                  << int(TransportKey::Enter);
    QTest::newRow("keypad 0") << int(Qt::Key_0) << true << false << int(TransportKey::Numpad0);
    QTest::newRow("main 0") << int(Qt::Key_0) << false << false << -1;
    QTest::newRow("auto-repeat") << int(Qt::Key_Space) << false << true << -1;
    QTest::newRow("other key") << int(Qt::Key_A) << false << false << -1;
}

void MainWindowTest::keyTable() {
    QFETCH(int, key);
    QFETCH(bool, keypad);
    QFETCH(bool, autoRepeat);
    QFETCH(int, held);
    QTemporaryDir folder;
    Rig rig(folder.path());
    ui::KeyStateTable& keys = rig.window->keys();
    const Qt::KeyboardModifiers modifiers = keypad ? Qt::KeypadModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(rig.pl(), &press);
    const core::TransportKey all[] = {core::TransportKey::Space, core::TransportKey::Enter,
                                      core::TransportKey::Numpad0};
    for (core::TransportKey k : all) {
        QCOMPARE(keys.isHeld(k), int(k) == held);
    }
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(rig.pl(), &release);
    for (core::TransportKey k : all) {
        QVERIFY(!keys.isHeld(k));
    }
}

void MainWindowTest::closingOnAirIsRefused() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, m_names);
    rig.window->show();
    rig.click(QStringLiteral("CmdPlay"));

    QVERIFY(!rig.window->close());
    QVERIFY(rig.window->isVisible());
    QVERIFY(rig.dialogs.shown.isEmpty());  // the close itself says nothing
    QVERIFY(!QFile::exists(rig.window->fichierIni()));

    rig.trigger(QStringLiteral("mnuQuitter"));
    QCOMPARE(rig.dialogs.texts(),
             QStringList{"Impossible de quitter\narrêtez le DJ Orval en premier"});
    QCOMPARE(rig.dialogs.shown[0].icon, core::MessageIcon::Information);
    QVERIFY(rig.window->isVisible());
    QCOMPARE(rig.artists(), QStringList({"Beta", "Gamma"}));
    QVERIFY(rig.window->transport().EnDiffusion());
    rig.window->hide();
}

// --- Settings file ---

void MainWindowTest::settingsOnLoad_data() {
    QTest::addColumn<QByteArray>("ini");  // "<none>": no file
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("pfl");
    QTest::addColumn<bool>("message");
    QTest::addColumn<bool>("fileKept");
    QTest::newRow("no file") << QByteArray("<none>") << 0 << 0 << false << false;
    QTest::newRow("2,1") << QByteArray("2,1\r\n") << 2 << 1 << false << true;
    QTest::newRow("1,2 without line end") << QByteArray("1,2") << 1 << 2 << false << true;
    // Two cards and the default make three entries: entry 3 no longer exists.
    QTest::newRow("3,1 too few devices") << QByteArray("3,1\r\n") << 0 << 0 << true << false;
    QTest::newRow("garbage") << QByteArray("abc\r\n") << 0 << 0 << true << false;
}

void MainWindowTest::settingsOnLoad() {
    QFETCH(QByteArray, ini);
    QFETCH(int, output);
    QFETCH(int, pfl);
    QFETCH(bool, message);
    QFETCH(bool, fileKept);
    QTemporaryDir folder;
    const QString iniPath = folder.filePath(QStringLiteral("Varonel.Ini"));
    if (ini != "<none>") {
        QVERIFY(writeAll(iniPath, ini));
    }
    FakeDeviceBackend backend(2);
    Rig rig(folder.path(), std::make_unique<audio::DeviceOutput>(backend));
    auto* outputList = rig.find<QComboBox>(QStringLiteral("Output"));
    QCOMPARE(outputList->count(), 3);
    QCOMPARE(outputList->itemText(1), QStringLiteral("Fake card 0"));
    QCOMPARE(outputList->currentIndex(), output);
    QCOMPARE(rig.find<QComboBox>(QStringLiteral("PFL"))->currentIndex(), pfl);
    // The main output uses the device of its entry.
    QCOMPARE(rig.window->chain().output->deviceIndex(), output - 1);
    if (message) {
        QCOMPARE(rig.dialogs.texts(),
                 QStringList{"Mauvais choix de sortie audio\r\nassignez de nouveau les sorties"});
        QCOMPARE(rig.dialogs.shown[0].title, QStringLiteral("Alerte"));
        QCOMPARE(rig.dialogs.shown[0].icon, core::MessageIcon::Exclamation);
    } else {
        QVERIFY(rig.dialogs.shown.isEmpty());
    }
    QCOMPARE(QFile::exists(iniPath), fileKept);
}

void MainWindowTest::settingsRoundTrip() {
    QTemporaryDir folder;
    const QString iniPath = folder.filePath(QStringLiteral("Varonel.Ini"));
    FakeDeviceBackend backend(2);
    {
        Rig rig(folder.path(), std::make_unique<audio::DeviceOutput>(backend));
        rig.find<QComboBox>(QStringLiteral("Output"))->setCurrentIndex(2);
        QCOMPARE(rig.window->chain().output->deviceIndex(), 1);
        rig.find<QComboBox>(QStringLiteral("PFL"))->setCurrentIndex(1);
        QVERIFY(!QFile::exists(iniPath));  // written once, at the close
        rig.window->show();
        QVERIFY(rig.window->close());
    }
    QCOMPARE(readAll(iniPath), QByteArray("2,1\r\n"));
    Rig again(folder.path(), std::make_unique<audio::DeviceOutput>(backend));
    QCOMPARE(again.find<QComboBox>(QStringLiteral("Output"))->currentIndex(), 2);
    QCOMPARE(again.find<QComboBox>(QStringLiteral("PFL"))->currentIndex(), 1);
    QCOMPARE(again.window->chain().output->deviceIndex(), 1);
}

// --- Playlist gestures ---

void MainWindowTest::deleteKeyRemovesSelectedRow() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    // Nothing to delete: nothing happens.
    QTest::keyRelease(rig.pl(), Qt::Key_Delete);
    QCOMPARE(rig.pl()->topLevelItemCount(), 0);

    openTracks(rig, m_names);
    rig.pl()->clearSelection();
    QTest::keyRelease(rig.pl(), Qt::Key_Delete);  // no row selected
    QCOMPARE(rig.artists().size(), 3);

    rig.pl()->setCurrentItem(rig.pl()->topLevelItem(1));
    QTest::keyPress(rig.pl(), Qt::Key_Delete);  // acted on at the release only
    QCOMPARE(rig.artists().size(), 3);
    QTest::keyRelease(rig.pl(), Qt::Key_Delete);
    QCOMPARE(rig.artists(), QStringList({"Alpha", "Gamma"}));
    QVERIFY(rig.mirrorsModel());
}

void MainWindowTest::reorderDrop_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");  // 0: empty space below the rows
    QTest::addColumn<QStringList>("order");
    QTest::newRow("1 onto 3") << 1 << 3 << QStringList{"Beta", "Gamma", "Alpha"};
    QTest::newRow("3 onto 1") << 3 << 1 << QStringList{"Gamma", "Alpha", "Beta"};
    QTest::newRow("2 onto 3") << 2 << 3 << QStringList{"Alpha", "Gamma", "Beta"};
    QTest::newRow("onto itself") << 2 << 2 << QStringList{"Alpha", "Beta", "Gamma"};
    QTest::newRow("empty space") << 1 << 0 << QStringList{"Alpha", "Beta", "Gamma"};
}

void MainWindowTest::reorderDrop() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, order);
    QTemporaryDir folder;
    Rig rig(folder.path());
    rig.window->resize(1024, 600);
    openTracks(rig, m_names);
    PlaylistView* pl = rig.pl();
    pl->setCurrentItem(pl->topLevelItem(from - 1));
    pl->armReorderDrag();
    const QPoint point = to > 0 ? rig.rowCentre(to) : QPoint(10, pl->viewport()->height() - 5);
    QCOMPARE(pl->rowAt(point), to);
    pl->dropFrom(pl, point);
    QCOMPARE(rig.artists(), order);
    QVERIFY(rig.mirrorsModel());
    QCOMPARE(pl->dropHighlightRow(), 0);
}

void MainWindowTest::reorderFollowsRowsTakenOnAir() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    rig.window->resize(1024, 600);
    openTracks(rig, m_names);
    PlaylistView* pl = rig.pl();
    // Gamma is dragged; the start takes Alpha off the top meanwhile.
    pl->setCurrentItem(pl->topLevelItem(2));
    pl->armReorderDrag();
    rig.click(QStringLiteral("CmdPlay"));
    QCOMPARE(pl->armedRow(), 2);
    pl->dropFrom(pl, rig.rowCentre(1));
    QCOMPARE(rig.artists(), QStringList({"Gamma", "Beta"}));

    // A dragged row that goes on air meanwhile moves nothing.
    pl->setCurrentItem(pl->topLevelItem(0));
    pl->armReorderDrag();
    rig.click(QStringLiteral("CmdStopImmediat"));
    rig.driver->advanceMs(150);
    QCOMPARE(pl->armedRow(), 0);
    pl->dropFrom(pl, rig.rowCentre(1));
    QCOMPARE(rig.artists(), QStringList({"Beta"}));
}

void MainWindowTest::addBrowserRow_data() {
    QTest::addColumn<int>("insertBefore");
    QTest::addColumn<bool>("fromDrop");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("drop append") << 0 << true << QStringList{"Alpha", "Beta", "Gamma"};
    QTest::newRow("drop on row 2") << 2 << true << QStringList{"Alpha", "Gamma", "Beta"};
    QTest::newRow("drop on row 1") << 1 << true << QStringList{"Gamma", "Alpha", "Beta"};
    QTest::newRow("double click") << 0 << false << QStringList{"Alpha", "Beta", "Gamma"};
}

void MainWindowTest::addBrowserRow() {
    QFETCH(int, insertBefore);
    QFETCH(bool, fromDrop);
    QFETCH(QStringList, order);
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, {m_names[0], m_names[1]});
    // A browser row whose duration text is stale: it is read again.
    const QStringList cells = {"Gamma", "Troisieme", "99:99", track(m_names[2])};
    QVERIFY(rig.window->addBrowserRow(cells, insertBefore, fromDrop));
    QCOMPARE(rig.artists(), order);
    QVERIFY(rig.mirrorsModel());
    const int row = order.indexOf(QStringLiteral("Gamma"));
    QTreeWidgetItem* item = rig.pl()->topLevelItem(row);
    QCOMPARE(item->text(2), QStringLiteral("00:30"));
    QCOMPARE(item->text(3), track(m_names[2]));
    if (fromDrop) {
        QVERIFY(qAbs(item->text(4).toInt() - 30000) <= 30);
    } else {
        QVERIFY(item->text(4).isEmpty());  // counts 0 in the total
    }
    // Adding never recomputes the total.
    QCOMPARE(rig.label(QStringLiteral("LblTemps")), QStringLiteral("0h0mn"));

    // An unreadable file adds nothing.
    QVERIFY(!rig.window->addBrowserRow({"X", "Y", "", track("Absent - X.wav")}, 0, true));
    QCOMPARE(rig.artists(), order);
}

void MainWindowTest::dropFromBrowser() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    rig.window->resize(1024, 600);
    openTracks(rig, {m_names[0], m_names[1]});
    PlaylistView* pl = rig.pl();
    auto* browser = rig.find<QTreeWidget>(QStringLiteral("ListRech"));

    // An empty browser gives nothing.
    pl->dropFrom(browser, rig.rowCentre(2));
    QCOMPARE(rig.artists(), QStringList({"Alpha", "Beta"}));

    auto* item =
        new QTreeWidgetItem(browser, QStringList{"Gamma", "Troisieme", "00:30", track(m_names[2])});
    browser->setCurrentItem(item);
    // Something dragged from elsewhere is refused.
    pl->dropFrom(rig.window.get(), rig.rowCentre(2));
    QCOMPARE(rig.artists().size(), 2);

    pl->dropFrom(browser, rig.rowCentre(2));
    QCOMPARE(rig.artists(), QStringList({"Alpha", "Gamma", "Beta"}));
    pl->dropFrom(browser, QPoint(10, pl->viewport()->height() - 5));
    QCOMPARE(rig.artists(), QStringList({"Alpha", "Gamma", "Beta", "Gamma"}));
    QVERIFY(rig.mirrorsModel());
}

// --- Meters and look ---

void MainWindowTest::levelMetersFollowOutput() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, m_names);
    auto* left = rig.find<ui::LevelMeterWidget>(QStringLiteral("MMLevelX1"));
    auto* right = rig.find<ui::LevelMeterWidget>(QStringLiteral("MMLevelX2"));
    rig.window->refreshLevels();
    QCOMPARE(left->shownLevel(), 0);
    rig.click(QStringLiteral("CmdPlay"));
    rig.driver->advanceMs(500);
    rig.window->refreshLevels();
    // The test tracks sit at half of full scale.
    QVERIFY2(left->shownLevel() > 12000 && left->shownLevel() < 20000,
             qPrintable(QString::number(left->shownLevel())));
    QCOMPARE(right->shownLevel(), left->shownLevel());

    // Silence: the bar falls back over the fall-off time, not at once.
    ui::LevelMeterWidget meter;
    meter.setLevel(ui::LevelMeterWidget::kFullScale);
    int updates = 0;
    while (meter.shownLevel() > 0 && updates < 100) {
        meter.setLevel(0);
        ++updates;
    }
    QCOMPARE(updates, ui::LevelMeterWidget::kFullScale / ui::LevelMeterWidget::kFallPerUpdate + 1);
}

// Renders the window on air with a few rows, for a look at it. The picture
// goes to $VARONEL_UI_GRAB when that is set.
void MainWindowTest::grabOnAir() {
    QTemporaryDir folder;
    Rig rig(folder.path());
    openTracks(rig, {m_names[0], m_names[1], m_names[2], m_names[0], m_names[1]});
    auto* browser = rig.find<QTreeWidget>(QStringLiteral("ListRech"));
    for (const QString& name : m_names) {
        new QTreeWidgetItem(browser,
                            {core::Artiste(name), core::Titre(name), "00:20", track(name)});
    }
    rig.window->resize(1024, 600);
    rig.window->show();
    rig.click(QStringLiteral("CmdPlay"));
    rig.driver->advanceMs(6200);
    rig.window->refreshLevels();
    rig.pl()->setCurrentItem(rig.pl()->topLevelItem(1));
    const QPixmap picture = rig.window->grab();
    QCOMPARE(picture.size(), QSize(1024, 600));
    // Every widget fits: the top panel's controls are not squeezed off screen.
    for (const char* name : {"CmdPlay", "CmdStopImmediat", "P1", "Output", "PFL", "LblReste"}) {
        QWidget* widget = rig.find<QWidget>(QString::fromLatin1(name));
        const QRect inWindow(widget->mapTo(rig.window.get(), QPoint(0, 0)), widget->size());
        QVERIFY2(rig.window->rect().contains(inWindow), name);
    }
    const QByteArray target = qgetenv("VARONEL_UI_GRAB");
    if (!target.isEmpty()) {
        QVERIFY(picture.save(QString::fromLocal8Bit(target)));
    }
    rig.window->hide();
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
