#pragma once
// Total time of the playlist, as the main window shows it ("1h23mn").

#include <QString>
#include <cstdint>

#include "core/playlist/PlaylistModel.h"

namespace varonel::core {

// Sum of the milliseconds cells of every row, each cell read as the number at
// its start (an empty or non-numeric cell counts 0), the sum brought to the
// nearest whole number after each addition. Kept in 64 bits so that no
// playlist, however long, overflows.
int64_t totalMilliseconds(const PlaylistModel& playlist);

// h "h" m "mn", no spaces, no leading zeros. The seconds are rounded (a half to
// the even neighbour) before hours and minutes are taken, so 59 999 ms reads
// 0h1mn and 3 599 999 ms reads 1h0mn.
QString totalTimeText(int64_t totalMs);

// How long a row's track plays: its milliseconds cell, or else its duration
// text ("mm:ss"); 0 when neither tells.
int64_t rowLengthMs(const PlaylistRow& row);

// The text of the total-time label for the playlist.
QString CalculTiming(const PlaylistModel& playlist);

}  // namespace varonel::core
