#pragma once
// The automatic request: tops the playlist up to 10 rows with random browser
// rows not taken before, for at most 1.5 s. Rows it takes are tagged "x" and are
// not taken again until the folder is listed anew. The choice keeps artists and
// titles apart, and with the request switch on it never runs dry (see
// RequetteRound).
//
// Main thread only. `yield` lets pending window events run inside the loop, as
// a timer may start a nested request or the operator change the folder: the
// row counts are read again at every turn.

#include <functional>

#include "core/browser/BrowserModel.h"
#include "core/playlist/PlaylistModel.h"
#include "core/request/RequetteRound.h"
#include "core/shared/Clock.h"
#include "core/shared/TrackLengthReader.h"

namespace varonel::core {

struct RequetteContext {
    BrowserModel& browser;
    PlaylistModel& playlist;
    TrackLengthReader reader;  // the audio file reader of the rows it appends
    const Clock& clock;
    std::function<void()> yield;          // may be empty
    std::function<void(bool)> busy;       // the busy pointer on and off; may be empty
    std::function<void()> playlistGrown;  // after each appended row; may be empty
    // What the operator should learn from this request without being stopped:
    // a drawn file that could not be read, nothing left to take. May be empty.
    std::function<void(const QString&)> tell;
    // What the request remembers from one run to the next. Null: a round of its
    // own for this run, that knows nothing of what the air played.
    RequetteRound* round = nullptr;
    // The request switch is on: the catalogue and new rounds when the folder
    // has nothing left.
    bool neverDry = false;
};

inline constexpr int kRequetteFillTo = 10;
inline constexpr int64_t kRequetteLimitMs = 1500;

// Returns the number of rows appended. The caller recomputes the total time.
int Requette(const RequetteContext& context);

}  // namespace varonel::core
