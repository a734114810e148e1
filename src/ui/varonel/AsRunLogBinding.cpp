#include "ui/varonel/AsRunLogBinding.h"

namespace varonel::ui {

core::AsRunLog* bindAsRunLog(core::Transport& transport, const core::Clock& clock,
                             const QString& cheminAppli, core::StatusLine& status,
                             QObject* parent) {
    auto* log = new core::AsRunLog(transport, clock, cheminAppli, parent);
    QObject::connect(log, &core::AsRunLog::cannotWrite, parent,
                     [&status](const QString& message) { status.post(message); });
    return log;
}

}  // namespace varonel::ui
