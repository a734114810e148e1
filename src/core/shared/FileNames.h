#pragma once
// File names as the system has them. A name on Linux is a string of bytes, most
// often UTF-8 but not always (a disk filled by an older system, an archive from
// elsewhere). A byte that is not part of valid UTF-8 is kept in the text as the lone
// surrogate U+DC80 + (byte - 0x80), so that the text turns back into the very same
// bytes and the file still opens; such a character shows as a replacement mark. Qt's
// own conversions would turn it into U+FFFD, a name that does not exist.
//
// Every name read from a folder goes through fromSystemName(), and every path given
// to the system (or to the audio layer) through toSystemName() or systemPath().

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <string>

namespace varonel::core {

QString fromSystemName(QByteArrayView bytes);
QByteArray toSystemName(const QString& name);
// The path as the audio layer and the system calls take it.
std::string systemPath(const QString& path);

// True when the text holds a byte kept by fromSystemName(): it has no UTF-8 form.
bool holdsSystemBytes(const QString& name);
// The name with each kept byte shown as U+FFFD, for what needs valid text (a
// regular expression, a UTF-8 log line).
QString readableName(const QString& name);

}  // namespace varonel::core
