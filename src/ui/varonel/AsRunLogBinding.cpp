#include "AsRunLogBinding.h"

namespace varonel::ui {

core::AsRunLog* bindAsRunLog(core::Transport& transport, const core::Clock& clock,
                             const QString& cheminAppli, core::Dialogs& dialogs, QObject* parent) {
    auto* log = new core::AsRunLog(transport, clock, cheminAppli, parent);
    QObject::connect(
        log, &core::AsRunLog::cannotWrite, parent,
        [&dialogs](const QString& message) {
            dialogs.message({message, QStringLiteral("Alerte"), core::MessageIcon::Exclamation});
        },
        Qt::QueuedConnection);
    return log;
}

}  // namespace varonel::ui
