#pragma once
// The volumes the browser offers as drives, and the folders no walk or listing
// ever enters (pseudo file systems whose "files" are the system's own state).

#include <QString>
#include <QStringList>

namespace varonel::core {

// Root paths of the mounted, ready volumes, in name order; never empty (the
// root of the file system is always there).
QStringList volumeRoots();

// Root of the volume that holds `path` (an existing path), such as "/" or
// "/media/usb/".
QString volumeRootOf(const QString& path);

// True for /proc, /sys, /dev and /run and what lies below them, except the
// removable media that some systems mount under /run/media.
bool isPseudoFileSystemPath(const QString& path);

}  // namespace varonel::core
