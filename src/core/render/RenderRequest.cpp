#include "core/render/RenderRequest.h"

#include "core/automix/PlayHistoryBinding.h"
#include "core/browser/FolderListing.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/request/Requette.h"
#include "core/shared/TrackNaming.h"

namespace varonel::core {

namespace {

// The same draws every time, so that a render is the same every time.
constexpr uint32_t kRenderSeed = 1;

}  // namespace

RenderRequest::RenderRequest(const QString& folder, Transport& transport, PlaylistModel& playlist,
                             const Clock& airClock, audio::FileSource& reader,
                             const RequestRules& rules, std::function<void(const QString&)> tell)
    : m_transport(transport),
      m_playlist(playlist),
      m_reader(reader),
      m_browser({Artiste, true}),
      m_round(m_history, airClock, kRenderSeed),
      m_tell(std::move(tell)) {
    m_round.setRules(rules);
    m_history.keepFor(rules);
    m_browser.fill(folder, listFiles(folder), false);
    followAir(transport, m_history, airClock, &m_context);
    m_transport.setRequette([this] { requette(); });
}

void RenderRequest::requette() {
    RequetteContext context{
        m_browser, m_playlist, sourceLengthReader(m_reader), m_limitClock, {}, {}, {}, m_tell};
    context.round = &m_round;
    context.neverDry = m_transport.RequetteAuto();
    Requette(context);
    m_transport.CalculTiming();
}

}  // namespace varonel::core
