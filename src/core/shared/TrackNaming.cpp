#include "core/shared/TrackNaming.h"

#include "core/shared/FolderSeparator.h"
#include "core/shared/TextRules.h"

namespace varonel::core {

namespace {

constexpr int kExtensionChars = 4;

// Last two characters of the number written after "00", as the lists show it.
QString twoDigits(int64_t value) {
    return (QStringLiteral("00") + QString::number(value)).right(2);
}

}  // namespace

QString ArtisteSansDossier(const QString& name) {
    const qsizetype hyphen = name.indexOf(u'-');
    if (hyphen < 0) {
        return {};
    }
    return trimSpaces(QStringView(name).left(hyphen));
}

QString Artiste(const QString& name) {
    const QString artist = ArtisteSansDossier(name);
    const qsizetype separator = lastFolderSeparator(artist);
    // No trimming after the separator: a space that follows it stays.
    return separator < 0 ? artist : artist.mid(separator + 1);
}

QString Titre(const QString& name) {
    const qsizetype hyphen = name.indexOf(u'-');
    if (hyphen < 0) {
        return {};
    }
    QString title = trimSpaces(QStringView(name).mid(hyphen + 1).left(kTitreMaxChars));
    if (title.size() < kExtensionChars) {
        return {};
    }
    // The extensions of four letters and a dot lose their whole extension too.
    const bool longExtension = title.endsWith(QLatin1String(".flac"), Qt::CaseInsensitive) ||
                               title.endsWith(QLatin1String(".opus"), Qt::CaseInsensitive);
    title.chop(longExtension ? kExtensionChars + 1 : kExtensionChars);
    return title;
}

QString FTime(int32_t ms) {
    const int64_t seconds = ms < 0 ? -1 : ms / 1000;
    if (seconds <= 0) {
        return QStringLiteral("--:--");
    }
    return twoDigits(seconds / 60) + u':' + twoDigits(seconds % 60);
}

}  // namespace varonel::core
