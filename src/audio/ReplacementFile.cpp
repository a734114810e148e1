#include "audio/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

#include "audio/FileAccess.h"

namespace varonel::audio {

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a link leads to, so that the file is replaced rather than the link.
std::string followLinks(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

// Why an existing target may not be replaced, "" when it may (or is missing).
std::string targetRefusal(const std::string& target, mode_t* mode) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
        return errno == ENOENT ? std::string() : systemErrorText(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return "C'est un dossier, pas un fichier";
    }
    if (!S_ISREG(info.st_mode)) {
        return "Ce n'est pas un fichier ordinaire";
    }
    // A file made read-only is not written over.
    if (::access(target.c_str(), W_OK) != 0) {
        return systemErrorText(errno);
    }
    *mode = info.st_mode & 07777;
    return {};
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target) : m_target(followLinks(target)) {}

ReplacementFile::~ReplacementFile() {
    discard();
}

bool ReplacementFile::create(std::string* reason) {
    discard();
    mode_t mode = 0666;  // less the umask, as for any new file
    *reason = targetRefusal(m_target, &mode);
    if (!reason->empty()) {
        return false;
    }
    std::random_device random;
    const std::string stem = folderOf(m_target) + "/." + nameOf(m_target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temporary = stem + std::to_string(random() % 1000000) + ".tmp";
        m_fd =
            ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, mode);
        if (m_fd >= 0) {
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    *reason = systemErrorText(errno);
    m_temporary.clear();
    return false;
}

bool ReplacementFile::write(const void* data, size_t size, std::string* reason) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t done = ::write(m_fd, bytes, size);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            *reason = systemErrorText(done == 0 ? ENOSPC : errno);
            return false;
        }
        bytes += done;
        size -= size_t(done);
    }
    return true;
}

bool ReplacementFile::commit(std::string* reason) {
    if (m_fd < 0) {
        *reason = systemErrorText(EBADF);
        return false;
    }
    // A full disk may only show when the data is flushed: the old file then stays.
    const bool synced = ::fsync(m_fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(m_fd) == 0;
    const int closeError = errno;
    m_fd = -1;
    mode_t unused = 0;
    if (!synced || !closed) {
        *reason = systemErrorText(synced ? closeError : syncError);
    } else if (*reason = targetRefusal(m_target, &unused); !reason->empty()) {
        // The target was made something else while the new file was written.
    } else if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        *reason = systemErrorText(errno);
    } else {
        m_temporary.clear();
        syncFolder(folderOf(m_target));
        return true;
    }
    discard();
    return false;
}

void ReplacementFile::discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

}  // namespace varonel::audio
