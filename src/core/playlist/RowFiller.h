#pragma once
// Fills playlist rows: artist and title from the path, duration from the audio
// file reader. Every way of adding a row goes through here.

#include <QString>

#include "core/browser/BrowserRow.h"
#include "core/playlist/PlaylistRow.h"
#include "core/shared/TrackLengthReader.h"

namespace varonel::core {

// Whether the hidden milliseconds cell is written. Rows added by a double click
// in the browser or from the catalogue window leave it empty, so they count 0 in
// the total time; rows from a playlist file, a drop or a random request fill it.
enum class MillisecondsCell { Empty, Filled };

// A row for `path`: artist and title from the path, the path itself, and the
// duration read from the file. False, with the reader's text in *error when
// error is given, when the reader cannot open the file or reports a negative
// length; *row is then untouched.
bool fillRowFromPath(const QString& path, const TrackLengthReader& reader, MillisecondsCell ms,
                     PlaylistRow* row, QString* error = nullptr);

// A browser row copied as a playlist row: artist, title, duration and path,
// the milliseconds cell empty until refreshRowLength fills it.
PlaylistRow rowFromBrowser(const BrowserRow& row);

// For a row whose artist, title and path are set (copied from the browser or
// named by the catalogue): reads the length of row->path again and overwrites
// the duration and, when asked, the milliseconds cell. Same failure rule as
// fillRowFromPath.
bool refreshRowLength(const TrackLengthReader& reader, MillisecondsCell ms, PlaylistRow* row,
                      QString* error = nullptr);

}  // namespace varonel::core
