#pragma once
// The fuzzer's input as a file, for the readers that take a path: one memory
// file (memfd), rewritten for each input and named by its /proc/self/fd path,
// so that no input touches the disk. Its modification time moves on with each
// input: the length cache, which knows a file by path, size and time, never
// answers for an earlier input.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzfile {

inline std::string write(const uint8_t* data, size_t size) {
    static const int fd = ::memfd_create("varonel-fuzz", MFD_CLOEXEC);
    static time_t generation = 0;
    if (fd < 0 || ::ftruncate(fd, 0) != 0) {
        __builtin_trap();
    }
    for (size_t done = 0; done < size;) {
        const ssize_t written = ::pwrite(fd, data + done, size - done, off_t(done));
        if (written <= 0) {
            __builtin_trap();
        }
        done += size_t(written);
    }
    const timespec times[2] = {{0, UTIME_OMIT}, {++generation, 0}};
    ::futimens(fd, times);
    return "/proc/self/fd/" + std::to_string(fd);
}

// Fails the run: a property the readers promise does not hold.
inline void require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

}  // namespace fuzzfile
