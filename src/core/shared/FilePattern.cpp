#include "core/shared/FilePattern.h"

#include "core/shared/FileNames.h"

namespace varonel::core {

FilePattern::FilePattern(const QString& pattern) {
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        m_wildcards.append(
            QRegularExpression(QRegularExpression::wildcardToRegularExpression(part.trimmed()),
                               QRegularExpression::CaseInsensitiveOption));
    }
}

bool FilePattern::matches(const QString& fileName) const {
    // A byte kept from a name that is not UTF-8 is not text a regular
    // expression can read: it counts as any one character.
    const QString name = holdsSystemBytes(fileName) ? readableName(fileName) : fileName;
    for (const QRegularExpression& wildcard : m_wildcards) {
        if (wildcard.match(name).hasMatch()) {
            return true;
        }
    }
    return false;
}

}  // namespace varonel::core
