#include "FileError.h"

#include <QDir>
#include <QFileInfo>

namespace varonel::core {

bool isBlankPath(const QString& path) {
    return path.trimmed().isEmpty();
}

QString fileErrorText(const QString& path, const QString& reason) {
    if (isBlankPath(path)) {
        return QStringLiteral("Aucun fichier : la ligne est vide");
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (reason.trimmed().isEmpty()) {
        return QStringLiteral("Fichier illisible : ") + shown;
    }
    if (reason.contains(path) || reason.contains(shown)) {
        return reason;
    }
    return reason + QStringLiteral(" : ") + shown;
}

QString readFailureReason(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QStringLiteral("Fichier introuvable");
    }
    if (info.isDir()) {
        return QStringLiteral("C'est un dossier, pas un fichier");
    }
    if (!info.isReadable()) {
        return QStringLiteral("Lecture du fichier refusée (droits d'accès)");
    }
    return QStringLiteral("Impossible de lire le fichier");
}

QString writeFailureReason(const QString& path) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) {
        return QStringLiteral("Dossier introuvable");
    }
    if (info.isDir()) {
        return QStringLiteral("C'est un dossier, pas un fichier");
    }
    if (!folder.isWritable() || (info.exists() && !info.isWritable())) {
        return QStringLiteral("Écriture refusée (droits d'accès)");
    }
    return QStringLiteral("Écriture impossible (disque plein ou retiré ?)");
}

}  // namespace varonel::core
