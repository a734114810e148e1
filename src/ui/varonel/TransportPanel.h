#pragma once
// The transport's side of the mixer's main window: the on-air panels (Picture1
// with the artist, position, time left and slider; Picture2 with the start,
// stop and chain buttons, the request switch, the clock and the level meters),
// the exit point, the smart mix, the total time, and the timers that tick the
// transport. It forwards the operator's clicks to the transport and copies what
// the transport shows into the widgets; it decides nothing itself.
//
// Main thread only.

#include <QList>
#include <QObject>
#include <QPixmap>

#include "MainAudioChain.h"
#include "Transport.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;

namespace varonel::ui {

class LevelMeterWidget;

class TransportPanel final : public QObject {
    Q_OBJECT

public:
    static constexpr int kLevelRefreshMs = 50;
    static constexpr int kWaitPollMs = 20;

    // Creates the controls as named children of `host` (no layout: the design
    // table places them). `output` is the main output list, disabled on air;
    // `browserList` takes the focus after each start and stop.
    TransportPanel(QWidget* host, core::Transport& transport, core::MainAudioChain& chain,
                   QComboBox* output, QWidget* browserList);

    // Calls into the transport go through here, so that Timer1 runs exactly
    // while the transport wants its tick and the widgets show the result.
    template <typename F>
    void forward(F&& call) {
        call();
        syncTimer1();
    }

    // The load's part: the threshold list with "50" chosen, LblPS, and the
    // smart mix ticked (its click handler runs).
    void load();
    // Reads the main output's two levels into MMLevelX1 and MMLevelX2.
    void refreshLevels();
    // Stops the transport's tick for good (the window closes).
    void stopTicks();

private:
    void buildOnAirPanel(QWidget* host);
    void buildButtonPanel(QWidget* host);
    void buildSettings(QWidget* host);
    void buildTimers();
    void connectControls();
    void applyDisplay();
    void setOnAirLook(bool onAir);
    void syncTimer1();

    core::Transport& m_transport;
    core::MainAudioChain& m_chain;
    QComboBox* m_output;
    QWidget* m_browserList;

    QList<QPixmap> m_btn;  // Btn, in core::ButtonPicture order
    QList<QPixmap> m_p1Pictures;
    int m_shownPlayPicture = -1;
    int m_shownStopPicture = -1;
    int m_shownP1Picture = -1;
    int m_shownOnAir = -1;

    QTimer* m_timer1 = nullptr;
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
    QSlider* m_ps = nullptr;
    LevelMeterWidget* m_levelLeft = nullptr;
    LevelMeterWidget* m_levelRight = nullptr;
    QPushButton* m_cmdPlay = nullptr;
    QPushButton* m_cmdStop = nullptr;
    QPushButton* m_cmdStopImmediat = nullptr;
    QToolButton* m_p1 = nullptr;
    QCheckBox* m_checkAutoMix = nullptr;
    QComboBox* m_mixagePourCent = nullptr;
};

}  // namespace varonel::ui
