#include "core/shared/ProgramLayout.h"

#include <QCoreApplication>
#include <QDir>

#include "core/shared/ExisteFichier.h"
#include "core/shared/FolderSeparator.h"

namespace varonel::core {

ProgramLayout programLayout(const QString& exeFolder) {
    ProgramLayout layout;
    layout.programFolder = withTrailingSeparator(QDir::cleanPath(exeFolder));
    layout.helperFolder = layout.programFolder;
    if (ExisteFichier(layout.programFolder + QLatin1String(kHelperProgram))) {
        return layout;
    }
    // The build passes the install's path from bin/ to the helper's folder, so
    // that any installation prefix is recognised.
    const QString installedHelper = withTrailingSeparator(
        QDir::cleanPath(layout.programFolder + QStringLiteral(VARONEL_HELPER_FROM_BIN)));
    if (ExisteFichier(installedHelper + QLatin1String(kHelperProgram))) {
        layout.helperFolder = installedHelper;
        layout.installed = true;
    }
    return layout;
}

ProgramLayout programLayout() {
    return programLayout(QCoreApplication::applicationDirPath());
}

}  // namespace varonel::core
