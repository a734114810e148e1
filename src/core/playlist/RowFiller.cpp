#include "core/playlist/RowFiller.h"

#include "core/shared/FileError.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/TrackNaming.h"
#include "core/shared/TrackTags.h"

namespace varonel::core {

namespace {

// A negative length is what the audio layer answers for a file it cannot decode;
// it is taken as a failure so that no row shows "--:--" and counts backwards.
// A blank path is refused before the reader sees it: the reader would answer
// for "no file" without an error, and the row could never be played.
bool readLength(const TrackLengthReader& reader, const QString& path, int32_t* lengthMs,
                QString* error) {
    QString readerError;
    const int32_t length = isBlankPath(path) ? 0 : reader(path, &readerError);
    if (isBlankPath(path) || !readerError.isEmpty() || length < 0) {
        if (error != nullptr) {
            *error = fileErrorText(path, readerError.isEmpty() && length < 0
                                             ? QStringLiteral("Fichier audio illisible")
                                             : readerError);
        }
        return false;
    }
    *lengthMs = length;
    return true;
}

void setLengthCells(int32_t lengthMs, MillisecondsCell ms, PlaylistRow* row) {
    row->durationText = FTime(lengthMs);
    if (ms == MillisecondsCell::Filled) {
        row->milliseconds = QString::number(lengthMs);
    }
}

}  // namespace

bool fillRowFromPath(const QString& path, const TrackLengthReader& reader, MillisecondsCell ms,
                     PlaylistRow* row, QString* error) {
    int32_t lengthMs = 0;
    if (!readLength(reader, path, &lengthMs, error)) {
        return false;
    }
    PlaylistRow filled;
    const QString name = fileNameOf(path);
    filled.artist = Artiste(name);
    filled.title = Titre(name);
    // A name that gives no artist leaves it to the file's tags, when it has any.
    TagNames tags;
    if (nameGivesNoArtist(name) && readTagNames(path, &tags)) {
        filled.artist = tags.artist;
        filled.title = tags.title;
    }
    filled.path = path;
    setLengthCells(lengthMs, ms, &filled);
    *row = filled;
    return true;
}

PlaylistRow rowFromBrowser(const BrowserRow& row) {
    PlaylistRow copied;
    copied.artist = row.artist;
    copied.title = row.title;
    copied.durationText = row.duration;
    copied.path = row.path;
    return copied;
}

bool refreshRowLength(const TrackLengthReader& reader, MillisecondsCell ms, PlaylistRow* row,
                      QString* error) {
    int32_t lengthMs = 0;
    if (!readLength(reader, row->path, &lengthMs, error)) {
        return false;
    }
    setLengthCells(lengthMs, ms, row);
    return true;
}

}  // namespace varonel::core
