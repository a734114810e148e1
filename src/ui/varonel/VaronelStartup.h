#pragma once
// The start procedure of the automatic mixer: splash, first-run installation
// of the audio component, then the main window.

#include <QString>
#include <memory>

#include "audio/DeviceBackend.h"
#include "core/shared/Dialogs.h"
#include "ui/varonel/MainWindow.h"
#include "ui/varonel/MprisService.h"
#include "ui/varonel/SplashWindow.h"

namespace varonel::ui {

struct MainOptions {
    QString cheminAppli;       // empty: the program folder
    QString desktopFolder;     // empty: the user's desktop folder
    int installWaitMs = 2000;  // the installer is given this long before going on
};

// What Main leaves running. The splash outlives the main window (the about
// window will reuse it); an empty `f1` means the program is to end at once.
// `mpris` carries the transport on the session bus; null without one.
struct VaronelProgram {
    std::unique_ptr<SplashWindow> f2;
    std::unique_ptr<MainWindow> f1;
    std::unique_ptr<MprisService> mpris;
};

VaronelProgram Main(core::Dialogs& dialogs, const MainOptions& options = {});

// The mixer's two outputs on `backend`: the main output and the pre-listening
// player, in one group so that neither falls back onto the other's device.
struct MixerOutputs {
    std::unique_ptr<audio::AudioOutput> main;
    std::unique_ptr<audio::Player> wavePfl;
};
MixerOutputs mixerOutputs(audio::DeviceBackend& backend);

}  // namespace varonel::ui
