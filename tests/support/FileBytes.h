#pragma once
// Whole files as bytes, for tests that write inputs or check what was written.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace filebytes {

// The file's bytes, or a marker no real file of the tests holds.
inline QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Writes each file below `root` with `bytes`, making its folders; a name that
// ends with '/' is an empty folder. False at the first that cannot be made.
inline bool writeTree(const QString& root, const QStringList& files,
                      const QByteArray& bytes = "x") {
    for (const QString& file : files) {
        const QString path = root + u'/' + file;
        const bool folder = file.endsWith(u'/');
        if (!QDir().mkpath(folder ? path : QFileInfo(path).path()) ||
            (!folder && !write(path, bytes))) {
            return false;
        }
    }
    return true;
}

// A 16-bit PCM WAV file of any rate and channel count (the synthesiser's writer
// refuses absurd ones), holding a quiet square wave.
inline QByteArray wav16(quint32 rate, quint16 channels, quint32 frames) {
    const quint32 dataBytes = frames * channels * 2;
    QByteArray bytes;
    const auto u32 = [&bytes](quint32 v) {
        for (int i = 0; i < 4; ++i) {
            bytes.append(char(v >> (8 * i)));
        }
    };
    const auto u16 = [&bytes](quint16 v) { bytes.append(char(v)).append(char(v >> 8)); };
    bytes.append("RIFF");
    u32(36 + dataBytes);
    bytes.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(channels);
    u32(rate);
    u32(rate * channels * 2);
    u16(quint16(channels * 2));
    u16(16);
    bytes.append("data");
    u32(dataBytes);
    for (quint32 i = 0; i < frames * channels; ++i) {
        u16((i / channels) % 8 < 4 ? 4000 : quint16(-4000));
    }
    return bytes;
}

}  // namespace filebytes
