#pragma once
// Decoding of the suite's text files: UTF-8, or Windows-1252 for files written
// by the older Windows program in its ANSI code page.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace varonel::core {

// Windows-1252 through a fixed table, so that it decodes the same on every
// system whatever converters Qt was built with. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of the same number, as web browsers do.
QString decodeWindows1252(QByteArrayView bytes);

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is dropped),
// Windows-1252 otherwise.
QString decodeUtf8OrWindows1252(QByteArrayView bytes);

}  // namespace varonel::core
