#include "ui/player/PlayerStartup.h"

#include "ui/shared/AudioComponent.h"

namespace varonel::ui {

std::unique_ptr<PlayerWindow> PlayerMain(core::Dialogs& dialogs, const PlayerMainOptions& options) {
    installLibraryIfMissing(dialogs, QStringLiteral("VaronelPlayer"), options.installWaitMs);
    auto window = std::make_unique<PlayerWindow>(std::make_unique<core::SystemClock>(), dialogs);
    PlayerWindow::LoadOptions load;
    load.cheminAppli = options.cheminAppli;
    if (!window->Form_Load(load)) {
        return nullptr;
    }
    window->show();
    return window;
}

}  // namespace varonel::ui
