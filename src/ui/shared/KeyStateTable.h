#pragma once
// Which of the transport's keys are held down, for the ticks that read key
// states. Installed as an application event filter, it is fed by every key
// press and release of the application (auto-repeat ignored) and counts keys
// only while its window is the active window.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>

#include "Transport.h"

class QKeyEvent;

namespace varonel::ui {

class KeyStateTable final : public QObject, public core::KeyboardState {
    Q_OBJECT

public:
    explicit KeyStateTable(QWidget* window, QObject* parent = nullptr);

    bool isHeld(core::TransportKey key) const override;
    bool mainWindowActive() const override;

    // The transport key a key event stands for, if any. Numpad 0 is told apart
    // from the 0 of the main keys by the keypad modifier.
    static bool keyOf(const QKeyEvent& event, core::TransportKey* key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    std::array<bool, 3> m_held{};
};

}  // namespace varonel::ui
