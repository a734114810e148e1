#include "audio/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace varonel::audio {

namespace {

// Why a file that exists is not one we read.
std::string notRegularReason(mode_t mode) {
    return S_ISDIR(mode) ? "C'est un dossier, pas un fichier" : "Ce n'est pas un fichier ordinaire";
}

// Why a file could not be opened for reading.
std::string readFailure(int error) {
    switch (error) {
        case ENOENT:
            return "Fichier introuvable";
        case EACCES:
        case EPERM:
            return "Lecture du fichier refusée (droits d'accès)";
        default:
            return systemErrorText(error);
    }
}

// write() until everything is written; false with errno set otherwise.
bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            if (done == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        data += done;
        size -= size_t(done);
    }
    return true;
}

// True when the file is empty or its last byte ends a line.
bool endsWithLineEnd(int fd, off_t size) {
    char last = '\n';
    return size == 0 || (::pread(fd, &last, 1, size - 1) == 1 && last == '\n');
}

}  // namespace

std::string systemErrorText(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "Permission refusée";
        case ENOENT:
            return "Fichier ou dossier introuvable";
        case ENOTDIR:
            return "Un élément du chemin n'est pas un dossier";
        case EISDIR:
            return "C'est un dossier, pas un fichier";
        case ENOSPC:
            return "Disque plein";
        case EDQUOT:
            return "Quota de disque dépassé";
        case EFBIG:
            return "Fichier trop grand pour ce disque";
        case EROFS:
            return "Disque en lecture seule";
        case EIO:
            return "Erreur de lecture ou d'écriture sur le disque";
        case ENAMETOOLONG:
            return "Nom de fichier trop long";
        case ELOOP:
            return "Trop de liens symboliques dans le chemin";
        case EMFILE:
        case ENFILE:
            return "Trop de fichiers ouverts";
        case ENOMEM:
            return "Mémoire insuffisante";
        case ETXTBSY:
        case EBUSY:
            return "Fichier occupé par un autre programme";
        case EEXIST:
            return "Le fichier existe déjà";
        case EXDEV:
            return "Le fichier est sur un autre disque";
        case ENXIO:
        case ENODEV:
            return "Périphérique absent";
        case ESTALE:
            return "Fichier réseau devenu inaccessible";
        default:
            return "Erreur système " + std::to_string(error);
    }
}

int openRegularFile(const std::string& path, std::string* reason) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        *reason = readFailure(errno);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        *reason = notRegularReason(info.st_mode);
        return -1;
    }
    // Non-blocking, in case the name was swapped for a FIFO since the look above.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *reason = readFailure(errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *reason = notRegularReason(info.st_mode);
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool readWholeFile(int fd, int64_t maxBytes, std::string* bytes, std::string* reason,
                   bool* tooLarge) {
    *tooLarge = false;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > maxBytes) {
        *tooLarge = true;
        *reason = "Fichier trop volumineux";
        return false;
    }
    // The size may change while the file is read: the bound holds whatever it says.
    std::string read;
    read.resize(size_t(info.st_size > 0 ? info.st_size : 0) + 1);
    size_t filled = 0;
    for (;;) {
        if (filled == read.size()) {
            if (int64_t(read.size()) > maxBytes) {
                *tooLarge = true;
                *reason = "Fichier trop volumineux";
                return false;
            }
            read.resize(std::min<size_t>(read.size() * 2 + 4096, size_t(maxBytes) + 1));
        }
        const ssize_t got = ::read(fd, read.data() + filled, read.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            *reason = systemErrorText(errno);
            return false;
        }
        if (got == 0) {
            break;
        }
        filled += size_t(got);
    }
    read.resize(filled);
    *bytes = std::move(read);
    return true;
}

bool appendRecord(const std::string& path, const std::string& record, bool durable,
                  std::string* reason) {
    // Read as well as written: the file's last byte tells whether a line is open.
    const int fd =
        ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        *reason = systemErrorText(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *reason = notRegularReason(info.st_mode);
        ::close(fd);
        return false;
    }
    const off_t before = info.st_size;
    const std::string whole = endsWithLineEnd(fd, before) ? record : "\r\n" + record;
    bool written = writeAll(fd, whole.data(), whole.size());
    if (written && durable && ::fdatasync(fd) != 0 && errno != EINVAL) {
        written = false;
    }
    const int error = errno;
    if (!written) {
        // Nothing of the record stays: the file ends where it ended.
        [[maybe_unused]] const int cut = ::ftruncate(fd, before);
        *reason = systemErrorText(error);
    }
    ::close(fd);
    return written;
}

}  // namespace varonel::audio
