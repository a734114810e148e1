#pragma once
// The main window's status line as data: what the operator must learn without a
// message box, because a broadcast never waits for a click (a track skipped on
// air, a row that could not be added, a request with nothing left to take, and
// later a lost output or the dead-air guard). Each message carries the time of
// day it was posted and stays until the next one; the last ones are kept so the
// operator can look back at what happened while looking elsewhere.
//
// Main thread only.

#include <QList>
#include <QObject>
#include <QString>
#include <QTime>

#include "core/shared/Clock.h"

namespace varonel::core {

class StatusLine final : public QObject {
    Q_OBJECT

public:
    // Something went wrong, or only worth knowing; the window shows them apart.
    enum class Kind { Warning, Information };

    struct Entry {
        QTime time;
        QString text;
        Kind kind = Kind::Warning;
        int repeats = 1;  // the same text posted again in a row counts here
    };

    static constexpr int kHistoryLength = 20;

    explicit StatusLine(const Clock& clock, QObject* parent = nullptr);

    // Shows `text` from now on. The same text as the current one (a refill that
    // keeps finding nothing) takes the new time and counts once more instead of
    // filling the history.
    void post(const QString& text, Kind kind = Kind::Warning);

    bool isEmpty() const { return m_history.isEmpty(); }
    // The message shown; an empty entry before the first one.
    Entry current() const { return isEmpty() ? Entry{} : m_history.constFirst(); }
    // Newest first, at most kHistoryLength.
    const QList<Entry>& history() const { return m_history; }

    // "HH:mm:ss  text", with the count of a repeated message.
    static QString format(const Entry& entry);

signals:
    void posted();

private:
    const Clock& m_clock;
    QList<Entry> m_history;
};

}  // namespace varonel::core
