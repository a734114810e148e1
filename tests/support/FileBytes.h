#pragma once
// Whole files as bytes, for tests that write inputs or check what was written.

#include <QByteArray>
#include <QFile>
#include <QString>

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

}  // namespace filebytes
