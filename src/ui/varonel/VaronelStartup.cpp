#include "VaronelStartup.h"

#include <QCoreApplication>

#include "AudioComponent.h"
#include "DesktopShortcuts.h"
#include "DeviceOutput.h"

namespace varonel::ui {

VaronelProgram Main(core::Dialogs& dialogs, const MainOptions& options) {
    VaronelProgram program;
    program.f2 = std::make_unique<SplashWindow>();
    program.f2->show();
    QCoreApplication::processEvents();

    if (installLibraryIfMissing(dialogs, QStringLiteral("Varonel"), options.installWaitMs)) {
        if (options.desktopFolder.isEmpty()) {
            CreationRaccourcis();
        } else {
            CreationRaccourcis(options.desktopFolder, QCoreApplication::applicationDirPath());
        }
    }

    auto chain = std::make_unique<core::MainAudioChain>(std::make_unique<audio::DeviceOutput>());
    program.f1 = std::make_unique<MainWindow>(std::move(chain),
                                              std::make_unique<core::SystemClock>(), dialogs);
    MainWindow::LoadOptions load;
    load.cheminAppli = options.cheminAppli;
    load.splash = program.f2.get();
    if (!program.f1->Form_Load(load)) {
        program.f1.reset();
        return program;
    }
    program.f1->show();
    program.f1->offerResume();
    return program;
}

}  // namespace varonel::ui
