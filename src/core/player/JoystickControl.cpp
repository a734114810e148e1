#include "core/player/JoystickControl.h"

#include <cmath>

namespace varonel::core {

void JoystickControl::joystickPresent() {
    m_decks.display().statusPanels[2] = QStringLiteral("Joystique Ok");
    m_decks.changed();
}

void JoystickControl::stopReport(int button) {
    m_decks.display().lblBtn = QString::number(button);
    const int d = deckOfButton(button);
    if (d >= 0) {
        m_decks.setPlatineCourante(d);
        m_decks.stopDeck(d);
    }
    m_decks.changed();
}

void JoystickControl::startReport(int button) {
    m_decks.display().lblBtn = QString::number(button);
    const int d = deckOfButton(button);
    if (d >= 0) {
        m_decks.setPlatineCourante(d);
        if (!m_decks.playing(d)) {
            m_decks.cuePlay(d);
        }
    }
    m_decks.changed();
}

void JoystickControl::buttonPressed(int button) {
    const int d = deckOfButton(button);
    if (d >= 0 && m_decks.playing(d)) {
        stopReport(button);
    } else {
        startReport(button);
    }
}

void JoystickControl::positionReport(int x, int y) {
    const int shownX = int(std::floor(x / 1000.0));
    if (m_joystickVu) {
        m_decks.display().ecart = QString::number(shownX - m_x);
    }
    m_x = shownX;
    m_decks.display().x = QString::number(shownX);
    m_decks.display().y = QString::number(int(std::floor(y / 1000.0)));
    m_joystickVu = true;
    m_decks.changed();
}

}  // namespace varonel::core
