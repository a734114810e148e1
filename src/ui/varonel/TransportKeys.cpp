#include "ui/varonel/TransportKeys.h"

#include <QApplication>

namespace varonel::ui {

namespace {

using Binding = KeyStateTable::Binding;
using Keypad = KeyStateTable::Keypad;
using core::TransportKey;

QList<Binding> transportBindings() {
    return {{int(TransportKey::Space), Qt::Key_Space},
            {int(TransportKey::Enter), Qt::Key_Return},
            {int(TransportKey::Enter), Qt::Key_Enter},
            // Numpad 0 only: the 0 of the main keys is not the chain key.
            {int(TransportKey::Numpad0), Qt::Key_0, Keypad::Only}};
}

}  // namespace

TransportKeys::TransportKeys(QWidget* window) : m_table(window, transportBindings()) {
    qApp->installEventFilter(&m_table);
}

TransportKeys::~TransportKeys() {
    qApp->removeEventFilter(&m_table);
}

}  // namespace varonel::ui
