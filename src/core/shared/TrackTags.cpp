#include "core/shared/TrackTags.h"

#include <fileref.h>
#include <tag.h>

#include <QFile>

namespace varonel::core {

bool nameGivesNoArtist(const QString& fileName) {
    return !fileName.contains(u'-');
}

bool readTagNames(const QString& path, TagNames* names) {
    const QByteArray file = QFile::encodeName(path);
    const TagLib::FileRef ref(file.constData(), false);
    if (ref.isNull() || ref.tag() == nullptr) {
        return false;
    }
    const TagLib::Tag& tag = *ref.tag();
    const QString artist = QString::fromStdString(tag.artist().to8Bit(true)).trimmed();
    if (artist.isEmpty()) {
        return false;
    }
    names->artist = artist;
    names->title = QString::fromStdString(tag.title().to8Bit(true)).trimmed();
    return true;
}

}  // namespace varonel::core
