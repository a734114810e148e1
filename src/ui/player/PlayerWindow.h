#pragma once
// The two-deck player's window `F1` ("DJ Orval Player"): the shell that holds
// both decks' players and their logic, builds the two deck panels, the output
// lists, the browser and the status bar `StatusBar1`, places every named control
// from the design table, runs the 50 ms tick `Timer1`, the joystick, the load
// and the close. No decision is taken here.

#include <QMainWindow>
#include <array>
#include <memory>

#include "audio/DeviceBackend.h"
#include "audio/Player.h"
#include "core/browser/DurationReader.h"
#include "core/player/JoystickControl.h"
#include "core/player/PlayerDecks.h"
#include "core/player/PlayerMainTimer.h"
#include "core/shared/Clock.h"
#include "core/shared/Dialogs.h"
#include "ui/shared/DesignTable.h"

class QLabel;
class QTimer;

namespace varonel::core {
class BrowserModel;
}

namespace varonel::ui {

class DeckKeys;
class DeckPanel;
class OutputLists;
class SdlJoystick;
class TrackBrowser;

class PlayerWindow final : public QMainWindow {
    Q_OBJECT

public:
    struct LoadOptions {
        QString cheminAppli;   // empty: the program folder
        int screenWidth = -1;  // -1: the primary screen's width
    };

    using DeckPlayers = std::array<std::unique_ptr<audio::Player>, core::kDeckCount>;
    // The program's decks on `backend`, in one group: a deck that lost its
    // device never falls back onto the other's, so a track being prepared never
    // reaches the audience.
    static DeckPlayers deckPlayers(audio::DeviceBackend& backend);

    // Null players play on the system's sound devices (deckPlayers()).
    PlayerWindow(std::unique_ptr<core::Clock> clock, core::Dialogs& dialogs,
                 std::unique_ptr<audio::Player> deckA = nullptr,
                 std::unique_ptr<audio::Player> deckB = nullptr, QWidget* parent = nullptr);
    ~PlayerWindow() override;

    // The load sequence. False when the screen is too narrow: the message has
    // been shown and the program is to end.
    bool Form_Load(const LoadOptions& options);

    // "Load" reads PlayerAB.Ini and selects both decks' outputs; "Save"
    // writes them. Any other text does nothing.
    void LSOutputPlayer(const QString& cmd);

    core::PlayerDecks& decks() { return *m_decks; }
    core::PlayerMainTimer& mainTimer() { return *m_mainTimer; }
    core::JoystickControl& joystick() { return *m_joystick; }
    SdlJoystick& joystickInput() { return *m_joystickInput; }
    TrackBrowser& browser() { return *m_browser; }
    const DesignTable& design() const { return m_design; }
    const QString& fichierIni() const { return m_fichierIni; }

signals:
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildParts();
    void buildStatusBar();
    void buildLostOutputMarks();
    void applyOptions(const QString& fichierOptions);
    void fillDeviceLists();
    void applyDisplay();
    void tick();

    std::unique_ptr<core::Clock> m_clock;
    core::Dialogs& m_dialogs;
    DeckPlayers m_players;
    std::unique_ptr<core::PlayerDecks> m_decks;
    std::unique_ptr<DeckKeys> m_keys;
    std::unique_ptr<core::PlayerMainTimer> m_mainTimer;
    std::unique_ptr<core::JoystickControl> m_joystick;
    std::unique_ptr<core::BrowserModel> m_browserModel;
    // The player lists no durations: its reader only reads the tags of the
    // files whose name gives no artist.
    std::unique_ptr<core::DurationReader> m_tags;
    DesignTable m_design;

    QWidget* m_centre = nullptr;
    TrackBrowser* m_browser = nullptr;
    OutputLists* m_outputs = nullptr;
    std::array<DeckPanel*, core::kDeckCount> m_deckPanels{};
    std::array<QLabel*, 5> m_panels{};
    QLabel* m_info = nullptr;
    QLabel* m_lblBtn = nullptr;
    QLabel* m_x = nullptr;
    QLabel* m_y = nullptr;
    QLabel* m_ecart = nullptr;
    QTimer* m_timer1 = nullptr;
    SdlJoystick* m_joystickInput = nullptr;
    QString m_cheminAppli;
    QString m_fichierIni;
};

}  // namespace varonel::ui
