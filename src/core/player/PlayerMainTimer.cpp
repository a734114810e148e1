#include "core/player/PlayerMainTimer.h"

#include "core/shared/TrackNaming.h"

namespace varonel::core {

void PlayerMainTimer::Timer1_Timer() {
    showStatus();
    followDecks();
    if (m_keyboard) {
        if (m_keyboard->windowActive()) {
            readKeys();
        }
        m_keyboard->tickRead();
    }
    m_decks.changed();
}

// Status panels, highlight and the selected player's state.
void PlayerMainTimer::showStatus() {
    PlayerDisplay& display = m_decks.display();
    display.statusPanels[0] =
        QStringLiteral("Platine A = ") + FTime(m_decks.player(0).positionMs());
    display.statusPanels[1] =
        QStringLiteral("Platine B = ") + FTime(m_decks.player(1).positionMs());
    display.statusPanels[3] = m_clock.timeOfDay().toString(QStringLiteral("HH:mm:ss"));
    for (int d = 0; d < kDeckCount; ++d) {
        display.decks[size_t(d)].selected = d == m_decks.PlatineCourante();
    }
    // An empty deck shows nothing: a lone "0" beside the lists reads as a fault.
    const int state = m_decks.player(m_decks.PlatineCourante()).state();
    display.info = state == audio::Player::kStateEmpty ? QString() : QString::number(state);
}

// Sliders of decks not held; progress and time left of the decks that play. A
// deck that stopped keeps its last bar and time left.
void PlayerMainTimer::followDecks() {
    for (int d = 0; d < kDeckCount; ++d) {
        DeckDisplay& deck = m_decks.display().decks[size_t(d)];
        const audio::Player& player = m_decks.player(d);
        if (!m_decks.CurseurTenu(d)) {
            deck.sliderValue = player.positionMs();
        }
        if (m_decks.playing(d)) {
            const int32_t position = player.positionMs();
            deck.progressSeconds = position / 1000.0;
            deck.temp = FTime(player.lengthMs() - position);
        }
    }
}

void PlayerMainTimer::readKeys() {
    const int d = m_decks.PlatineCourante();
    if (m_keyboard->isHeld(PlayerKey::PitchUp)) {
        m_decks.setPitchValue(d, m_decks.display().decks[size_t(d)].pitch + 1);
    }
    if (m_keyboard->isHeld(PlayerKey::PitchDown)) {
        m_decks.setPitchValue(d, m_decks.display().decks[size_t(d)].pitch - 1);
    }
    if (m_keyboard->isHeld(PlayerKey::Insert)) {
        m_decks.storeCue(d);
    }
    const float now = float(m_clock.timeOfDay().msecsSinceStartOfDay()) / 1000.0f;
    if (now < m_derniereTouche) {
        m_derniereTouche = now - 3.0f;  // midnight has passed since the last such key
    }
    if (now - m_derniereTouche > kRateLimitSeconds) {
        readLimitedKeys(now);
    }
}

// All three are read in the same tick: Space and Enter together switch the
// deck and start the newly selected one.
void PlayerMainTimer::readLimitedKeys(float now) {
    if (m_keyboard->isHeld(PlayerKey::Space)) {
        m_derniereTouche = now;
        m_decks.setPlatineCourante(m_decks.PlatineCourante() == 0 ? 1 : 0);
    }
    if (m_keyboard->isHeld(PlayerKey::Numpad0)) {
        m_derniereTouche = now;
        m_decks.stopDeck(m_decks.PlatineCourante());
    }
    if (m_keyboard->isHeld(PlayerKey::Enter)) {
        m_derniereTouche = now;
        m_decks.BtnPLay();
    }
}

}  // namespace varonel::core
