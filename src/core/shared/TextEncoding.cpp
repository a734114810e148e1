#include "core/shared/TextEncoding.h"

#include <QStringDecoder>
#include <array>

namespace varonel::core {

namespace {

// The only range where Windows-1252 differs from Latin-1.
constexpr std::array<char16_t, 32> kWindows1252From0x80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

QString decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const bool inTable = byte >= 0x80 && byte <= 0x9F;
        text[i] = QChar(inTable ? kWindows1252From0x80[byte - 0x80] : char16_t(byte));
    }
    return text;
}

QString decodeUtf8OrWindows1252(QByteArrayView bytes) {
    // Stateless: an incomplete sequence at the end is an error, not a wait for
    // more bytes, so a file whose last character is Windows-1252 is noticed.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return decodeWindows1252(bytes);
}

}  // namespace varonel::core
