#pragma once
// The player's only clock, `Timer1`, every 50 ms: it brings the window up to
// date with both decks (status panels, the selected deck's highlight, the
// position sliders, the selected player's state, the progress bar and time
// left of each playing deck) and reads the keys.
//
// Main thread only.

#include "core/player/PlayerDecks.h"
#include "core/player/PlayerKeys.h"
#include "core/shared/Clock.h"

namespace varonel::core {

class PlayerMainTimer {
public:
    static constexpr int kPeriodMs = 50;
    // Space, Numpad 0 and Enter are taken at most once in this long.
    static constexpr float kRateLimitSeconds = 0.5f;

    PlayerMainTimer(PlayerDecks& decks, const Clock& clock, PlayerKeyboard* keyboard = nullptr)
        : m_decks(decks), m_clock(clock), m_keyboard(keyboard) {}

    void Timer1_Timer();

    // Seconds since midnight at which the last rate-limited key was taken.
    float DerniereTouche() const { return m_derniereTouche; }

private:
    void showStatus();
    void followDecks();
    void readKeys();
    void readLimitedKeys(float now);

    PlayerDecks& m_decks;
    const Clock& m_clock;
    PlayerKeyboard* m_keyboard;
    float m_derniereTouche = 0.0f;
};

}  // namespace varonel::core
