#include "ui/player/DeckPanel.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolBar>

#include "ui/player/DeckMeter.h"
#include "ui/player/DropTarget.h"
#include "ui/player/PitchSlider.h"
#include "ui/player/ProgressBar.h"
#include "ui/shared/SeekSlider.h"

namespace varonel::ui {

namespace {

QString named(const char* name, int deck) {
    return QLatin1String(name) + QString::number(deck);
}

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

const QColor kSelectedSlider(255, 0, 0);
const QColor kSelectedMeter(0, 0, 192);

}  // namespace

DeckPanel::DeckPanel(QWidget* host, core::PlayerDecks& decks, int deck,
                     const core::BrowserModel* browser)
    : QObject(host), m_decks(decks), m_deck(deck) {
    buildPanel(host, browser);
    buildAround(host, browser);
    buildToolbar();
    connectSliders();
    applyDisplay();
}

void DeckPanel::buildPanel(QWidget* host, const core::BrowserModel* browser) {
    m_platine = new QFrame(host);
    m_platine->setObjectName(named("PlatineA", m_deck));
    m_lblArtiste = makeLabel(named("LblArtiste", m_deck), QString(), m_platine);
    m_lblArtiste->setAlignment(Qt::AlignCenter);
    m_picture1 = new QFrame(m_platine);
    m_picture1->setObjectName(named("Picture1", m_deck));
    m_temp = makeLabel(named("Temp", m_deck), QString(), m_picture1);
    m_temp->setAlignment(Qt::AlignCenter);
    m_label2 = makeLabel(named("Label2", m_deck), QString(), m_picture1);
    m_label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Kept as the design has it, though nothing writes it.
    makeLabel(named("Label1", m_deck), QStringLiteral("0"), m_picture1)->hide();
    m_vuMettre = new ProgressBar(m_platine);
    m_vuMettre->setObjectName(named("VuMettre", m_deck));
    m_pitch = new PitchSlider(m_platine);
    m_pitch->setObjectName(named("Pitch", m_deck));
    m_pitch->setToolTip(QStringLiteral(" Pitch (demi pour cent) "));
    m_memoPitch = makeLabel(named("MemoPitch", m_deck), QString(), m_platine);
    m_memoPitch->setAlignment(Qt::AlignCenter);
    QLabel* name = makeLabel(
        named("LblPlatine", m_deck),
        m_deck == 0 ? QStringLiteral("Platine A") : QStringLiteral("Platine B"), m_platine);
    name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The deck's name is printed on its panel: clicks and drops go to the panel.
    name->setAttribute(Qt::WA_TransparentForMouseEvents);

    for (QWidget* target : {static_cast<QWidget*>(m_platine), static_cast<QWidget*>(m_picture1),
                            static_cast<QWidget*>(m_lblArtiste)}) {
        auto* drop = new DropTarget(target, m_deck, browser);
        connect(drop, &DropTarget::dropped, &m_decks, &core::PlayerDecks::dropOnDeck);
        target->installEventFilter(this);
    }
}

void DeckPanel::buildAround(QWidget* host, const core::BrowserModel* browser) {
    m_slider = new SeekSlider(host);
    m_slider->setObjectName(named("Slider", m_deck));
    m_cueInfo = makeLabel(named("CueInfo", m_deck), QString(), host);
    m_cueInfo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int i = 0; i < 2; ++i) {
        auto* meter = new DeckMeter(2 * m_deck + i, browser, host);
        connect(meter, &DeckMeter::clicked, &m_decks, &core::PlayerDecks::MMMeterX_Click);
        connect(meter, &DeckMeter::dragPassed, &m_decks, &core::PlayerDecks::meterDragPass);
        m_meters[size_t(i)] = meter;
    }
}

void DeckPanel::buildToolbar() {
    m_bar1 = new QToolBar(m_platine);
    m_bar1->setObjectName(named("bar1", m_deck));
    m_bar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::pair<const char*, core::Bar1Button> buttons[] = {
        {"Stop", core::Bar1Button::Stop},
        {"Play", core::Bar1Button::Play},
        {"Cue", core::Bar1Button::Cue},
        {"CuePlay", core::Bar1Button::CuePlay}};
    for (const auto& [name, button] : buttons) {
        QAction* action = m_bar1->addAction(QLatin1String(name));
        action->setObjectName(QLatin1String(name));
        const core::Bar1Button pressed = button;
        connect(action, &QAction::triggered, this,
                [this, pressed] { m_decks.bar1_ButtonClick(m_deck, pressed); });
        m_bar1->widgetForAction(action)->setFocusPolicy(Qt::NoFocus);
    }
}

void DeckPanel::connectSliders() {
    connect(m_pitch, &QSlider::valueChanged, this,
            [this](int value) { m_decks.Pitch_Change(m_deck, value); });
    connect(m_slider, &QSlider::sliderPressed, this, [this] { m_decks.Slider_Press(m_deck); });
    connect(m_slider, &QSlider::sliderReleased, this,
            [this] { m_decks.Slider_Release(m_deck, m_slider->sliderPosition()); });
}

void DeckPanel::applyDisplay() {
    const core::DeckDisplay& shown = m_decks.display().decks[size_t(m_deck)];
    m_lblArtiste->setText(shown.artiste);
    m_lblArtiste->setToolTip(shown.artiste);
    m_temp->setText(shown.temp);
    m_label2->setText(shown.length);
    m_memoPitch->setText(shown.memoPitch);
    m_cueInfo->setText(shown.cueInfo);
    m_vuMettre->setBar(shown.progressScale, shown.progressSeconds);
    {
        const QSignalBlocker blocker(m_pitch);
        m_pitch->setValue(shown.pitch);
    }
    if (!m_slider->isSliderDown()) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setMaximum(std::max(shown.sliderMaximum, 0));
        m_slider->setValue(shown.sliderValue);
    }
    m_slider->setEnabled(shown.sliderEnabled);
    showSelected(shown.selected);
}

void DeckPanel::showSelected(bool selected) {
    if (int(selected) == m_shownSelected) {
        return;
    }
    m_shownSelected = int(selected);
    const QString sliderLook =
        selected ? QStringLiteral("QSlider { background: %1; }").arg(kSelectedSlider.name())
                 : QString();
    m_slider->setStyleSheet(sliderLook);
    m_pitch->setStyleSheet(sliderLook);
    for (DeckMeter* meter : m_meters) {
        meter->setBackground(selected ? kSelectedMeter : QColor(Qt::black));
    }
}

bool DeckPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        m_decks.selectDeck(m_deck);
    }
    return QObject::eventFilter(watched, event);
}

void DeckPanel::refreshLevels() {
    m_meters[0]->setLevel(m_decks.player(m_deck).levelLeft());
    m_meters[1]->setLevel(m_decks.player(m_deck).levelRight());
}

}  // namespace varonel::ui
