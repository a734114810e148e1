#include "ui/varonel/TransportPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "core/automix/LevelStatistics.h"
#include "ui/shared/LevelMeterWidget.h"
#include "ui/shared/SeekSlider.h"
#include "ui/varonel/ButtonPictures.h"
#include "ui/varonel/MainWidgets.h"

namespace varonel::ui {

namespace {

constexpr int kPictureSize = 44;

// Sets a property that the style sheet reads and makes the widget take it on.
void setLook(QWidget* widget, const char* property, bool value) {
    widget->setProperty(property, value);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

}  // namespace

TransportPanel::TransportPanel(QWidget* host, core::Transport& transport, core::Timer3& timer3,
                               core::MainAudioChain& chain, QComboBox* output, QWidget* browserList)
    : QObject(host),
      m_transport(transport),
      m_timer3(timer3),
      m_chain(chain),
      m_output(output),
      m_browserList(browserList),
      m_btn(makeTransportPictures(kPictureSize)),
      m_p1Pictures(makeRequestPictures(kPictureSize - 8)) {
    buildOnAirPanel(host);
    buildButtonPanel(host);
    buildSettings(host);
    buildLevelTimer();
    connectControls();
    applyDisplay();
}

// --- Building ---

void TransportPanel::buildOnAirPanel(QWidget* host) {
    m_picture1 = makePanel(QStringLiteral("Picture1"), host);
    m_lblArtiste = makeLabel(QStringLiteral("LblArtiste"), QString(), m_picture1);
    m_lblPo = makeLabel(QStringLiteral("LblPo"), QString(), m_picture1);
    m_lblReste = makeLabel(QStringLiteral("LblReste"), QString(), m_picture1);
    m_lblReste->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_trackBar = new SeekSlider(m_picture1);
    m_trackBar->setObjectName(QStringLiteral("TrackBar"));
}

void TransportPanel::buildButtonPanel(QWidget* host) {
    m_picture2 = makePanel(QStringLiteral("Picture2"), host);
    m_cmdPlay =
        makePictureButton(QStringLiteral("CmdPlay"), QStringLiteral(" démarrage de la diffusion "),
                          kPictureSize, m_picture2);
    m_cmdStop =
        makePictureButton(QStringLiteral("CmdStop"), QStringLiteral(" Arrêt de la diffusion "),
                          kPictureSize, m_picture2);
    m_cmdStopImmediat =
        makePictureButton(QStringLiteral("CmdStopImmediat"), QStringLiteral(" Enchainement "),
                          kPictureSize, m_picture2);
    m_cmdStopImmediat->setIcon(makeChainPicture(kPictureSize));
    m_p1 = new QToolButton(m_picture2);
    m_p1->setObjectName(QStringLiteral("P1"));
    m_p1->setToolTip(QStringLiteral(" Active le mode requette automatique "));
    m_p1->setIconSize(QSize(kPictureSize - 8, kPictureSize - 8));
    m_p1->setFocusPolicy(Qt::NoFocus);
    m_p1->setAutoRaise(true);
    m_lblTime = makeLabel(QStringLiteral("LblTime"), QString(), m_picture2);
    m_lblTime->setAlignment(Qt::AlignCenter);
    m_levelLeft = new LevelMeterWidget(m_picture2);
    m_levelLeft->setObjectName(QStringLiteral("MMLevelX1"));
    m_levelRight = new LevelMeterWidget(m_picture2);
    m_levelRight->setObjectName(QStringLiteral("MMLevelX2"));
}

void TransportPanel::buildSettings(QWidget* host) {
    m_ps = makeSlider(QStringLiteral("PS"), host);
    m_ps->setRange(1, 30);
    m_ps->setValue(4);
    m_ps->setPageStep(1);
    m_ps->setToolTip(QStringLiteral(" Point de sortie "));
    makeLabel(QStringLiteral("LblPointSortie"), QStringLiteral("Point de sortie (secondes)"), host);
    m_lblPs = makeLabel(QStringLiteral("LblPS"), QString(), host);
    m_lblPs->setAlignment(Qt::AlignCenter);
    m_lblPs->setToolTip(QStringLiteral(" Point de sortie "));

    m_checkAutoMix = new QCheckBox(QStringLiteral(" Mix intelligent "), host);
    m_checkAutoMix->setObjectName(QStringLiteral("CheckAutoMix"));
    m_checkAutoMix->setFocusPolicy(Qt::NoFocus);
    m_mixagePourCent = new QComboBox(host);
    m_mixagePourCent->setObjectName(QStringLiteral("MixagePourCent"));
    m_mixagePourCent->setFocusPolicy(Qt::NoFocus);
    m_lblPourCent = makeLabel(QStringLiteral("LblPourCent"), QString(), host);
    m_lblPourCent->setAlignment(Qt::AlignCenter);

    makeLabel(QStringLiteral("LblTempsTitre"), QStringLiteral("Durée de la playlist"), host);
    m_lblTemps = makeLabel(QStringLiteral("LblTemps"), QString(), host);
    m_lblTemps->setToolTip(QStringLiteral(" Temps total de la playlist "));
}

void TransportPanel::buildLevelTimer() {
    m_levelTimer = makeTimer(QStringLiteral("TimerNiveaux"), kLevelRefreshMs, this);
    connect(m_levelTimer, &QTimer::timeout, this, &TransportPanel::refreshLevels);
    m_levelTimer->start();
}

void TransportPanel::connectControls() {
    core::Transport* transport = &m_transport;
    connect(transport, &core::Transport::displayChanged, this, &TransportPanel::applyDisplay);
    connect(transport, &core::Transport::focusBrowser, this,
            [this] { m_browserList->setFocus(Qt::OtherFocusReason); });

    connect(&m_timer3, &core::Timer3::timeChanged, m_lblTime, &QLabel::setText);
    connect(m_cmdPlay, &QPushButton::clicked, transport, &core::Transport::CmdPlay_Click);
    connect(m_cmdStop, &QPushButton::clicked, transport, &core::Transport::CmdStop_Click);
    connect(m_cmdStopImmediat, &QPushButton::clicked, transport,
            &core::Transport::CmdStopImmediat_Click);
    connect(m_p1, &QToolButton::clicked, transport, &core::Transport::P1_Click);
    connect(m_checkAutoMix, &QCheckBox::clicked, transport, &core::Transport::CheckAutoMix_Click);
    connect(m_mixagePourCent, &QComboBox::currentIndexChanged, this, [this](int entry) {
        if (entry >= 0) {
            m_transport.MixagePourCent_Click(entry);
        }
    });
    connect(m_ps, &QSlider::valueChanged, this, [this](int seconds) {
        m_lblPs->setText(QString::number(seconds));
        m_transport.PS_Change(seconds);
    });

    connect(m_trackBar, &QSlider::sliderPressed, transport, &core::Transport::TrackBar_Press);
    connect(m_trackBar, &QSlider::sliderReleased, this,
            [this] { m_transport.TrackBar_Release(m_trackBar->sliderPosition()); });
}

// --- Load and close ---

void TransportPanel::load() {
    m_lblPs->setText(QString::number(m_ps->value()));
    {
        const QSignalBlocker blocker(m_mixagePourCent);
        m_mixagePourCent->clear();
        m_mixagePourCent->addItems(core::mixagePourCentEntries());
    }
    m_mixagePourCent->setCurrentIndex(core::kMixagePourCentDefaultEntry);
    m_checkAutoMix->setChecked(true);
    m_transport.CheckAutoMix_Click(true);
}

// --- Display ---

void TransportPanel::applyDisplay() {
    const core::TransportDisplay& display = m_transport.display();
    m_lblArtiste->setText(display.artiste);
    m_lblArtiste->setToolTip(display.artiste);
    m_lblPo->setText(display.position);
    m_lblReste->setText(display.reste);
    m_lblTemps->setText(display.temps);
    m_lblTime->setText(m_timer3.time());
    m_lblPourCent->setText(display.pourCent);
    m_lblPourCent->setVisible(display.mixIntelligent);
    m_mixagePourCent->setVisible(display.mixIntelligent);
    m_checkAutoMix->setChecked(display.mixIntelligent);
    m_output->setEnabled(display.outputEnabled);

    // A slider held by the operator is left where the hand puts it.
    if (!m_trackBar->isSliderDown()) {
        const QSignalBlocker blocker(m_trackBar);
        m_trackBar->setMaximum(std::max(display.trackBarMaximum, 0));
        m_trackBar->setValue(display.trackBarValue);
    }
    if (m_ps->value() != display.exitPointSeconds) {
        const QSignalBlocker blocker(m_ps);
        m_ps->setValue(display.exitPointSeconds);
    }
    m_lblPs->setText(QString::number(m_ps->value()));

    if (display.playPicture != m_shownPlayPicture && display.playPicture >= 0 &&
        display.playPicture < m_btn.size()) {
        m_shownPlayPicture = display.playPicture;
        m_cmdPlay->setIcon(m_btn[display.playPicture]);
    }
    if (display.stopPicture != m_shownStopPicture && display.stopPicture >= 0 &&
        display.stopPicture < m_btn.size()) {
        m_shownStopPicture = display.stopPicture;
        m_cmdStop->setIcon(m_btn[display.stopPicture]);
    }
    const int p1Picture = display.requetteAuto ? 1 : 0;
    if (p1Picture != m_shownP1Picture) {
        m_shownP1Picture = p1Picture;
        m_p1->setIcon(m_p1Pictures[p1Picture]);
    }
    setOnAirLook(m_transport.EnDiffusion());
}

void TransportPanel::setOnAirLook(bool onAir) {
    if (int(onAir) == m_shownOnAir) {
        return;
    }
    m_shownOnAir = int(onAir);
    setLook(m_picture1, "onAir", onAir);
    setLook(m_lblArtiste, "onAir", onAir);
    setLook(m_lblReste, "onAir", onAir);
}

void TransportPanel::refreshLevels() {
    m_levelLeft->setLevel(m_chain.output->levelLeft());
    m_levelRight->setLevel(m_chain.output->levelRight());
}

}  // namespace varonel::ui
