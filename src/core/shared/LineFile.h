#pragma once
// Text files of one entry per line: playlist files and the catalogue. Written
// with CR LF after each line; read with LF or CR LF.
//
// Each line is a file's path, written as the system names the file (see
// FileNames.h): UTF-8, except for a name that is not valid UTF-8 on the disk,
// whose bytes are written as they are. Read back, a line that is valid UTF-8
// is UTF-8 (a leading byte-order mark is dropped); any other line is the
// system's bytes when a file or folder of that very name exists, so that it
// still opens, and Windows-1252 otherwise, so that files written by the older
// Windows program in its code page still load.
//
// Only regular files are read, and only up to bounds that no playlist and no
// full catalogue (32 767 paths) reaches: a wrong choice in the open dialog
// (/dev/zero, a FIFO, a huge file) is refused at once rather than hanging the
// program or filling the memory.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace varonel::core {

inline constexpr qint64 kMaxLineFileBytes = 64LL * 1024 * 1024;
inline constexpr qsizetype kMaxLineFileLines = 200000;

// The lines of a line file's bytes, decoded as above. A last line without its
// line end still counts; bytes that end with a line end give no extra empty
// line; an empty line between others is kept. False, with a French reason in
// *error when error is given, past kMaxLineFileLines.
bool decodeLineFile(QByteArrayView bytes, QStringList* lines, QString* error = nullptr);

// The bytes of a line file holding these lines. A line that holds a CR or LF
// of its own is refused (it would read back as two entries): false, with a
// French reason.
bool encodeLineFile(const QStringList& lines, QByteArray* bytes, QString* error = nullptr);

// Reads every line of the file. False, with a French reason in *error when
// error is given, when the file is not a regular file, cannot be read or
// exceeds the bounds; *lines is then untouched.
bool readLineFile(const QString& filePath, QStringList* lines, QString* error = nullptr);

// Writes the lines. The old file stays whole until the new one is complete on
// disk, so a failure never loses it; a path that is not a regular file is
// never replaced. False, with a French reason, on failure.
bool writeLineFile(const QString& filePath, const QStringList& lines, QString* error = nullptr);

}  // namespace varonel::core
