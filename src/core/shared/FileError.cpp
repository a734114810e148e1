#include "core/shared/FileError.h"

#include <QDir>
#include <QFileInfo>

namespace varonel::core {

namespace {

QString withSystemText(const QString& reason, const QString& systemText) {
    return systemText.isEmpty() ? reason : reason + QStringLiteral(" (") + systemText + u')';
}

}  // namespace

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

QString readFailureReason(const QString& path, const QString& systemText) {
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
    return withSystemText(QStringLiteral("Impossible de lire le fichier"), systemText);
}

QString writeFailureReason(const QString& path, const QString& systemText) {
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
    return withSystemText(QStringLiteral("Écriture impossible"), systemText);
}

}  // namespace varonel::core
