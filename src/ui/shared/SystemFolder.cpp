#include "ui/shared/SystemFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "core/shared/ProgramLayout.h"

namespace varonel::ui {

QString DossierSysteme() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     QStringLiteral("/Varonel/systeme");
    folder = QDir::cleanPath(folder);
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder;
}

QString cheminComposantAudio() {
    return DossierSysteme() + QLatin1String(kComposantAudio);
}

QString installerPath() {
    return core::programLayout().helperFolder + QLatin1String(core::kHelperProgram);
}

bool installComposant(const QString& name, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    if (name.isEmpty() || name != QFileInfo(name).fileName() || name.startsWith(QLatin1Char('.'))) {
        return fail(QStringLiteral("nom de composant invalide : %1").arg(name));
    }
    const QString folder = DossierSysteme();
    if (!QDir().mkpath(folder)) {
        return fail(QStringLiteral("dossier impossible à créer : %1").arg(folder));
    }
    QSaveFile file(folder + name);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(file.errorString());
    }
    file.write(QByteArrayLiteral("Varonel audio component\n"));
    file.write("version " + QCoreApplication::applicationVersion().toUtf8() + '\n');
    // commit() does not see a failure of the last buffered bytes' flush.
    if (!file.flush() || !file.commit()) {
        return fail(file.errorString());
    }
    return true;
}

}  // namespace varonel::ui
