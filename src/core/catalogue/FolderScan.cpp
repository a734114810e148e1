#include "core/catalogue/FolderScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/browser/FolderListing.h"
#include "core/shared/EntryKind.h"
#include "core/shared/FileNames.h"

namespace varonel::core {

namespace {

void addEntry(int fd, const dirent& entry, const FilePattern& pattern, FolderScan* scan) {
    const EntryKind kind = entryKind(fd, entry);
    if (kind == EntryKind::Other) {
        return;
    }
    const QString name = fromSystemName(entry.d_name);
    if (kind == EntryKind::File) {
        // A file the user cannot read counts as hidden.
        if (pattern.matches(name) && ::faccessat(fd, entry.d_name, R_OK, 0) == 0) {
            scan->files.append(name);
        }
        return;
    }
    scan->subfolders.append(name);
    if (kind == EntryKind::LinkedFolder) {
        scan->linkedSubfolders.append(name);
    }
}

}  // namespace

FolderScan scanFolder(const QString& folder, const FilePattern& pattern) {
    FolderScan scan;
    DIR* dir = ::opendir(toSystemName(folder).constData());
    if (dir == nullptr) {
        scan.error = qt_error_string(errno);
        return scan;
    }
    const int fd = ::dirfd(dir);
    struct stat self {};
    if (::fstat(fd, &self) == 0) {
        scan.device = self.st_dev;
        scan.inode = self.st_ino;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') {  // hidden, and "." and ".."
            addEntry(fd, *entry, pattern, &scan);
        }
        errno = 0;
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        return FolderScan{qt_error_string(readError), {}, {}, {}, scan.device, scan.inode};
    }
    sortNames(&scan.files);
    sortNames(&scan.subfolders);
    return scan;
}

}  // namespace varonel::core
