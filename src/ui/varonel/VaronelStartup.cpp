#include "ui/varonel/VaronelStartup.h"

#include <QCoreApplication>

#include "audio/DeviceOutput.h"
#include "core/shared/ProgramLayout.h"
#include "ui/shared/AudioComponent.h"
#include "ui/varonel/DesktopShortcuts.h"

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
            CreationRaccourcis(options.desktopFolder, core::programLayout().programFolder);
        }
    }

    MixerOutputs outputs = mixerOutputs(audio::systemBackend());
    program.f1 = std::make_unique<MainWindow>(
        std::make_unique<core::MainAudioChain>(std::move(outputs.main)),
        std::make_unique<core::SystemClock>(), dialogs, std::move(outputs.wavePfl));
    MainWindow::LoadOptions load;
    load.cheminAppli = options.cheminAppli;
    load.splash = program.f2.get();
    if (!program.f1->Form_Load(load)) {
        program.f1.reset();
        return program;
    }
    program.f1->show();
    program.mpris = publishOnSessionBus(*program.f1);
    program.f1->offerResume();
    return program;
}

MixerOutputs mixerOutputs(audio::DeviceBackend& backend) {
    const auto group = std::make_shared<audio::OutputGroup>();
    MixerOutputs outputs;
    outputs.main = std::make_unique<audio::DeviceOutput>(backend, group);
    outputs.wavePfl =
        std::make_unique<audio::Player>(std::make_unique<audio::DeviceOutput>(backend, group));
    return outputs;
}

}  // namespace varonel::ui
