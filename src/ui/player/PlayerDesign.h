#pragma once
// The design table of the player's window `F1`, in twips for a screen 800
// pixels wide. The two decks side by side, deck A on the left: each deck's
// panel `PlatineA` holds what is shown of its track (the controls inside it
// are placed in the panel's coordinates), and under it, on the window, the
// position slider, the two meters, the output list and the cue point. The
// browser fills the bottom; the status bar lies below it. Deck controls are
// named with their index: `Slider0`, `Slider1`, `MMMeterX0` to `MMMeterX3`.

#include "ui/shared/DesignTable.h"

namespace varonel::ui {

DesignTable playerDesignTable();

}  // namespace varonel::ui
