#include "PlaylistFile.h"

#include "LineFile.h"
#include "RowFiller.h"

namespace varonel::core {

PlaylistLoadReport loadPlaylistFile(const QString& filePath, const TrackLengthReader& reader,
                                    PlaylistModel* playlist) {
    PlaylistLoadReport report;
    QStringList lines;
    if (!readLineFile(filePath, &lines, &report.error)) {
        return report;
    }
    report.fileRead = true;
    playlist->clear();
    for (int i = 0; i < lines.size(); ++i) {
        PlaylistRow row;
        if (!fillRowFromPath(lines.at(i), reader, MillisecondsCell::Filled, &row, &report.error)) {
            report.stoppedAtLine = i + 1;
            return report;
        }
        playlist->append(row);
        ++report.rowsAdded;
    }
    return report;
}

bool savePlaylistFile(const QString& filePath, const PlaylistModel& playlist, QString* error) {
    return writeLineFile(filePath, playlist.paths(), error);
}

}  // namespace varonel::core
