#pragma once
// Runs a main window's screen rules over its design table, places the controls
// again and, when the rules say so, gives the window its fixed size, centred.
// The window is maximised before: the rules may put it back to normal.

#include <QMainWindow>
#include <QSize>

#include "core/shared/ScreenRules.h"
#include "ui/shared/DesignTable.h"

namespace varonel::ui {

using ScreenRule = core::WindowRule (*)(double screenWidthTwips, double screenHeightTwips,
                                        const core::ControlLookup& controls);

// `screen` in pixels; `centre` holds the table's controls. Returns what the
// rules decided, for the window to show its status bar.
core::WindowRule adaptToScreen(QMainWindow* window, QWidget* centre, DesignTable& table,
                               QSize screen, ScreenRule rule);

// The primary screen's size in pixels, its width replaced by `widthOverride`
// when that is not negative (tests hand the rules a fake screen).
QSize screenSize(int widthOverride);

}  // namespace varonel::ui
