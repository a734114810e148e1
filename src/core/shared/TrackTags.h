#pragma once
// Artist and title from a file's own tags (ID3v2, Vorbis comments, FLAC), read
// with TagLib, for the files whose name gives no artist: "Intermède.wav" has no
// "-", but its tags may name it. A name that gives its artist is never changed.
//
// Threads: any thread (each call opens the file on its own).

#include <QString>

namespace varonel::core {

struct TagNames {
    QString artist;
    QString title;
};

// True when `fileName` (a name without its folder) gives no artist, so that
// its tags are worth reading.
bool nameGivesNoArtist(const QString& fileName);

// The artist and title the tags of `path` hold; false when the file has no
// readable tags or no artist in them.
bool readTagNames(const QString& path, TagNames* names);

}  // namespace varonel::core
