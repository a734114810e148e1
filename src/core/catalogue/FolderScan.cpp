#include "FolderScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "FolderListing.h"

namespace varonel::core {

namespace {

enum class Kind { File, Folder, LinkedFolder, Other };

// The kind of an entry, following symbolic links; the directory tells most
// entries' kind, so the system is asked only about links and unknown kinds.
Kind kindOf(int folderFd, const dirent& entry) {
    if (entry.d_type == DT_REG) {
        return Kind::File;
    }
    if (entry.d_type == DT_DIR) {
        return Kind::Folder;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return Kind::Other;
    }
    bool link = entry.d_type == DT_LNK;
    struct stat info {};
    if (!link) {
        if (::fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return Kind::Other;
        }
        link = S_ISLNK(info.st_mode);
    }
    if (link && ::fstatat(folderFd, entry.d_name, &info, 0) != 0) {
        return Kind::Other;  // a broken link
    }
    if (S_ISREG(info.st_mode)) {
        return Kind::File;
    }
    if (S_ISDIR(info.st_mode)) {
        return link ? Kind::LinkedFolder : Kind::Folder;
    }
    return Kind::Other;
}

void addEntry(int fd, const dirent& entry, const FilePattern& pattern, FolderScan* scan) {
    const Kind kind = kindOf(fd, entry);
    if (kind == Kind::Other) {
        return;
    }
    const QString name = QFile::decodeName(entry.d_name);
    if (kind == Kind::File) {
        // A file the user cannot read counts as hidden.
        if (pattern.matches(name) && ::faccessat(fd, entry.d_name, R_OK, 0) == 0) {
            scan->files.append(name);
        }
        return;
    }
    scan->subfolders.append(name);
    if (kind == Kind::LinkedFolder) {
        scan->linkedSubfolders.append(name);
    }
}

}  // namespace

FolderScan scanFolder(const QString& folder, const FilePattern& pattern) {
    FolderScan scan;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
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
