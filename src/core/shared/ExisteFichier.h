#pragma once
// Whether a path names a file that the programs may use at start-up.

#include <QString>

namespace varonel::core {

// True when the path, trimmed of spaces, is not blank and names an ordinary
// file that the user can read and whose name does not start with "." (hidden).
// False for folders and for anything else.
bool ExisteFichier(const QString& path);

}  // namespace varonel::core
