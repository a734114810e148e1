#include "KeyStateTable.h"

#include <QApplication>
#include <QKeyEvent>

namespace varonel::ui {

KeyStateTable::KeyStateTable(QWidget* window, QObject* parent)
    : QObject(parent), m_window(window) {}

bool KeyStateTable::isHeld(core::TransportKey key) const {
    return m_held[size_t(key)];
}

bool KeyStateTable::mainWindowActive() const {
    return m_window && QApplication::activeWindow() == m_window;
}

bool KeyStateTable::keyOf(const QKeyEvent& event, core::TransportKey* key) {
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    switch (event.key()) {
        case Qt::Key_Space:
            *key = core::TransportKey::Space;
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            *key = core::TransportKey::Enter;
            return true;
        case Qt::Key_0:
            if (keypad) {
                *key = core::TransportKey::Numpad0;
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool KeyStateTable::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* keyEvent = static_cast<QKeyEvent*>(event);
            core::TransportKey key;
            if (!keyEvent->isAutoRepeat() && keyOf(*keyEvent, &key)) {
                m_held[size_t(key)] = event->type() == QEvent::KeyPress;
            }
            break;
        }
        case QEvent::ApplicationDeactivate:
            // A key released while another program has the focus is never seen:
            // forget every key rather than keep one held for ever.
            m_held.fill(false);
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace varonel::ui
