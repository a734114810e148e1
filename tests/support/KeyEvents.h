#pragma once
// Key events as the system delivers them: to the window, which hands them on
// to its focused widget and, when that one lets them go, to its parents. The
// scan code names the key of the keyboard; offscreen Qt gives none (0).

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace keyevents {

inline void send(QWidget* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = {},
                 quint32 scanCode = 0, bool autoRepeat = false) {
    QKeyEvent event(type, key, modifiers, scanCode, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(window->window()->windowHandle(), &event);
}

inline void press(QWidget* window, int key, Qt::KeyboardModifiers modifiers = {},
                  quint32 scanCode = 0) {
    send(window, QEvent::KeyPress, key, modifiers, scanCode);
}

inline void release(QWidget* window, int key, Qt::KeyboardModifiers modifiers = {},
                    quint32 scanCode = 0) {
    send(window, QEvent::KeyRelease, key, modifiers, scanCode);
}

}  // namespace keyevents
