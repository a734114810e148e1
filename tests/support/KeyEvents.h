#pragma once
// Key events as the system delivers them: to the window, which hands them on
// to its focused widget and, when that one lets them go, to its parents.
// Offscreen Qt gives no scan code, and neither do these.

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace keyevents {

inline void send(QWidget* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = {},
                 bool autoRepeat = false) {
    QKeyEvent event(type, key, modifiers, 0, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(window->window()->windowHandle(), &event);
}

inline void press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = {}) {
    send(window, QEvent::KeyPress, key, modifiers);
}

inline void release(QWidget* window, int key, Qt::KeyboardModifiers modifiers = {}) {
    send(window, QEvent::KeyRelease, key, modifiers);
}

}  // namespace keyevents
