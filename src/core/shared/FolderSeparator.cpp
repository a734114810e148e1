#include "core/shared/FolderSeparator.h"

namespace varonel::core {

qsizetype lastFolderSeparator(QStringView text) {
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (isFolderSeparator(text[i])) {
            return i;
        }
    }
    return -1;
}

QString withTrailingSeparator(const QString& folder) {
    if (!folder.isEmpty() && isFolderSeparator(folder.back())) {
        return folder;
    }
    return folder + kFolderSeparator;
}

}  // namespace varonel::core
