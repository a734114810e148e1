#include "core/shared/EntryKind.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace varonel::core {

EntryKind entryKind(int folderFd, const dirent& entry) {
    if (entry.d_type == DT_REG) {
        return EntryKind::File;
    }
    if (entry.d_type == DT_DIR) {
        return EntryKind::Folder;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return EntryKind::Other;
    }
    bool link = entry.d_type == DT_LNK;
    struct stat info {};
    if (!link) {
        if (::fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return EntryKind::Other;
        }
        link = S_ISLNK(info.st_mode);
    }
    if (link && ::fstatat(folderFd, entry.d_name, &info, 0) != 0) {
        return EntryKind::Other;  // a broken link
    }
    if (S_ISREG(info.st_mode)) {
        return EntryKind::File;
    }
    if (S_ISDIR(info.st_mode)) {
        return link ? EntryKind::LinkedFolder : EntryKind::Folder;
    }
    return EntryKind::Other;
}

}  // namespace varonel::core
