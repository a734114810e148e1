#include "core/shared/AppPaths.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "core/shared/FolderSeparator.h"
#include "core/shared/ProgramLayout.h"

namespace varonel::core {

QString CheminAppli(const QString& exeFolder, const FolderWritableProbe& isWritable,
                    const QString& userDataFolder) {
    if (!exeFolder.isEmpty() && isWritable(exeFolder)) {
        return withTrailingSeparator(exeFolder);
    }
    return withTrailingSeparator(userDataFolder);
}

QString CheminAppli() {
    const ProgramLayout layout = programLayout();
    if (layout.installed) {
        return userDataFolder();
    }
    return CheminAppli(layout.programFolder, canCreateFilesIn, userDataFolder());
}

QString userDataFolder() {
    // The generic location, not the per-application one, so that the mixer and
    // the player share one folder as they do in a portable install.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = withTrailingSeparator(base) + QStringLiteral("Varonel");
    QDir().mkpath(folder);
    return withTrailingSeparator(folder);
}

bool canCreateFilesIn(const QString& folder) {
    // Permission bits alone miss read-only mounts; creating a file does not.
    QTemporaryFile probe(withTrailingSeparator(folder) + QStringLiteral(".varonel-probe-XXXXXX"));
    return probe.open();
}

QString FichierIni(const QString& cheminAppli) {
    return cheminAppli + QStringLiteral("Varonel.Ini");
}

QString FichierIniPlayer(const QString& cheminAppli) {
    return cheminAppli + QStringLiteral("PlayerAB.Ini");
}

QString FichierOptions(const QString& cheminAppli) {
    return cheminAppli + QStringLiteral("Varonel.conf");
}

QString FichierOptionsPlayer(const QString& cheminAppli) {
    return cheminAppli + QStringLiteral("PlayerAB.conf");
}

QString FichierCatalogue(const QString& cheminAppli) {
    return cheminAppli + QStringLiteral("Catalogue.txt");
}

QString FichierCachePistes(const QString& cheminAppli) {
    return cheminAppli + QStringLiteral("Pistes.cache");
}

}  // namespace varonel::core
