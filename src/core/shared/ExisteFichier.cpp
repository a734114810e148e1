#include "core/shared/ExisteFichier.h"

#include <QFileInfo>

#include "core/shared/TextRules.h"

namespace varonel::core {

bool ExisteFichier(const QString& path) {
    const QString trimmed = trimSpaces(path);
    if (trimmed.isEmpty()) {
        return false;
    }
    const QFileInfo info(trimmed);
    return info.isFile() && info.isReadable() && !info.fileName().startsWith(u'.');
}

}  // namespace varonel::core
