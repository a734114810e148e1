#pragma once
// The random choice of the automatic request, with artists and titles kept
// apart: among the candidates, those that break the rules least (none at all
// as long as one such exists), then those of the nearest source (the browser's
// rows not yet taken before the catalogue, and both before tracks taken
// earlier), then those heard longest ago; one of them at random.
//
// Pure functions of their inputs. Main thread only.

#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>
#include <random>

#include "core/request/RequestRules.h"

namespace varonel::core {

// A track that comes before the one being chosen: heard, on air or queued.
struct TrackBefore {
    QString artistKey;
    QString titleKey;  // the song: PlayHistory::songKey()
    int64_t startMs = 0;
    int64_t endMs = 0;
};

struct RequestCandidate {
    QString artistKey;
    QString titleKey;
    int tier = 0;               // 0 the nearest source; larger is farther
    int64_t lastPlayedMs = -1;  // -1 when never heard
};

// How much a track placed after `before` (oldest first), starting at
// `startMs`, breaks the rules.
class Separation {
public:
    Separation(const QList<TrackBefore>& before, int64_t startMs, const RequestRules& rules);

    // 0 when every rule is kept; else, for each rule broken, the share of its
    // span that is missing (1 for the same artist just before), summed.
    double breach(const RequestCandidate& candidate) const;

private:
    struct Last {
        int tracksBetween = 0;  // tracks between its last play and the candidate
        int64_t endMs = 0;      // when it was last heard
    };

    QHash<QString, Last> m_artists;
    QHash<QString, int64_t> m_titles;
    int64_t m_startMs;
    RequestRules m_rules;
};

// The index of the choice among `candidates` (not empty).
int chooseCandidate(const QList<RequestCandidate>& candidates, const Separation& separation,
                    std::mt19937& random);

}  // namespace varonel::core
