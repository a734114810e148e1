#include "ui/player/DeckKeys.h"

#include <QApplication>

namespace varonel::ui {

namespace {

using Keypad = KeyStateTable::Keypad;
using core::PlayerKey;

QList<KeyStateTable::Binding> deckBindings() {
    return {{int(PlayerKey::PitchUp), Qt::Key_Plus, Keypad::Only},
            {int(PlayerKey::PitchDown), Qt::Key_Minus, Keypad::Only},
            {int(PlayerKey::Insert), Qt::Key_Insert},
            {int(PlayerKey::Space), Qt::Key_Space},
            {int(PlayerKey::Numpad0), Qt::Key_0, Keypad::Only},
            {int(PlayerKey::Enter), Qt::Key_Return},
            {int(PlayerKey::Enter), Qt::Key_Enter}};
}

}  // namespace

DeckKeys::DeckKeys(QWidget* window) : m_table(window, deckBindings()) {
    qApp->installEventFilter(&m_table);
}

DeckKeys::~DeckKeys() {
    qApp->removeEventFilter(&m_table);
}

}  // namespace varonel::ui
