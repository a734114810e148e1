#pragma once
// The transport's keys of the main window: Space, Enter (either key) and the 0
// of the numeric keypad, read by Timer3 through the window's key-state table.

#include <QWidget>

#include "core/automix/Timer3.h"
#include "ui/shared/KeyStateTable.h"

namespace varonel::ui {

class TransportKeys final : public core::KeyboardState {
public:
    // Watches every key event of the application for `window`.
    explicit TransportKeys(QWidget* window);
    ~TransportKeys() override;
    TransportKeys(const TransportKeys&) = delete;
    TransportKeys& operator=(const TransportKeys&) = delete;

    bool isHeld(core::TransportKey key) const override { return m_table.isHeld(int(key)); }
    bool mainWindowActive() const override { return m_table.windowActive(); }
    void tickRead() override { m_table.tickRead(); }

    const KeyStateTable& table() const { return m_table; }

private:
    KeyStateTable m_table;
};

}  // namespace varonel::ui
