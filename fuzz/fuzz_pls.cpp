// Fuzz target: a playlist file as "Ouvrir" and the offline render read it (its
// bounds, the encoding of each line, a row with artist, title and length for
// each line, the total time), and the promise of the line files that what was
// read comes back unchanged once written again.

#include <algorithm>

#include <QByteArrayView>
#include <QString>

#include "FuzzFile.h"
#include "core/playlist/PlaylistFile.h"
#include "core/playlist/PlaylistTiming.h"
#include "core/shared/FileError.h"
#include "core/shared/LineFile.h"

using namespace varonel::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = QString::fromStdString(fuzzfile::write(data, size));
    // Every line opens, with a length that depends on it: the rows are all made.
    const TrackLengthReader reader = [](const QString& line, QString*) {
        return int32_t(line.size()) * 1000;
    };
    PlaylistModel playlist;
    loadPlaylistFile(path, reader, &playlist);
    CalculTiming(playlist);

    QStringList lines;
    if (!decodeLineFile(QByteArrayView(data, qsizetype(size)), &lines)) {
        return 0;
    }
    // Every line that names a file makes a row; a blank one makes none.
    const auto named = std::count_if(lines.begin(), lines.end(),
                                     [](const QString& line) { return !isBlankPath(line); });
    fuzzfile::require(playlist.count() == named);
    QByteArray written;
    if (encodeLineFile(lines, &written)) {
        QStringList again;
        fuzzfile::require(decodeLineFile(written, &again) && again == lines);
    }
    return 0;
}
