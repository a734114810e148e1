#include "core/request/NameKey.h"

namespace varonel::core {

QString nameKey(const QString& name) {
    // The compatibility decomposition splits "é" into "e" and its accent, and
    // ligatures and full-width letters into plain ones; the accents then go.
    const QString decomposed = name.normalized(QString::NormalizationForm_KD);
    QString key;
    key.reserve(decomposed.size());
    bool blank = false;
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing) {
            continue;
        }
        if (c.isSpace()) {
            blank = !key.isEmpty();
            continue;
        }
        if (blank) {
            key += u' ';
            blank = false;
        }
        key += c;
    }
    return key.toCaseFolded();
}

}  // namespace varonel::core
