#include "core/player/PlayerDecks.h"

#include <QLocale>
#include <algorithm>

#include "audio/TimeText.h"
#include "core/shared/DeviceList.h"
#include "core/shared/ExisteFichier.h"
#include "core/shared/TrackNaming.h"

namespace varonel::core {

namespace {

QString cueText(int32_t ms) {
    return QString::fromStdString(audio::timeText(ms));
}

}  // namespace

QString memoPitchText(int sliderValue) {
    return QLocale::system().toString(double(sliderValue) / 2.0);
}

PlayerDecks::PlayerDecks(audio::Player& deckA, audio::Player& deckB, Dialogs& dialogs,
                         QObject* parent)
    : QObject(parent), m_players{&deckA, &deckB}, m_dialogs(dialogs) {
    m_display.decks[0].selected = true;
}

bool PlayerDecks::playing(int deck) const {
    return player(deck).state() == audio::Player::kStatePlaying;
}

void PlayerDecks::setPlatineCourante(int deck) {
    m_platineCourante = std::clamp(deck, 0, kDeckCount - 1);
}

// --- Loading and starting ---

void PlayerDecks::LoadAudioFile() {
    const int d = m_platineCourante;
    if (playing(d)) {
        changed();  // a playing deck cannot be reloaded; it is still the selected one
        return;
    }
    DeckDisplay& shown = deck(d);
    shown.artiste = m_morceauGlisse.artist + QStringLiteral("  ") + m_morceauGlisse.title;
    shown.temp = QStringLiteral("--:--");
    // A file that cannot be opened is not reported here: the deck shows the
    // length its player gives (none), and a start does nothing.
    player(d).setFileName(m_morceauGlisse.path.toStdString());
    shown.length = FTime(player(d).lengthMs());
    setPitchValue(d, 0);
    shown.sliderMaximum = player(d).lengthMs();
    shown.sliderValue = 0;
    shown.sliderEnabled = player(d).seekable();
    shown.progressSeconds = 0.0;
    m_pointCue[size_t(d)] = 0;
    shown.cueInfo = cueText(0);
    changed();
}

void PlayerDecks::BtnPLay() {
    const int d = m_platineCourante;
    audio::Player& p = player(d);
    if (!ExisteFichier(QString::fromStdString(p.fileName()))) {
        return;  // nothing loaded, or the file has gone
    }
    DeckDisplay& shown = deck(d);
    shown.progressSeconds = 0.0;
    shown.progressScale = std::max(p.lengthMs() / 1000.0, 0.001);
    if (!startPlaying(d)) {
        changed();
        return;
    }
    shown.sliderMaximum = p.lengthMs();
    shown.outputEnabled = false;
    changed();
}

// After each failure the operator may try again or give up: a failure that
// persists never loops by itself.
bool PlayerDecks::startPlaying(int d) {
    std::string error;
    while (!player(d).play(&error)) {
        const Message message{QString::fromStdString(error), QStringLiteral("Alerte"),
                              MessageIcon::Critical, MessageButtons::RetryCancel};
        if (m_dialogs.message(message) != MessageAnswer::Retry) {
            return false;
        }
    }
    return true;
}

// --- Toolbar and the commands it shares with the keys and the joystick ---

void PlayerDecks::bar1_ButtonClick(int d, Bar1Button button) {
    setPlatineCourante(d);
    switch (button) {
        case Bar1Button::Stop:
            stopDeck(d);
            break;
        case Bar1Button::Play:
            BtnPLay();
            break;
        case Bar1Button::Cue:
            storeCue(d);
            break;
        case Bar1Button::CuePlay:
            cuePlay(d);
            break;
    }
    changed();
}

void PlayerDecks::stopDeck(int d) {
    player(d).stop();
    deck(d).outputEnabled = true;
    changed();
}

void PlayerDecks::storeCue(int d) {
    m_pointCue[size_t(d)] = player(d).positionMs();
    deck(d).cueInfo = cueText(m_pointCue[size_t(d)]);
    changed();
}

void PlayerDecks::cuePlay(int d) {
    setPlatineCourante(d);
    player(d).setPositionMs(m_pointCue[size_t(d)]);
    BtnPLay();
}

// --- Clicks, sliders, outputs ---

void PlayerDecks::selectDeck(int d) {
    setPlatineCourante(d);
    changed();
}

void PlayerDecks::MMMeterX_Click(int meter) {
    selectDeck(deckOfMeter(meter));
}

void PlayerDecks::Pitch_Change(int d, int value) {
    setPlatineCourante(d);
    deck(d).pitch = value;
    player(d).setPitch(float(value) / 2.0f);
    deck(d).memoPitch = memoPitchText(value);
    changed();
}

void PlayerDecks::setPitchValue(int d, int value) {
    const int clamped = std::clamp(value, kPitchMin, kPitchMax);
    if (clamped != deck(d).pitch) {
        Pitch_Change(d, clamped);
    }
}

void PlayerDecks::Slider_Press(int d) {
    setPlatineCourante(d);
    m_curseurTenu[size_t(d)] = true;
}

void PlayerDecks::Slider_Release(int d, int32_t value) {
    setPlatineCourante(d);
    deck(d).progressSeconds = 0.0;  // drawn again from the new position at the next tick
    m_curseurTenu[size_t(d)] = false;
    player(d).setPositionMs(value);
    changed();
}

void PlayerDecks::Output_Click(int d, int entry) {
    if (entry < 0) {
        return;
    }
    setPlatineCourante(d);
    player(d).stop();
    player(d).setDeviceIndex(deviceIndexForEntry(entry));
    changed();
}

// --- Track list ---

void PlayerDecks::dropOnDeck(int d) {
    setPlatineCourante(d);
    LoadAudioFile();
}

void PlayerDecks::meterDragPass(int meter) {
    dropOnDeck(deckOfMeter(meter));
}

}  // namespace varonel::core
