#pragma once
// The main window `F1` of the automatic mixer. It owns the sound chain, the
// playlist and the transport, forwards the operator's clicks, keys and drops to
// them, and copies what the transport shows into its widgets. It makes no
// decision of the transport's own.

#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QStringList>
#include <functional>
#include <memory>

#include "Clock.h"
#include "Dialogs.h"
#include "MainAudioChain.h"
#include "PlaylistModel.h"
#include "TrackLengthReader.h"
#include "Transport.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;
class QTreeWidget;

namespace varonel::ui {

class TransportKeys;
class LevelMeterWidget;
class PlaylistView;

class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kMinimumScreenWidth = 800;
    static constexpr int kLevelRefreshMs = 50;
    static constexpr int kWaitPollMs = 20;

    // What the load takes from its caller; every field has the program's value
    // by default.
    struct LoadOptions {
        QString cheminAppli;        // empty: the program folder (core::CheminAppli())
        QWidget* splash = nullptr;  // hidden once the window is ready
        int screenWidth = -1;       // -1: the primary screen's width
    };

    MainWindow(std::unique_ptr<core::MainAudioChain> chain, std::unique_ptr<core::Clock> clock,
               core::Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load sequence. False when the screen is too narrow: the message has
    // been shown and the program is to end.
    bool Form_Load(const LoadOptions& options);
    bool Form_Load() { return Form_Load(LoadOptions()); }
    static bool screenWideEnough(int widthPx) { return widthPx >= kMinimumScreenWidth; }

    // "Load" reads the settings file and selects the two outputs; "Save" writes
    // them. Any other text does nothing.
    void LSOutputPlayer(const QString& cmd);
    // Recomputes the total time shown in LblTemps.
    void CalculTiming();

    // A row of the browser (cells 0 to 3: artist, title, duration, path) goes
    // into the playlist before row `insertBefore` (from 1), or at the end when
    // insertBefore is 0. The duration is read again from the file, and a drop
    // also fills the milliseconds that the total time counts. False, and
    // nothing added, when the file cannot be read.
    bool addBrowserRow(const QStringList& cells, int insertBefore, bool fromDrop);

    // Makes PL show the playlist model.
    void syncPlaylist();

    // The browser's random request ("Requette"); nothing until the browser has one.
    void setRequetteHook(std::function<void()> hook) { m_requetteHook = std::move(hook); }

    core::Transport& transport() { return *m_transport; }
    core::PlaylistModel& playlist() { return m_playlist; }
    core::MainAudioChain& chain() { return *m_chain; }
    TransportKeys& keys() { return *m_keys; }
    const QString& cheminAppli() const { return m_cheminAppli; }
    const QString& fichierIni() const { return m_fichierIni; }
    const QString& fichierCatalogue() const { return m_fichierCatalogue; }

    // The playlist's reader of track lengths: source 2 of the chain, released
    // again after each reading.
    core::TrackLengthReader lengthReader();

    // Reads the two level meters of the main output into MMLevelX1 and MMLevelX2.
    void refreshLevels();

signals:
    // The window closed for good: the program is to end.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    QWidget* buildTopPanel();
    QWidget* buildBottomPanel();
    void buildMenus();
    void buildTimers();
    void connectTransport();
    void applyStyle();

    // Calls into the transport go through here, so that Timer1 runs exactly
    // while the transport wants its tick.
    template <typename F>
    void forward(F&& call) {
        call();
        syncTimer1();
    }
    void syncTimer1();
    void applyDisplay();
    void setOnAirLook(bool onAir);

    void fillDeviceLists();
    void Output_Click(int entry);
    void mnuNouvelle_Click();
    void MnuOuvrir_Click();
    void MnuSauver_Click();
    void mnuRequette_Click();
    void mnuQuitter_Click();
    void Requette();
    void PL_DeleteReleased();
    void PL_ReorderDropped(int from, int to);
    void PL_BrowserDropped(int insertBefore);
    void mauvaisChoixDeSortie();

    std::unique_ptr<core::MainAudioChain> m_chain;
    std::unique_ptr<core::Clock> m_clock;
    core::Dialogs& m_dialogs;
    core::PlaylistModel m_playlist;
    std::unique_ptr<core::Transport> m_transport;
    std::unique_ptr<TransportKeys> m_keys;
    std::function<void()> m_requetteHook;

    QString m_cheminAppli;
    QString m_fichierIni;
    QString m_fichierCatalogue;

    QList<QPixmap> m_btn;  // Btn: core::ButtonPicture order
    QList<QPixmap> m_p1Pictures;
    int m_shownPlayPicture = -1;
    int m_shownStopPicture = -1;
    int m_shownP1Picture = -1;
    int m_shownOnAir = -1;

    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    QTimer* m_timer3 = nullptr;
    QTimer* m_waitTimer = nullptr;
    QTimer* m_levelTimer = nullptr;

    QFrame* m_picture1 = nullptr;
    QFrame* m_picture2 = nullptr;
    QLabel* m_lblArtiste = nullptr;
    QLabel* m_lblPo = nullptr;
    QLabel* m_lblReste = nullptr;
    QLabel* m_lblTemps = nullptr;
    QLabel* m_lblTime = nullptr;
    QLabel* m_lblPs = nullptr;
    QLabel* m_lblPourCent = nullptr;
    QSlider* m_trackBar = nullptr;
    QSlider* m_trackBarPfl = nullptr;
    QSlider* m_ps = nullptr;
    LevelMeterWidget* m_levelLeft = nullptr;
    LevelMeterWidget* m_levelRight = nullptr;
    QPushButton* m_cmdPlay = nullptr;
    QPushButton* m_cmdStop = nullptr;
    QPushButton* m_cmdStopImmediat = nullptr;
    QToolButton* m_p1 = nullptr;
    QCheckBox* m_checkAutoMix = nullptr;
    QComboBox* m_mixagePourCent = nullptr;
    QComboBox* m_output = nullptr;
    QComboBox* m_pfl = nullptr;
    QTreeWidget* m_listRech = nullptr;
    PlaylistView* m_pl = nullptr;
};

}  // namespace varonel::ui
