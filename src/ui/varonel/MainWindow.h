#pragma once
// The main window `F1` of the automatic mixer: the shell that holds the sound
// chain, the playlist, the transport and pre-listening, builds the window's
// parts (transport panel, playlist commands, browser, pre-listening group,
// output lists), places every named control from the design table, and runs
// the load, the menus and the close. Its button `P3` opens the catalogue
// window `F3`. Below the design table's controls, a status line tells what
// went wrong without stopping anything; the load starts the as-run log. The
// parts forward the operator's gestures to the core and show what it says; no
// decision is taken here.

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "audio/Player.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/ResumeState.h"
#include "core/automix/Timer3.h"
#include "core/automix/TrackPreparation.h"
#include "core/automix/Transport.h"
#include "core/playlist/PlaylistModel.h"
#include "core/prelistening/PreListening.h"
#include "core/request/PlayHistory.h"
#include "core/request/RequetteRound.h"
#include "core/shared/Clock.h"
#include "core/shared/Dialogs.h"
#include "core/shared/StatusLine.h"
#include "core/shared/Ticks.h"
#include "core/shared/TrackLengthReader.h"
#include "ui/shared/DesignTable.h"

namespace varonel::core {
class AsRunLog;
class ResumeJournal;
}  // namespace varonel::core

namespace varonel::ui {

class CatalogueWindow;
class MixerBrowser;
class OutputLists;
class PlaylistCommands;
class PreListeningPanel;
class SoundOptionsMenu;
class TransportKeys;
class TransportPanel;

class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    // How often the playlist's new rows are handed to the analysis.
    static constexpr int kPrepareEveryMs = 2000;

    // What the load takes from its caller; every field has the program's value
    // by default.
    struct LoadOptions {
        QString cheminAppli;        // empty: the program folder (core::CheminAppli())
        QWidget* splash = nullptr;  // hidden once the window is ready
        int screenWidth = -1;       // -1: the primary screen's width
        QString desktopFolder;      // empty: the user's desktop folder
    };

    // `wavePfl` is the pre-listening player; null plays on a sound device.
    // `ticks` makes the ticks of the transport and of pre-listening: the window's
    // own timers when null, virtual ones in tests.
    MainWindow(std::unique_ptr<core::MainAudioChain> chain, std::unique_ptr<core::Clock> clock,
               core::Dialogs& dialogs, std::unique_ptr<audio::Player> wavePfl = nullptr,
               core::TickSource* ticks = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load sequence. False when the screen is too narrow: the message has
    // been shown and the program is to end. A session that did not end
    // cleanly comes back with its playlist and switches.
    bool Form_Load(const LoadOptions& options);
    bool Form_Load() { return Form_Load(LoadOptions()); }
    // Once the window shows: when the last session was cut off on air, asks
    // whether to resume it; then keeps the session on disk from now on.
    void offerResume();

    // "Load" reads the settings file and selects the two outputs; "Save" writes
    // them. Any other text does nothing.
    void LSOutputPlayer(const QString& cmd);
    // Recomputes the total time shown in LblTemps.
    void CalculTiming();
    // Tops the playlist up from the browser ("Requette").
    void Requette();

    core::Transport& transport() { return *m_transport; }
    core::PlaylistModel& playlist() { return m_playlist; }
    core::MainAudioChain& chain() { return *m_chain; }
    core::PreListening& preListening() { return *m_preListening; }
    core::TrackPreparation& preparation() { return *m_preparation; }
    MixerBrowser& browser() { return *m_browser; }
    PlaylistCommands& playlistCommands() { return *m_commands; }
    TransportKeys& keys() { return *m_keys; }
    // What the operator must learn without a message box (a track skipped, a
    // row not added, a request with nothing to take): post() it here.
    core::StatusLine& statusLine() { return *m_statusLine; }
    // The as-run log, from the load on; null before.
    core::AsRunLog* asRunLog() const { return m_asRunLog; }
    // The resume state on disk, from offerResume() on; null before.
    core::ResumeJournal* resumeJournal() const { return m_journal; }
    const QString& fichierReprise() const { return m_fichierReprise; }
    const DesignTable& design() const { return m_design; }
    const QString& cheminAppli() const { return m_cheminAppli; }
    const QString& fichierIni() const { return m_fichierIni; }
    const QString& fichierCatalogue() const { return m_fichierCatalogue; }

    // The playlist's reader of track lengths: source 2 of the chain, released
    // again after each reading.
    core::TrackLengthReader lengthReader();
    // Reads the two level meters of the main output into MMLevelX1 and MMLevelX2.
    void refreshLevels();

    // Opens the catalogue window with the busy pointer, or brings the open one
    // back above the others.
    void P3_Click();
    // The open catalogue window; null when none is open.
    CatalogueWindow* catalogueWindow() const;

signals:
    // The window closed for good: the program is to end.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildParts();
    void buildStatusLine();
    void buildMenus();
    void buildHelpMenu();
    void prepareTracksAhead();
    void buildLostOutputMarks();
    void showLost(const QString& caption, const QString& text, const QString& mark);
    void applyOptions(const QString& fichierOptions);
    void fillDeviceLists();
    void outputChosen(int list, int entry);
    void Output_Click(int entry);
    void mnuQuitter_Click();
    void restorePreviousSession();

    std::unique_ptr<core::MainAudioChain> m_chain;
    std::unique_ptr<audio::Player> m_wavePfl;
    std::unique_ptr<core::Clock> m_clock;
    core::Dialogs& m_dialogs;
    std::unique_ptr<core::TickSource> m_ownTicks;
    core::TickSource& m_ticks;
    std::unique_ptr<core::StatusLine> m_statusLine;
    core::PlaylistModel m_playlist;
    std::unique_ptr<core::Transport> m_transport;
    std::unique_ptr<core::Timer3> m_timer3;
    core::PlayHistory m_history;
    std::unique_ptr<core::RequetteRound> m_round;
    std::unique_ptr<core::PreListening> m_preListening;
    std::unique_ptr<core::TrackPreparation> m_preparation;
    std::unique_ptr<TransportKeys> m_keys;
    DesignTable m_design;

    QWidget* m_centre = nullptr;
    OutputLists* m_outputs = nullptr;
    PlaylistCommands* m_commands = nullptr;
    MixerBrowser* m_browser = nullptr;
    TransportPanel* m_transportPanel = nullptr;
    PreListeningPanel* m_preListeningPanel = nullptr;
    SoundOptionsMenu* m_soundOptions = nullptr;
    QPointer<CatalogueWindow> m_catalogue;
    core::AsRunLog* m_asRunLog = nullptr;
    core::ResumeJournal* m_journal = nullptr;
    core::ResumeState m_interrupted;  // the session cut off on air, until offerResume()
    bool m_resumePending = false;

    QString m_cheminAppli;
    QString m_desktopFolder;
    QWidget* m_about = nullptr;
    QString m_fichierIni;
    QString m_fichierCatalogue;
    QString m_fichierReprise;
};

}  // namespace varonel::ui
