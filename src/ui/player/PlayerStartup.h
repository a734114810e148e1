#pragma once
// The start procedure of the two-deck player: the first-run installation of
// the audio component, then the window. Unlike the mixer's, there is no splash
// and no desktop shortcut.

#include <QString>
#include <memory>

#include "core/shared/Dialogs.h"
#include "ui/player/PlayerWindow.h"

namespace varonel::ui {

struct PlayerMainOptions {
    QString cheminAppli;       // empty: the program folder
    int installWaitMs = 2000;  // the installer is given this long before going on
};

// The window, shown; empty when the program is to end at once.
std::unique_ptr<PlayerWindow> PlayerMain(core::Dialogs& dialogs,
                                         const PlayerMainOptions& options = {});

}  // namespace varonel::ui
