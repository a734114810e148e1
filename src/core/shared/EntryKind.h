#pragma once
// What one entry of a folder read with readdir is, following symbolic links:
// the browser and the catalogue walk both sort entries this way.

#include <dirent.h>

namespace varonel::core {

enum class EntryKind { File, Folder, LinkedFolder, Other };

// The directory tells most entries' kind, so the system is asked only about
// links and unknown kinds (one or two calls); a broken link is `Other`.
EntryKind entryKind(int folderFd, const dirent& entry);

}  // namespace varonel::core
