#pragma once
// The play history follows the air: each track that the transport puts on air
// or takes off it is noted, in the transport's own time. The window and the
// offline render bind it the same way.

#include <QObject>

#include "core/automix/Transport.h"
#include "core/request/PlayHistory.h"
#include "core/shared/Clock.h"

namespace varonel::core {

inline void followAir(Transport& transport, PlayHistory& history, const Clock& clock,
                      QObject* context) {
    QObject::connect(&transport, &Transport::trackStarted, context,
                     [&transport, &history, &clock](const QString&, const QString&) {
                         history.started(transport.onAirRow(), clock.monotonicMs());
                     });
    QObject::connect(&transport, &Transport::trackEnded, context,
                     [&history, &clock](const QString& path, const QString&) {
                         history.ended(path, clock.monotonicMs());
                     });
}

}  // namespace varonel::core
