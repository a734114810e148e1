#pragma once
// The main window's as-run log: the daily files in the settings folder, and the
// one report of the session when they cannot be written. The report goes to the
// status line: a log that fails must not stop the show with a message box.

#include <QString>

#include "core/automix/AsRunLog.h"
#include "core/shared/StatusLine.h"

namespace varonel::ui {

// The log lives as long as `parent`; `transport`, `clock` and `status` must too.
core::AsRunLog* bindAsRunLog(core::Transport& transport, const core::Clock& clock,
                             const QString& cheminAppli, core::StatusLine& status, QObject* parent);

}  // namespace varonel::ui
