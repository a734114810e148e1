#pragma once
// What the browser lists of one folder: its audio files (the file list) and its
// subfolders (the folder list), each in name order without regard to case.
// Hidden entries (names starting with ".") and pseudo file systems are left
// out; a folder that cannot be read lists nothing.

#include <QString>
#include <QStringList>

#include "core/shared/FilePattern.h"

namespace varonel::core {

// Names of the ordinary files of `folder` that match `pattern`.
QStringList listFiles(const QString& folder, const FilePattern& pattern = FilePattern());

// Names of the subfolders of `folder`.
QStringList listSubfolders(const QString& folder);

// Sorts names as the lists show them: ignoring case, then by case so that the
// order is the same on every run.
void sortNames(QStringList* names);

}  // namespace varonel::core
