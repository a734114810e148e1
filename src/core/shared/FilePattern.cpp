#include "FilePattern.h"

namespace varonel::core {

FilePattern::FilePattern(const QString& pattern) {
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        m_wildcards.append(
            QRegularExpression(QRegularExpression::wildcardToRegularExpression(part.trimmed()),
                               QRegularExpression::CaseInsensitiveOption));
    }
}

bool FilePattern::matches(const QString& fileName) const {
    for (const QRegularExpression& wildcard : m_wildcards) {
        if (wildcard.match(fileName).hasMatch()) {
            return true;
        }
    }
    return false;
}

}  // namespace varonel::core
