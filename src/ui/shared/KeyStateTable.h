#pragma once
// Which keys of a main window are down, for the ticks that read key states
// instead of key events. Installed as an application event filter, it takes
// the presses that enter the program through its window while that window is
// the active one (auto-repeat ignored), and every release.
//
// A press is counted where it enters, at the window, and nowhere else: the
// same event passes the filter again at each widget it is offered to, and a
// release seen in between (events run by a folder listing) must not be undone
// by the rest of that passage. A release ends its press by the physical key,
// not by the symbol, which NumLock or Shift may change while the key is down.
//
// A press counts as held at the next tick even when the key was released
// before it, so a quick tap between two ticks is never lost; the tick says
// when it has read the keys. A key whose release was not seen (it went to
// another window or program) is forgotten when the window loses or regains
// activation, so no key ever stays held by itself.

#include <QHash>
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
    // The key of the keyboard an event comes from: its scan code, or where the
    // platform gives none, its symbol with the two faces of each keypad key
    // (NumLock on and off) made one.
    static quint64 physicalKey(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressed(const QKeyEvent& event);
    void forgetAll();

    QPointer<QWidget> m_window;
    QList<Binding> m_bindings;
    QHash<quint64, int> m_down;  // physical key held -> its entry
    std::vector<bool> m_tapped;
};

}  // namespace varonel::ui
