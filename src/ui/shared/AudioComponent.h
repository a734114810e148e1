#pragma once
// The first-run check that both programs make before their window opens: when
// the suite's audio component is not installed for the user, the installer
// shipped in the program folder is started, the operator is told, and the
// program gives it 2 seconds before going on.

#include <QString>

#include "core/shared/Dialogs.h"

namespace varonel::ui {

// True when the component was missing and its installer has been started.
// `title` is the message's title (the program's name).
bool installLibraryIfMissing(core::Dialogs& dialogs, const QString& title, int waitMs = 2000);

// Lets window events run for `ms` milliseconds.
void attendre(int ms);

}  // namespace varonel::ui
