#pragma once
// The main windows are designed for a screen 800 pixels wide. On a 1024 or
// 1280 screen a fixed set of controls grows or moves by two shifts so that the
// layout fills the screen; above 1280 the window takes a fixed size, centred.
// The rules work on the design tables in twips, through a lookup by control
// name, so that they are tested on a fake screen width.

#include <QString>
#include <functional>

#include "core/shared/TwipRect.h"

namespace varonel::core {

// A control's rectangle in the window's design table; null when it has none.
using ControlLookup = std::function<TwipRect*(const QString& name)>;

// The screen's width in pixels as the rules compare it: its width in twips
// divided by 15, in single precision.
float screenWidthPixels(double screenWidthTwips);
// Below 800 pixels the programs refuse to start.
bool screenTooNarrow(float widthPixels);

// What the rules decide for the window itself.
struct WindowRule {
    bool normalState = false;  // false: it stays maximised
    TwipRect window;           // when normalState, its place and size in twips
    bool statusBarVisible = false;
};

// Both take the screen in twips and change the controls through `controls`.
WindowRule CheckScreenSizeMixer(double screenWidthTwips, double screenHeightTwips,
                                const ControlLookup& controls);
WindowRule CheckScreenSizePlayer(double screenWidthTwips, double screenHeightTwips,
                                 const ControlLookup& controls);

}  // namespace varonel::core
