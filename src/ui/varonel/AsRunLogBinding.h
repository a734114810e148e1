#pragma once
// The main window's as-run log: the daily files in the settings folder, and the
// one message of the session when they cannot be written. The message is shown
// from the event loop, never inside the transport's tick that wrote the line, so
// the broadcast goes on while it is up.

#include <QString>

#include "AsRunLog.h"
#include "Dialogs.h"

namespace varonel::ui {

// The log lives as long as `parent`; `transport`, `clock` and `dialogs` must too.
core::AsRunLog* bindAsRunLog(core::Transport& transport, const core::Clock& clock,
                             const QString& cheminAppli, core::Dialogs& dialogs, QObject* parent);

}  // namespace varonel::ui
