#include "ui/shared/KeyStateTable.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>
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

// A keypad key with NumLock off reads as the key it stands in for (0 as
// Insert, 1 as End...): the digit names it whatever the lock says.
int keypadFace(int key) {
    static const QHash<int, int> digits = {
        {Qt::Key_Insert, Qt::Key_0},   {Qt::Key_End, Qt::Key_1},        {Qt::Key_Down, Qt::Key_2},
        {Qt::Key_PageDown, Qt::Key_3}, {Qt::Key_Left, Qt::Key_4},       {Qt::Key_Clear, Qt::Key_5},
        {Qt::Key_Right, Qt::Key_6},    {Qt::Key_Home, Qt::Key_7},       {Qt::Key_Up, Qt::Key_8},
        {Qt::Key_PageUp, Qt::Key_9},   {Qt::Key_Delete, Qt::Key_Period}};
    return digits.value(key, key);
}

enum Identity : quint64 { kScanCode = 1, kMainKey = 2, kKeypadKey = 3 };

}  // namespace

KeyStateTable::KeyStateTable(QWidget* window, QList<Binding> bindings, QObject* parent)
    : QObject(parent),
      m_window(window),
      m_bindings(std::move(bindings)),
      m_tapped(entryCount(m_bindings), false) {}

bool KeyStateTable::isHeld(int entry) const {
    if (entry < 0 || size_t(entry) >= m_tapped.size()) {
        return false;
    }
    return m_tapped[size_t(entry)] ||
           std::find(m_down.cbegin(), m_down.cend(), entry) != m_down.cend();
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

quint64 KeyStateTable::physicalKey(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0) {
        return (quint64(kScanCode) << 32) | event.nativeScanCode();
    }
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        return (quint64(kKeypadKey) << 32) | quint32(keypadFace(event.key()));
    }
    return (quint64(kMainKey) << 32) | quint32(event.key());
}

void KeyStateTable::pressed(const QKeyEvent& event) {
    const int entry = entryOf(event);
    // A key pressed in another window of the program (a dialog) is never the
    // window's: its release may come here without it.
    if (entry >= 0 && windowActive()) {
        m_down.insert(physicalKey(event), entry);
        m_tapped[size_t(entry)] = true;
    }
}

void KeyStateTable::forgetAll() {
    m_down.clear();
    std::fill(m_tapped.begin(), m_tapped.end(), false);
}

bool KeyStateTable::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* keyEvent = static_cast<const QKeyEvent*>(event);
            if (!keyEvent->isAutoRepeat() && m_window && watched == m_window->windowHandle()) {
                pressed(*keyEvent);
            }
            break;
        }
        case QEvent::KeyRelease: {
            const auto* keyEvent = static_cast<const QKeyEvent*>(event);
            if (!keyEvent->isAutoRepeat()) {
                m_down.remove(physicalKey(*keyEvent));
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
