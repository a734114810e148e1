#pragma once
// How the suite opens the files it is given and appends to its logs: only regular
// files are read (a FIFO without a writer would block the opening for good, a
// device such as /dev/zero never ends), every failure comes back as a French reason,
// and an append either adds its whole record or leaves the file as it was.
//
// Threads: any thread; nothing here keeps state.

#include <cstdint>
#include <string>

namespace varonel::audio {

// The French text of a system error number (errno), without the file's name:
// "Permission refusée", "Disque plein", ...
std::string systemErrorText(int error);

// Opens `path` for reading when it names a regular file (links followed). Never
// blocks and never opens anything else: a folder, a FIFO or a device is refused
// before it is opened, and checked again on the open descriptor. Returns the
// descriptor (close-on-exec), or -1 with *reason set to a French text.
int openRegularFile(const std::string& path, std::string* reason);

// Reads the whole of an open file, at most `maxBytes` bytes. False, with *reason
// set, on a read error or when the file holds more than that (*tooLarge is then true).
bool readWholeFile(int fd, int64_t maxBytes, std::string* bytes, std::string* reason,
                   bool* tooLarge);

// Appends `record` to the regular file `path` (created when missing) in one write.
// A write that fails part-way (a full disk) is cut back, so the lines already there
// are never followed by half a record; a last line left unfinished by an earlier
// crash is ended first, so the record never joins it. `durable` waits until the
// record is on the disk, so that a failure the disk reports late is still told.
// False, with *reason set, when nothing was added.
bool appendRecord(const std::string& path, const std::string& record, bool durable,
                  std::string* reason);

}  // namespace varonel::audio
