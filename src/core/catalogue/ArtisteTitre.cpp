#include "core/catalogue/ArtisteTitre.h"

#include "core/shared/FolderSeparator.h"
#include "core/shared/TextRules.h"

namespace varonel::core {

namespace {

// The text up to the first occurrence of `extension` in any case. The
// extensions are plain ASCII, so a search that ignores case finds them where
// an upper-cased copy would, without the length changes upper-casing can bring.
void cutAt(QString* title, QLatin1StringView extension) {
    const qsizetype at = title->indexOf(extension, 0, Qt::CaseInsensitive);
    if (at >= 0) {
        title->truncate(at);
    }
}

}  // namespace

void ArtisteTitre(QString* artist, QString* title, const QString& path) {
    const qsizetype hyphen = path.indexOf(u'-');
    if (hyphen < 0) {
        return;
    }
    *artist = trimSpaces(QStringView(path).left(hyphen));
    *title = trimSpaces(QStringView(path).mid(hyphen + 1).left(kArtisteTitreMaxChars));
    const qsizetype separator = lastFolderSeparator(*artist);
    if (separator >= 0) {
        *artist = artist->mid(separator + 1, kArtisteTitreMaxChars);
    }
    cutAt(title, QLatin1StringView(".WAV"));
    cutAt(title, QLatin1StringView(".MP3"));
    // The other formats the catalogue lists, after the two it always knew.
    for (const char* extension : {".FLAC", ".OGG", ".OGA", ".OPUS"}) {
        cutAt(title, QLatin1StringView(extension));
    }
}

}  // namespace varonel::core
