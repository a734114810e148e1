#pragma once
// The automatic request of an offline render (--request FOLDER): the folder
// listed as the browser lists it, and the request switch on from the start, so
// that the render takes its tracks exactly as the air does with the switch on:
// the same request, separation rules and rounds, through the same transport.

#include <QObject>
#include <QString>
#include <functional>

#include "audio/FileSource.h"
#include "core/automix/Transport.h"
#include "core/browser/BrowserModel.h"
#include "core/playlist/PlaylistModel.h"
#include "core/request/PlayHistory.h"
#include "core/request/RequestRules.h"
#include "core/request/RequetteRound.h"
#include "core/shared/Clock.h"

namespace varonel::core {

class RenderRequest {
public:
    // The request's own time limit runs on the system's clock: the render's
    // virtual clock stands still while a request runs. `tell` hears what the
    // request would post on the status line.
    RenderRequest(const QString& folder, Transport& transport, PlaylistModel& playlist,
                  const Clock& airClock, audio::FileSource& reader, const RequestRules& rules,
                  std::function<void(const QString&)> tell);

    // The audio files the folder holds.
    int rows() const { return m_browser.count(); }

private:
    void requette();

    QObject m_context;
    Transport& m_transport;
    PlaylistModel& m_playlist;
    audio::FileSource& m_reader;
    SystemClock m_limitClock;
    BrowserModel m_browser;
    PlayHistory m_history;
    RequetteRound m_round;
    std::function<void(const QString&)> m_tell;
};

}  // namespace varonel::core
