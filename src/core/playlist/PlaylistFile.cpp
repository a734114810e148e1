#include "core/playlist/PlaylistFile.h"

#include <QDir>

#include "core/playlist/RowFiller.h"
#include "core/shared/FileError.h"
#include "core/shared/LineFile.h"

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
        // A blank line names no track: it would be a row that can never play
        // and that the operator cannot see.
        if (isBlankPath(lines.at(i))) {
            continue;
        }
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

QString playlistLoadProblem(const QString& filePath, const PlaylistLoadReport& report) {
    const QString file = QDir::toNativeSeparators(filePath);
    if (!report.fileRead) {
        return QStringLiteral("La playlist n'a pas pu être ouverte.\n") + report.error;
    }
    if (report.complete()) {
        return {};
    }
    const QString rows = report.rowsAdded == 1
                             ? QStringLiteral("1 titre chargé")
                             : QStringLiteral("%1 titres chargés").arg(report.rowsAdded);
    return QStringLiteral(
               "La playlist n'est chargée qu'en partie : %1, arrêt à la ligne %2 de %3.\n")
               .arg(rows)
               .arg(report.stoppedAtLine)
               .arg(file) +
           report.error;
}

bool savePlaylistFile(const QString& filePath, const PlaylistModel& playlist, QString* error) {
    return writeLineFile(filePath, playlist.paths(), error);
}

QString playlistSaveProblem(const QString& error) {
    return QStringLiteral("La playlist n'a pas été sauvée.\n") + error;
}

}  // namespace varonel::core
