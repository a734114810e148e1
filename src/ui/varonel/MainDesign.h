#pragma once
// The design table of the mixer's main window `F1`, in twips for a screen 800
// pixels wide (15 twips a pixel). Three bands: the on-air panels at the top,
// the playlist in the middle, the browser at the bottom, each with a column of
// fixed controls on its left. The screen rules widen the right-hand parts by a
// horizontal shift and lengthen the browser band by a vertical one, which moves
// the pre-listening group down.

#include "ui/shared/DesignTable.h"

namespace varonel::ui {

DesignTable mainDesignTable();

}  // namespace varonel::ui
