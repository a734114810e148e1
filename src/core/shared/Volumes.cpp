#include "core/shared/Volumes.h"

#include <QDir>
#include <QStorageInfo>

#include "core/shared/FolderSeparator.h"

namespace varonel::core {

namespace {

bool isAtOrBelow(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + kFolderSeparator);
}

}  // namespace

bool isPseudoFileSystemPath(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    if (isAtOrBelow(clean, QStringLiteral("/run/media"))) {
        return false;
    }
    for (const char* folder : {"/proc", "/sys", "/dev", "/run"}) {
        if (isAtOrBelow(clean, QLatin1String(folder))) {
            return true;
        }
    }
    return false;
}

QStringList volumeRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = withTrailingSeparator(volume.rootPath());
        if (volume.isValid() && volume.isReady() && !isPseudoFileSystemPath(root) &&
            !roots.contains(root)) {
            roots.append(root);
        }
    }
    const QString top = withTrailingSeparator(QDir::rootPath());
    if (!roots.contains(top)) {
        roots.append(top);
    }
    roots.sort(Qt::CaseInsensitive);
    return roots;
}

QString volumeRootOf(const QString& path) {
    const QStorageInfo volume(path);
    return withTrailingSeparator(volume.isValid() ? volume.rootPath() : QDir::rootPath());
}

}  // namespace varonel::core
