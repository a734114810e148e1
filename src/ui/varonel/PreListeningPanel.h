#pragma once
// The pre-listening group of the mixer's main window: its label, the play and
// stop buttons `btnPlay` and `btnStop`, the slider `TrackBarPFL` and the output
// list `PFL` (made by the output lists), bound to the pre-listening logic and
// to `Timer2`, which runs exactly while pre-listening plays.
//
// Main thread only.

#include <QObject>

#include "PreListening.h"
#include "Transport.h"

class QComboBox;
class QPushButton;
class QSlider;
class QTimer;

namespace varonel::ui {

class PreListeningPanel final : public QObject {
    Q_OBJECT

public:
    PreListeningPanel(QWidget* host, core::PreListening& preListening, core::Transport& transport,
                      QComboBox* pfl);

private:
    void applyDisplay();
    void applySlider();

    core::PreListening& m_preListening;
    core::Transport& m_transport;
    QComboBox* m_pfl;
    QPushButton* m_btnPlay = nullptr;
    QPushButton* m_btnStop = nullptr;
    QSlider* m_trackBarPfl = nullptr;
    QTimer* m_timer2 = nullptr;
};

}  // namespace varonel::ui
