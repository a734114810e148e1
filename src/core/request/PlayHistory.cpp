#include "core/request/PlayHistory.h"

#include <algorithm>

#include "core/playlist/PlaylistTiming.h"
#include "core/request/NameKey.h"

namespace varonel::core {

void PlayHistory::setKeep(int tracks, int64_t ms) {
    m_keepTracks = std::max(tracks, 1);
    m_keepMs = std::max<int64_t>(ms, 0);
}

void PlayHistory::keepFor(const RequestRules& rules) {
    constexpr int64_t kMinuteMs = 60 * 1000;
    setKeep(rules.artistTracks + 1,
            std::max<int64_t>(rules.artistMinutes, int64_t(rules.titleHours) * 60) * kMinuteMs);
}

void PlayHistory::started(const PlaylistRow& row, int64_t nowMs) {
    // A track that starts ends any other still marked on air: the outgoing
    // one of a transition is told ended later, but is no longer the one on air.
    for (Play& play : m_plays) {
        play.onAir = false;
    }
    m_plays.push_back(
        {row.path, artistKeyOf(row.artist), songKeyOf(row), nowMs, nowMs + rowLengthMs(row), true});
    if (m_lastPlayed.size() >= kMaxFiles && !m_lastPlayed.contains(row.path)) {
        // The oldest half goes: a week of files played once each is far below.
        QList<int64_t> times = m_lastPlayed.values();
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        const int64_t median = times[times.size() / 2];
        m_lastPlayed.removeIf([median](const auto& entry) { return entry.value() <= median; });
    }
    m_lastPlayed.insert(row.path, nowMs);
    forget(nowMs);
}

void PlayHistory::ended(const QString& path, int64_t nowMs) {
    for (auto play = m_plays.rbegin(); play != m_plays.rend(); ++play) {
        if (play->path == path) {
            play->endMs = std::max(play->startMs, nowMs);
            play->onAir = false;
            return;
        }
    }
}

QString PlayHistory::onAirPath() const {
    return !m_plays.empty() && m_plays.back().onAir ? m_plays.back().path : QString();
}

QString PlayHistory::artistKeyOf(const QString& artist) {
    return nameKey(artist);
}

QString PlayHistory::songKey(const QString& artistKey, const QString& titleKey,
                             const QString& path) {
    return titleKey.isEmpty() ? nameKey(path) : artistKey + u'\x1f' + titleKey;
}

QString PlayHistory::songKeyOf(const PlaylistRow& row) {
    return songKey(artistKeyOf(row.artist), nameKey(row.title), row.path);
}

void PlayHistory::forget(int64_t nowMs) {
    while (m_plays.size() > size_t(m_keepTracks) && m_plays.front().endMs < nowMs - m_keepMs) {
        m_plays.pop_front();
    }
}

}  // namespace varonel::core
