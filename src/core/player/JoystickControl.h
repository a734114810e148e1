#pragma once
// What the player does with a joystick's reports: button 1 belongs to deck A
// and button 2 to deck B; a stop report stops its deck, a start report starts
// a deck that does not play from its cue point. The stick's position is shown
// in thousands and steers nothing.
//
// Main thread only. Where the reports come from (SDL's joysticks and game
// controllers) is the window's business.

#include "core/player/PlayerDecks.h"

namespace varonel::core {

class JoystickControl {
public:
    explicit JoystickControl(PlayerDecks& decks) : m_decks(decks) {}

    // At the end of the load, and whenever a device arrives later.
    void joystickPresent();
    // The report of the first kind (stop) and of the second kind (start).
    void stopReport(int button);
    void startReport(int button);
    // A press of a button: it stops its deck when the deck plays, and starts it
    // from its cue point otherwise, as one play/stop button does.
    void buttonPressed(int button);
    void positionReport(int x, int y);

    bool JoystickVu() const { return m_joystickVu; }

private:
    static int deckOfButton(int button) { return button == 1 ? 0 : button == 2 ? 1 : -1; }

    PlayerDecks& m_decks;
    bool m_joystickVu = false;
    int m_x = 0;  // what X shows
};

}  // namespace varonel::core
