#pragma once
// Playlist files (".pls"): the full path of each row, one per line, in row
// order. Artist, title and duration are derived again when a file is loaded.

#include <QString>

#include "core/playlist/PlaylistModel.h"
#include "core/shared/TrackLengthReader.h"

namespace varonel::core {

struct PlaylistLoadReport {
    // False when the playlist file itself could not be read; the playlist was
    // then left as it was.
    bool fileRead = false;
    // Rows appended before the load ended.
    int rowsAdded = 0;
    // Line number in the file (from 1, blank lines counted) whose audio file
    // the reader could not open, 0 when every line became a row. The rows
    // before it stay.
    int stoppedAtLine = 0;
    // Why the load ended early: the file's or the reader's text.
    QString error;

    bool complete() const { return fileRead && stoppedAtLine == 0; }
};

// Replaces the playlist with the rows of the file: one row per line that names
// a file (blank lines are passed over), milliseconds cell filled, in file
// order, stopping at the first line whose audio file the reader cannot open.
// The playlist is emptied only once the file has been read, so a file that
// cannot be read costs nothing.
PlaylistLoadReport loadPlaylistFile(const QString& filePath, const TrackLengthReader& reader,
                                    PlaylistModel* playlist);

// What the operator is told after a load of `filePath`: "" when it is whole;
// otherwise why it failed, or how many rows it holds and the line it stopped at.
QString playlistLoadProblem(const QString& filePath, const PlaylistLoadReport& report);

// Writes the path of every row. The old file stays whole until the new one is
// complete. False, with a reason in *error when error is given, on failure.
bool savePlaylistFile(const QString& filePath, const PlaylistModel& playlist,
                      QString* error = nullptr);

// What the operator is told when a save failed with `error`.
QString playlistSaveProblem(const QString& error);

}  // namespace varonel::core
