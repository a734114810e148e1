#pragma once
// The lines of every as-run log (Diffusion-*.txt) in a program folder, the
// oldest file first.

#include <QDir>
#include <QStringList>

#include "FileBytes.h"

namespace asrunlines {

inline QStringList read(const QString& folder) {
    QStringList lines;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({"Diffusion-*.txt"}, QDir::Files, QDir::Name)) {
        lines += QString::fromUtf8(filebytes::read(dir.filePath(name)))
                     .split("\r\n", Qt::SkipEmptyParts);
    }
    return lines;
}

}  // namespace asrunlines
