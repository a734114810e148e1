#include "core/shared/StatusLine.h"

namespace varonel::core {

StatusLine::StatusLine(const Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

void StatusLine::post(const QString& text, Kind kind) {
    const QTime now = m_clock.timeOfDay();
    if (!isEmpty() && m_history.constFirst().text == text) {
        Entry& entry = m_history.first();
        entry.time = now;
        entry.kind = kind;
        ++entry.repeats;
    } else {
        m_history.prepend({now, text, kind, 1});
        if (m_history.size() > kHistoryLength) {
            m_history.removeLast();
        }
    }
    emit posted();
}

QString StatusLine::format(const Entry& entry) {
    if (entry.text.isEmpty()) {
        return {};
    }
    // One line: a reason of several lines is read on it as one.
    QString text = entry.time.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") +
                   QString(entry.text).replace(u'\n', QStringLiteral(" ; "));
    if (entry.repeats > 1) {
        text += QStringLiteral(" (%1 fois)").arg(entry.repeats);
    }
    return text;
}

}  // namespace varonel::core
