#pragma once
// The player's keys: "+", "-" and "0" of the numeric keypad, Insert, Space
// and Enter (either key), read by Timer1 through the window's key-state table.

#include <QWidget>

#include "core/player/PlayerKeys.h"
#include "ui/shared/KeyStateTable.h"

namespace varonel::ui {

class DeckKeys final : public core::PlayerKeyboard {
public:
    // Watches every key event of the application for `window`.
    explicit DeckKeys(QWidget* window);
    ~DeckKeys() override;
    DeckKeys(const DeckKeys&) = delete;
    DeckKeys& operator=(const DeckKeys&) = delete;

    bool isHeld(core::PlayerKey key) const override { return m_table.isHeld(int(key)); }
    bool windowActive() const override { return m_table.windowActive(); }
    void tickRead() override { m_table.tickRead(); }

private:
    KeyStateTable m_table;
};

}  // namespace varonel::ui
