#pragma once
// The pre-listening group of the mixer's main window: its label, the play and
// stop buttons `btnPlay` and `btnStop`, the slider `TrackBarPFL` and the output
// list `PFL` (made by the output lists), showing the pre-listening logic and
// forwarding the operator's gestures to it.
//
// Main thread only.

#include <QObject>

#include "core/prelistening/PreListening.h"

class QComboBox;
class QPushButton;
class QSlider;

namespace varonel::ui {

class PreListeningPanel final : public QObject {
    Q_OBJECT

public:
    PreListeningPanel(QWidget* host, core::PreListening& preListening, QComboBox* pfl);

private:
    void applyDisplay();

    core::PreListening& m_preListening;
    QComboBox* m_pfl;
    QPushButton* m_btnPlay = nullptr;
    QPushButton* m_btnStop = nullptr;
    QSlider* m_trackBarPfl = nullptr;
};

}  // namespace varonel::ui
