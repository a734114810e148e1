#include "core/shared/FileNames.h"

namespace varonel::core {

namespace {

constexpr char16_t kFirstKeptByte = 0xDC80;  // stands for byte 0x80
constexpr char16_t kLastKeptByte = 0xDCFF;   // byte 0xFF

// A lone surrogate of the kept range at `i`: the low half of a pair (U+10080 is
// D800 DC80) is a character of its own.
bool isKeptByte(const QString& name, qsizetype i) {
    const char16_t unit = name[i].unicode();
    return unit >= kFirstKeptByte && unit <= kLastKeptByte &&
           !(i > 0 && name[i - 1].isHighSurrogate());
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at bytes[at], 0 when there is none. Overlong
// forms, surrogates and values past U+10FFFF are not valid.
qsizetype sequenceLength(QByteArrayView bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    qsizetype length = 0;
    unsigned char low = 0x80;  // bounds of the second byte
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (qsizetype i = 2; i < length; ++i) {
        if (!isContinuation(byte(i))) {
            return 0;
        }
    }
    return length;
}

}  // namespace

QString fromSystemName(QByteArrayView bytes) {
    QString name;
    name.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = sequenceLength(bytes, at);
        if (length == 0) {
            name.append(
                QChar(char16_t(kFirstKeptByte + static_cast<unsigned char>(bytes[at]) - 0x80)));
            ++at;
        } else {
            name.append(QString::fromUtf8(bytes.sliced(at, length)));
            at += length;
        }
    }
    return name;
}

QByteArray toSystemName(const QString& name) {
    if (!holdsSystemBytes(name)) {
        return name.toUtf8();
    }
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        const bool kept = i < name.size() && isKeptByte(name, i);
        if (i == name.size() || kept) {
            // A kept byte is always alone: the text before it converts as usual.
            bytes += QStringView(name).sliced(runStart, i - runStart).toUtf8();
            runStart = i + 1;
        }
        if (kept) {
            bytes += char(name[i].unicode() - kFirstKeptByte + 0x80);
        }
    }
    return bytes;
}

std::string systemPath(const QString& path) {
    return toSystemName(path).toStdString();
}

bool holdsSystemBytes(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isKeptByte(name, i)) {
            return true;
        }
    }
    return false;
}

QString readableName(const QString& name) {
    QString readable = name;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isKeptByte(name, i)) {
            readable[i] = QChar::ReplacementCharacter;
        }
    }
    return readable;
}

}  // namespace varonel::core
