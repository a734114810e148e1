#pragma once
// Text files of one entry per line: playlist files and the catalogue. Written
// as UTF-8 with CR LF; read as UTF-8 or Windows-1252, with LF or CR LF.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace varonel::core {

// Lines of a decoded text. A last line without its line end still counts; a
// text that ends with a line end gives no extra empty line; an empty line
// between others is kept. An empty text has no line.
QStringList splitLines(const QString& text);

// Reads every line of the file. False, with a French reason that names the
// file in *error when error is given, when the file cannot be opened or read;
// *lines is then untouched.
bool readLineFile(const QString& filePath, QStringList* lines, QString* error = nullptr);

// Writes each line followed by CR LF. The old file stays whole until the new
// one is complete on disk, so a failure never loses it. A line that holds a CR
// or LF of its own is refused (it would read back as two entries). False, with
// a French reason that names the file in *error when error is given.
bool writeLineFile(const QString& filePath, const QStringList& lines, QString* error = nullptr);

}  // namespace varonel::core
