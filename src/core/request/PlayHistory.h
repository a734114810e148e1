#pragma once
// What the air has played lately, as the automatic request needs it to keep
// artists and titles apart: each track that went on air, with its artist and
// title keys, when it started and when it was (or will be) last heard; and
// when each file last played, so that a new round takes the longest unheard
// first. It forgets what no rule looks back to, so days on air cost no more
// memory than an hour.
//
// Times are in the air clock's milliseconds (Clock::monotonicMs()). Main
// thread only.

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>

#include "core/playlist/PlaylistRow.h"
#include "core/request/RequestRules.h"

namespace varonel::core {

class PlayHistory {
public:
    struct Play {
        QString path;
        QString artistKey;  // nameKey() of the artist; "" when the name has none
        QString titleKey;   // songKey() of its artist and title
        int64_t startMs = 0;
        int64_t endMs = 0;  // expected from the row's length while on air
        bool onAir = true;
    };

    // Files remembered for their last play, at most.
    static constexpr int kMaxFiles = 50000;

    // Plays are kept while they ended less than `ms` ago, and the last `tracks`
    // ones whatever their age.
    void setKeep(int tracks, int64_t ms);
    // As far back as the rules look.
    void keepFor(const RequestRules& rules);

    // A track went on air.
    void started(const PlaylistRow& row, int64_t nowMs);
    // The track of `path` is no longer heard.
    void ended(const QString& path, int64_t nowMs);

    // The plays remembered, oldest first; the one on air last.
    const std::deque<Play>& plays() const { return m_plays; }
    // When the file last went on air; -1 when never.
    int64_t lastPlayedMs(const QString& path) const { return m_lastPlayed.value(path, -1); }
    // Every file remembered, in no particular order.
    QStringList playedPaths() const { return m_lastPlayed.keys(); }
    // The file on air; "" when none.
    QString onAirPath() const;

    // The keys a row is compared by. A title is a song: the same title by two
    // artists ("Intro", "Track 01") is two songs; a name without a title is
    // known by its path.
    static QString artistKeyOf(const QString& artist);
    static QString songKey(const QString& artistKey, const QString& titleKey, const QString& path);
    static QString songKeyOf(const PlaylistRow& row);

private:
    void forget(int64_t nowMs);

    std::deque<Play> m_plays;
    QHash<QString, int64_t> m_lastPlayed;
    int m_keepTracks = 4;
    int64_t m_keepMs = 3 * 3600 * 1000;
};

}  // namespace varonel::core
