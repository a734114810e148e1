#include "PlaylistRow.h"

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

void PlaylistRow::setCell(int column, const QString& text) {
    switch (column) {
        case kArtistColumn:
            artist = text;
            break;
        case kTitleColumn:
            title = text;
            break;
        case kDurationColumn:
            durationText = text;
            break;
        case kPathColumn:
            path = text;
            break;
        case kMillisecondsColumn:
            milliseconds = text;
            break;
        default:
            break;
    }
}

}  // namespace varonel::core
