#pragma once
// Which keys of a main window are down, for the ticks that read key states
// instead of key events. Installed as an application event filter, it takes
// the presses that happen while its window is the active window (auto-repeat
// ignored) and every release.
//
// A press counts as held at the next tick even when the key was released
// before it, so a quick tap between two ticks is never lost; the tick says
// when it has read the keys. A key whose release was not seen (it went to
// another window or program) is forgotten when the window loses or regains
// activation, so no key ever stays held by itself.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

class QKeyEvent;

namespace varonel::ui {

class KeyStateTable final : public QObject {
    Q_OBJECT

public:
    // Where a key must lie: anywhere, only on the numeric keypad, or only off it.
    enum class Keypad { Any, Only, Never };
    // One Qt key and the entry of the table it stands for; several Qt keys may
    // share an entry (Return and Enter).
    struct Binding {
        int entry;
        int qtKey;
        Keypad keypad = Keypad::Any;
    };

    KeyStateTable(QWidget* window, QList<Binding> bindings, QObject* parent = nullptr);

    // Down now, or pressed since the last tickRead().
    bool isHeld(int entry) const;
    // The tick has read the keys: the taps it saw count no more.
    void tickRead();
    // The window is the application's active window.
    bool windowActive() const;

    // The entry a key event stands for, -1 for none.
    int entryOf(const QKeyEvent& event) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void forgetAll();

    QPointer<QWidget> m_window;
    QList<Binding> m_bindings;
    std::vector<bool> m_down;
    std::vector<bool> m_tapped;
};

}  // namespace varonel::ui
