#include "VaronelStartup.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include "DesktopShortcuts.h"
#include "DeviceOutput.h"
#include "ExisteFichier.h"
#include "SystemFolder.h"

namespace varonel::ui {

void attendre(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

namespace {

// First run: the audio component is not installed for this user.
void installLibrary(core::Dialogs& dialogs, const MainOptions& options) {
    // The installer runs on its own; whether it succeeded is not checked, as
    // the next start simply tries again.
    QProcess::startDetached(installerPath(), {QLatin1String(kComposantAudio)},
                            QCoreApplication::applicationDirPath());
    QCoreApplication::processEvents();
    dialogs.message({QStringLiteral("Installation de la librairie"), QStringLiteral("Varonel"),
                     core::MessageIcon::Information, core::MessageButtons::Ok});
    attendre(options.installWaitMs);
    if (options.desktopFolder.isEmpty()) {
        CreationRaccourcis();
    } else {
        CreationRaccourcis(options.desktopFolder, QCoreApplication::applicationDirPath());
    }
}

}  // namespace

VaronelProgram Main(core::Dialogs& dialogs, const MainOptions& options) {
    VaronelProgram program;
    program.f2 = std::make_unique<SplashWindow>();
    program.f2->show();
    QCoreApplication::processEvents();

    if (!core::ExisteFichier(cheminComposantAudio())) {
        installLibrary(dialogs, options);
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
    program.f1->showMaximized();
    return program;
}

}  // namespace varonel::ui
