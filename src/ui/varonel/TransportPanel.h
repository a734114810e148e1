#pragma once
// The transport's side of the mixer's main window: the on-air panels (Picture1
// with the artist, position, time left and slider; Picture2 with the start,
// stop and chain buttons, the request switch, the clock and the level meters),
// the exit point, the smart mix and the total time. It forwards the operator's
// clicks to the transport and copies what the transport (and Timer3's clock)
// show into the widgets; it decides nothing itself, and owns no tick of the
// transport's.
//
// Main thread only.

#include <QList>
#include <QObject>
#include <QPixmap>

#include "core/automix/MainAudioChain.h"
#include "core/automix/Timer3.h"
#include "core/automix/Transport.h"

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

    // Creates the controls as named children of `host` (no layout: the design
    // table places them). `output` is the main output list, disabled on air;
    // `browserList` takes the focus after each start and stop.
    TransportPanel(QWidget* host, core::Transport& transport, core::Timer3& timer3,
                   core::MainAudioChain& chain, QComboBox* output, QWidget* browserList);

    // The load's part: the threshold list with "50" chosen, LblPS, and the
    // smart mix ticked (its click handler runs).
    void load();
    // Reads the main output's two levels into MMLevelX1 and MMLevelX2.
    void refreshLevels();

private:
    void buildOnAirPanel(QWidget* host);
    void buildButtonPanel(QWidget* host);
    void buildSettings(QWidget* host);
    void buildLevelTimer();
    void connectControls();
    void applyDisplay();
    void setOnAirLook(bool onAir);

    core::Transport& m_transport;
    core::Timer3& m_timer3;
    core::MainAudioChain& m_chain;
    QComboBox* m_output;
    QWidget* m_browserList;

    QList<QPixmap> m_btn;  // Btn, in core::ButtonPicture order
    QList<QPixmap> m_p1Pictures;
    int m_shownPlayPicture = -1;
    int m_shownStopPicture = -1;
    int m_shownP1Picture = -1;
    int m_shownOnAir = -1;

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
