#pragma once
// The player's keys, read by its 50 ms tick as held or not.

namespace varonel::core {

enum class PlayerKey { PitchUp, PitchDown, Insert, Space, Numpad0, Enter };

class PlayerKeyboard {
public:
    virtual ~PlayerKeyboard() = default;
    // Held now, or pressed since the last tick (a quick tap counts once).
    virtual bool isHeld(PlayerKey key) const = 0;
    // The keys count only while the player's window is the active window.
    virtual bool windowActive() const = 0;
    // The tick has read the keys.
    virtual void tickRead() = 0;
};

}  // namespace varonel::core
