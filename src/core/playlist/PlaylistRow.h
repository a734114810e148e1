#pragma once
// One row of the playlist: five text cells, column 0 to 4. The full path is the
// row's identity; the milliseconds cell only feeds the total time.

#include <QString>

namespace varonel::core {

struct PlaylistRow {
    // Column numbers, as the list view numbers its cells.
    static constexpr int kArtistColumn = 0;
    static constexpr int kTitleColumn = 1;
    static constexpr int kDurationColumn = 2;
    static constexpr int kPathColumn = 3;
    static constexpr int kMillisecondsColumn = 4;
    static constexpr int kColumnCount = 5;

    QString artist;
    QString title;
    QString durationText;
    QString path;
    QString milliseconds;  // decimal text, or empty for rows that count 0

    // Cell by column number, as the list view shows it; an unknown column
    // reads as an empty text.
    QString cell(int column) const;

    bool operator==(const PlaylistRow&) const = default;
};

}  // namespace varonel::core
