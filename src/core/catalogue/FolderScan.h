#pragma once
// One folder of a catalogue walk, read once: its audio files and its
// subfolders, each in name order without regard to case, with what the walk
// needs to stay on real file systems and never walk a folder twice (which
// subfolders are links, and the folder's identity on its device). Hidden
// entries and files the user cannot read are left out, as in the browser.
// Names are kept as the system has them (FileNames.h), UTF-8 or not.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "core/shared/FilePattern.h"

namespace varonel::core {

struct FolderScan {
    // The system's description of why the folder could not be read; empty
    // when it was. Nothing is listed when it was not.
    QString error;
    QStringList files;
    QStringList subfolders;
    // The subfolders reached through a symbolic link (a few at most).
    QStringList linkedSubfolders;
    // Device and inode of the folder itself.
    uint64_t device = 0;
    uint64_t inode = 0;
};

FolderScan scanFolder(const QString& folder, const FilePattern& pattern);

}  // namespace varonel::core
