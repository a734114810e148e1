#include "ui/varonel/PreListeningPanel.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "core/automix/TransportDisplay.h"
#include "ui/shared/SeekSlider.h"
#include "ui/varonel/ButtonPictures.h"
#include "ui/varonel/MainWidgets.h"

namespace varonel::ui {

namespace {
constexpr int kPictureSize = 24;
}

PreListeningPanel::PreListeningPanel(QWidget* host, core::PreListening& preListening,
                                     QComboBox* pfl)
    : QObject(host), m_preListening(preListening), m_pfl(pfl) {
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

    connect(m_btnPlay, &QPushButton::clicked, this, [this] { m_preListening.btnPlay_Click(); });
    connect(m_btnStop, &QPushButton::clicked, this, [this] { m_preListening.btnStop_Click(); });
    connect(m_trackBarPfl, &QSlider::sliderPressed, this,
            [this] { m_preListening.TrackBarPFL_Press(); });
    connect(m_trackBarPfl, &QSlider::sliderReleased, this,
            [this] { m_preListening.TrackBarPFL_Release(m_trackBarPfl->sliderPosition()); });
    connect(&m_preListening, &core::PreListening::displayChanged, this,
            &PreListeningPanel::applyDisplay);
    applyDisplay();
}

void PreListeningPanel::applyDisplay() {
    const core::PreListeningDisplay& display = m_preListening.display();
    m_btnPlay->setEnabled(display.buttonsEnabled);
    m_btnStop->setEnabled(display.buttonsEnabled);
    m_pfl->setEnabled(display.outputEnabled);
    // A slider held by the operator is left where the hand puts it.
    if (!m_trackBarPfl->isSliderDown()) {
        const QSignalBlocker blocker(m_trackBarPfl);
        m_trackBarPfl->setMaximum(std::max(display.barMaximum, 0));
        m_trackBarPfl->setValue(display.barValue);
    }
}

}  // namespace varonel::ui
