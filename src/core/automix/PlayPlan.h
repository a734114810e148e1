#pragma once
// How a track is to be played on air: where it begins and how loud (given to its
// file source with its load), and where its audio ends, which the exit point and
// the smart mix count from. The transport asks a planner for each track it puts
// on air; without one, every track plays whole at its own level.
//
// Main thread only.

#include <QString>
#include <cstdint>

#include "audio/FileSource.h"

namespace varonel::core {

struct PlayPlan {
    audio::TrackCues cues;
    int32_t audioEndMs = 0;  // 0 while unknown: the end of the file
};

class PlayPlanner {
public:
    virtual ~PlayPlanner() = default;
    // Never waits for more than a cache lookup on air; the offline render's
    // planner may analyse the file on the spot.
    virtual PlayPlan plan(const QString& path) = 0;
    // Where the audio of `path` ends, once known (a track that went on air before
    // its analysis was done learns it here); 0 while unknown.
    virtual int32_t audioEndMs(const QString& path) = 0;
};

}  // namespace varonel::core
