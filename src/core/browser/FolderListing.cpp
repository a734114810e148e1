#include "core/browser/FolderListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>

#include "core/shared/EntryKind.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/Volumes.h"

namespace varonel::core {

namespace {

// Reads the folder once through the system, which is much faster than a
// QFileInfo per entry on large folders. Names that are not valid UTF-8 come
// back with replacement characters: they are listed, though the system will
// not find them again by that name.
template <typename Keep>
QStringList readFolder(const QString& folder, EntryKind wanted, Keep keep) {
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr) {
        return names;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;  // hidden, and "." and ".."
        }
        const EntryKind kind = entryKind(fd, *entry);
        // The browser goes into a linked folder as into any other.
        if ((kind == EntryKind::LinkedFolder ? EntryKind::Folder : kind) == wanted) {
            const QString name = QFile::decodeName(entry->d_name);
            if (keep(fd, *entry, name)) {
                names.append(name);
            }
        }
    }
    ::closedir(dir);
    sortNames(&names);
    return names;
}

}  // namespace

void sortNames(QStringList* names) {
    std::sort(names->begin(), names->end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

QStringList listFiles(const QString& folder, const FilePattern& pattern) {
    return readFolder(
        folder, EntryKind::File, [&](int fd, const dirent& entry, const QString& name) {
            // A file the user cannot read counts as hidden.
            return pattern.matches(name) && ::faccessat(fd, entry.d_name, R_OK, 0) == 0;
        });
}

QStringList listSubfolders(const QString& folder) {
    return readFolder(folder, EntryKind::Folder, [&](int, const dirent&, const QString& name) {
        return !isPseudoFileSystemPath(joinFolder(folder, name));
    });
}

}  // namespace varonel::core
