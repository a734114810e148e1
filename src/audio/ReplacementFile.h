#pragma once
// A file written anew beside its target and put in the target's place only once it
// is complete and on the disk: until then the old file stays whole, and a write that
// fails (a full disk, a refused folder) leaves it untouched. The new file is hidden
// (its name starts with a dot) while it is written, and removed when it is not put
// in place.
//
// A target that exists and is not a regular file (a device such as /dev/full, a
// folder, a FIFO) is never replaced; a link is followed to the file it names.
//
// Threads: one thread at a time.

#include <cstddef>
#include <string>

namespace varonel::audio {

class ReplacementFile {
public:
    explicit ReplacementFile(std::string target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the new file, with the old one's permissions. False, with a French
    // *reason, when the target cannot be replaced or the new file cannot be made.
    bool create(std::string* reason);

    // The new file while it is written: its descriptor and its name.
    int fd() const { return m_fd; }
    const std::string& temporaryPath() const { return m_temporary; }
    // The file that commit() replaces (links resolved).
    const std::string& target() const { return m_target; }

    // Writes all of `size` bytes. False, with *reason set, otherwise.
    bool write(const void* data, size_t size, std::string* reason);

    // Flushes the new file to the disk and renames it over the target. False, with
    // *reason set and the target untouched, when any step fails.
    bool commit(std::string* reason);
    // Removes the new file; the target stays as it was.
    void discard();

private:
    std::string m_target;
    std::string m_temporary;
    int m_fd = -1;
};

}  // namespace varonel::audio
