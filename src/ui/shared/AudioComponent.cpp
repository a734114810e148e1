#include "ui/shared/AudioComponent.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include "core/shared/ExisteFichier.h"
#include "core/shared/ProgramLayout.h"
#include "ui/shared/SystemFolder.h"

namespace varonel::ui {

void attendre(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool installLibraryIfMissing(core::Dialogs& dialogs, const QString& title, int waitMs) {
    if (core::ExisteFichier(cheminComposantAudio())) {
        return false;
    }
    // The installer runs on its own; whether it succeeded is not checked, as
    // the next start simply tries again.
    QProcess::startDetached(installerPath(), {QLatin1String(kComposantAudio)},
                            core::programLayout().programFolder);
    QCoreApplication::processEvents();
    dialogs.message({QStringLiteral("Installation de la librairie"), title,
                     core::MessageIcon::Information, core::MessageButtons::Ok});
    attendre(waitMs);
    return true;
}

}  // namespace varonel::ui
