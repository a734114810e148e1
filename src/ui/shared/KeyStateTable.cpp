#include "KeyStateTable.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

namespace varonel::ui {

namespace {

size_t entryCount(const QList<KeyStateTable::Binding>& bindings) {
    int last = -1;
    for (const KeyStateTable::Binding& binding : bindings) {
        last = std::max(last, binding.entry);
    }
    return last < 0 ? 0 : static_cast<size_t>(last) + 1;
}

bool keypadMatches(KeyStateTable::Keypad rule, bool onKeypad) {
    switch (rule) {
        case KeyStateTable::Keypad::Only:
            return onKeypad;
        case KeyStateTable::Keypad::Never:
            return !onKeypad;
        case KeyStateTable::Keypad::Any:
            break;
    }
    return true;
}

}  // namespace

KeyStateTable::KeyStateTable(QWidget* window, QList<Binding> bindings, QObject* parent)
    : QObject(parent),
      m_window(window),
      m_bindings(std::move(bindings)),
      m_down(entryCount(m_bindings), false),
      m_tapped(entryCount(m_bindings), false) {}

bool KeyStateTable::isHeld(int entry) const {
    return entry >= 0 && size_t(entry) < m_down.size() && (m_down[entry] || m_tapped[entry]);
}

void KeyStateTable::tickRead() {
    std::fill(m_tapped.begin(), m_tapped.end(), false);
}

bool KeyStateTable::windowActive() const {
    return m_window && QApplication::activeWindow() == m_window;
}

int KeyStateTable::entryOf(const QKeyEvent& event) const {
    const bool onKeypad = event.modifiers().testFlag(Qt::KeypadModifier);
    for (const Binding& binding : m_bindings) {
        if (binding.qtKey == event.key() && keypadMatches(binding.keypad, onKeypad)) {
            return binding.entry;
        }
    }
    return -1;
}

void KeyStateTable::forgetAll() {
    std::fill(m_down.begin(), m_down.end(), false);
    std::fill(m_tapped.begin(), m_tapped.end(), false);
}

bool KeyStateTable::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* keyEvent = static_cast<QKeyEvent*>(event);
            const int entry = keyEvent->isAutoRepeat() ? -1 : entryOf(*keyEvent);
            if (entry < 0) {
                break;
            }
            if (event->type() == QEvent::KeyRelease) {
                m_down[entry] = false;
            } else if (windowActive()) {
                // A key pressed in another window of the program (a dialog) is
                // never the window's: its release may come here without it.
                m_down[entry] = true;
                m_tapped[entry] = true;
            }
            break;
        }
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            if (watched == m_window) {
                forgetAll();
            }
            break;
        case QEvent::ApplicationDeactivate:
            forgetAll();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace varonel::ui
