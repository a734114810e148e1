#include "PreListeningPanel.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "ButtonPictures.h"
#include "MainWidgets.h"
#include "SeekSlider.h"
#include "TransportDisplay.h"

namespace varonel::ui {

namespace {
constexpr int kPictureSize = 24;
}

PreListeningPanel::PreListeningPanel(QWidget* host, core::PreListening& preListening,
                                     core::Transport& transport, QComboBox* pfl)
    : QObject(host), m_preListening(preListening), m_transport(transport), m_pfl(pfl) {
    makeLabel(QStringLiteral("Label2"), QStringLiteral("Pré-écoute (PFL)"), host);
    const QList<QPixmap> pictures = makeTransportPictures(kPictureSize);
    m_btnPlay = makePictureButton(QStringLiteral("btnPlay"), QStringLiteral(" Pré-écoute "),
                                  kPictureSize, host);
    m_btnPlay->setIcon(pictures[core::kPlayIdle]);
    m_btnStop = makePictureButton(QStringLiteral("btnStop"),
                                  QStringLiteral(" Arrêt de la pré-écoute "), kPictureSize, host);
    m_btnStop->setIcon(pictures[core::kStopIdle]);
    m_trackBarPfl = new SeekSlider(host);
    m_trackBarPfl->setObjectName(QStringLiteral("TrackBarPFL"));
    m_timer2 = makeTimer(QStringLiteral("Timer2"), core::Transport::kTimer2PeriodMs, this);

    connect(m_btnPlay, &QPushButton::clicked, this, [this] { m_preListening.btnPlay_Click(); });
    connect(m_btnStop, &QPushButton::clicked, this, [this] { m_preListening.btnStop_Click(); });
    connect(m_timer2, &QTimer::timeout, this, [this] { m_transport.Timer2_Timer(); });
    connect(m_trackBarPfl, &QSlider::sliderPressed, this,
            [this] { m_transport.TrackBarPFL_Press(); });
    // Let go first, so that the slider follows the seek at once.
    connect(m_trackBarPfl, &QSlider::sliderReleased, this, [this] {
        m_transport.TrackBarPFL_Release();
        m_preListening.TrackBarPFL_Release(m_trackBarPfl->sliderPosition());
    });
    connect(&m_preListening, &core::PreListening::displayChanged, this,
            &PreListeningPanel::applyDisplay);
    connect(&m_transport, &core::Transport::displayChanged, this, &PreListeningPanel::applySlider);
    applyDisplay();
}

void PreListeningPanel::applyDisplay() {
    const core::PreListeningDisplay& display = m_preListening.display();
    m_btnPlay->setEnabled(display.buttonsEnabled);
    m_btnStop->setEnabled(display.buttonsEnabled);
    m_pfl->setEnabled(display.outputEnabled);
    if (display.timer2Enabled != m_timer2->isActive()) {
        display.timer2Enabled ? m_timer2->start() : m_timer2->stop();
    }
    {
        const QSignalBlocker blocker(m_trackBarPfl);
        m_trackBarPfl->setMaximum(std::max(display.barMaximum, 0));
        if (m_preListening.takeBarReset()) {
            m_trackBarPfl->setValue(0);
        }
    }
    // The transport's ticks repeat the position they last read, which may be
    // the previous track's or the one before a seek: it is read again now.
    m_transport.followPfl();
}

// The transport's ticks move the slider, unless the operator holds it.
void PreListeningPanel::applySlider() {
    if (!m_trackBarPfl->isSliderDown()) {
        const QSignalBlocker blocker(m_trackBarPfl);
        m_trackBarPfl->setValue(m_transport.display().pflBarValue);
    }
}

}  // namespace varonel::ui
