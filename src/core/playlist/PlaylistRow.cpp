#include "core/playlist/PlaylistRow.h"

namespace varonel::core {

QString PlaylistRow::cell(int column) const {
    switch (column) {
        case kArtistColumn:
            return artist;
        case kTitleColumn:
            return title;
        case kDurationColumn:
            return durationText;
        case kPathColumn:
            return path;
        case kMillisecondsColumn:
            return milliseconds;
        default:
            return {};
    }
}

}  // namespace varonel::core
