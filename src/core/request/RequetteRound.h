#pragma once
// The automatic request's memory from one request to the next. It chooses
// each row (RequestChoice) with artists and titles kept apart from what the
// air played (PlayHistory) and what is queued; and, with the request switch on,
// it never runs dry: once the browser's folder has nothing left to take, it
// draws from the catalogue file, and once that too is spent it starts a new
// round (the "x" tags cleared, the longest unheard first), or plays again
// what the air has played when neither the folder nor a catalogue offers
// anything. The operator is told once of each of these turns.
//
// Main thread only.

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <random>

#include "core/browser/BrowserModel.h"
#include "core/playlist/PlaylistModel.h"
#include "core/request/PlayHistory.h"
#include "core/request/RequestChoice.h"
#include "core/request/RequestRules.h"
#include "core/shared/Clock.h"

namespace varonel::core {

class RequetteRound {
public:
    // Where a row is taken from, nearest first.
    enum Tier { kBrowser = 0, kCatalogue = 1, kPlayedBefore = 2 };

    struct Pick {
        int browserRow = -1;  // a row of the browser's listing; -1 for a file
        QString path;         // "" when nothing can be taken now
        Tier tier = kBrowser;
        bool isEmpty() const { return path.isEmpty(); }
    };

    using Tell = std::function<void(const QString&)>;

    // `history` and `airClock` are those of the transport; `seed` starts the
    // random draw (a render passes a constant, so that it is the same each time).
    RequetteRound(const PlayHistory& history, const Clock& airClock, uint32_t seed);

    void setRules(const RequestRules& rules) { m_rules = rules; }
    const RequestRules& rules() const { return m_rules; }
    // The catalogue drawn from once the folder is spent; "" for none. It is
    // read when first needed and again whenever the file changes.
    void setCatalogueFile(const QString& path) { m_catalogueFile = path; }

    // The next row for the end of `playlist`. Without `neverDry`, only the
    // browser's rows not yet taken are drawn, as the request always did.
    Pick next(BrowserModel& browser, const PlaylistModel& playlist, bool neverDry,
              const Tell& tell);
    // The pick is taken: a browser row is tagged, a catalogue file is not drawn
    // again in this round.
    void take(const Pick& pick, BrowserModel& browser);

private:
    struct Entry {
        QString path;
        QString artistKey;
        QString titleKey;
    };
    struct Pool {
        QList<RequestCandidate> candidates;
        QList<Pick> picks;
        void add(const RequestCandidate& candidate, const Pick& pick) {
            candidates.append(candidate);
            picks.append(pick);
        }
    };

    QList<TrackBefore> tracksBefore(const PlaylistModel& playlist, int64_t* startMs) const;
    QSet<QString> busyPaths(const PlaylistModel& playlist) const;
    void addBrowserRows(const BrowserModel& browser, bool taken, const QSet<QString>& busy,
                        Pool* pool);
    void addCatalogue(const BrowserModel& browser, bool taken, const QSet<QString>& busy,
                      Pool* pool);
    void addPlayedBefore(const BrowserModel& browser, const QSet<QString>& busy, Pool* pool);
    bool startNewRound(BrowserModel& browser, const QSet<QString>& busy);
    void loadCatalogue();
    const QSet<QString>& browserPaths(const BrowserModel& browser);
    QString key(const QString& name);
    RequestCandidate candidate(const QString& path, const QString& artistKey,
                               const QString& titleKey, Tier tier) const;

    const PlayHistory& m_history;
    const Clock& m_airClock;
    std::mt19937 m_random;
    RequestRules m_rules;

    QString m_catalogueFile;
    QDateTime m_catalogueModified;
    qint64 m_catalogueSize = -1;
    QList<Entry> m_catalogue;
    QSet<QString> m_takenFiles;  // catalogue files taken in this round

    quint64 m_pathsListing = ~quint64(0);
    QSet<QString> m_browserPaths;
    QHash<QString, QString> m_keys;  // nameKey() of names already seen

    bool m_toldCatalogue = false;
    bool m_toldPlayedBefore = false;
};

}  // namespace varonel::core
