#include "core/request/RequetteRound.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "core/catalogue/CatalogueFile.h"
#include "core/playlist/PlaylistTiming.h"
#include "core/request/NameKey.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/TrackNaming.h"

namespace varonel::core {

namespace {

// Names remembered with their keys, at most; then the memory starts afresh.
constexpr int kMaxKeys = 100000;
// How much earlier than its end a track may be chained, at most as a rule.
constexpr int64_t kChainedEarlyMs = 10000;

QString folderText(const BrowserModel& browser) {
    return QDir::toNativeSeparators(browser.folder());
}

}  // namespace

RequetteRound::RequetteRound(const PlayHistory& history, const Clock& airClock, uint32_t seed)
    : m_history(history), m_airClock(airClock), m_random(seed) {}

RequetteRound::Pick RequetteRound::next(BrowserModel& browser, const PlaylistModel& playlist,
                                        bool neverDry, const Tell& tell) {
    int64_t startMs = 0;
    const QList<TrackBefore> before = tracksBefore(playlist, &startMs);
    const Separation separation(before, startMs, m_rules);
    const QSet<QString> busy = busyPaths(playlist);
    Pool pool;
    addBrowserRows(browser, false, busy, &pool);
    const bool folderSpent = pool.candidates.isEmpty();
    const auto keepsTheRules = [&] {
        return std::any_of(pool.candidates.cbegin(), pool.candidates.cend(),
                           [&](const RequestCandidate& c) { return separation.breach(c) == 0.0; });
    };
    if (!folderSpent) {
        m_toldCatalogue = false;
        m_toldPlayedBefore = false;
    }
    // Farther sources are looked at only when the nearer ones cannot keep the
    // rules: the folder first, as the request always did.
    if (neverDry && !keepsTheRules()) {
        loadCatalogue();
        addCatalogue(browser, false, busy, &pool);
        if (pool.candidates.isEmpty() && startNewRound(browser, busy)) {
            if (tell) {
                tell(
                    QStringLiteral("nouveau tour : les titres déjà passés reviennent, les plus "
                                   "anciens d'abord"));
            }
            m_toldCatalogue = false;
            addBrowserRows(browser, false, busy, &pool);
            addCatalogue(browser, false, busy, &pool);
        }
        if (!keepsTheRules()) {
            addPlayedBefore(browser, busy, &pool);
        }
    }
    if (pool.candidates.isEmpty()) {
        return {};
    }
    const Pick pick = pool.picks[chooseCandidate(pool.candidates, separation, m_random)];
    if (tell && folderSpent && pick.tier == kCatalogue && !m_toldCatalogue) {
        m_toldCatalogue = true;
        tell(QStringLiteral("plus rien à prendre dans %1, les titres viennent du catalogue")
                 .arg(folderText(browser)));
    } else if (tell && folderSpent && pick.tier == kPlayedBefore && !m_toldPlayedBefore) {
        m_toldPlayedBefore = true;
        tell(QStringLiteral("rien à prendre dans %1 ni dans un catalogue, les titres déjà passés "
                            "reviennent")
                 .arg(folderText(browser)));
    }
    return pick;
}

void RequetteRound::take(const Pick& pick, BrowserModel& browser) {
    if (pick.browserRow >= 0 && pick.browserRow < browser.count()) {
        browser.setTag(pick.browserRow, QLatin1String(BrowserModel::kTaken));
    } else if (pick.tier == kCatalogue) {
        m_takenFiles.insert(pick.path);
    }
}

// What comes before a row appended now: the plays remembered (the one on air
// last), then the queue, each queued track expected to start when the one
// before it is chained. A track is chained a little before its end (the exit
// point, the smart mix): the expected starts are kept early rather than late,
// so that a gap that looks long enough is long enough on air.
QList<TrackBefore> RequetteRound::tracksBefore(const PlaylistModel& playlist,
                                               int64_t* startMs) const {
    QList<TrackBefore> before;
    const int64_t now = m_airClock.monotonicMs();
    int64_t next = now;
    for (const PlayHistory::Play& play : m_history.plays()) {
        before.append({play.artistKey, play.titleKey, play.startMs, play.endMs});
        if (play.onAir) {
            next = std::max(now, play.endMs - kChainedEarlyMs);
        }
    }
    for (int i = 1; i <= playlist.count(); ++i) {
        const PlaylistRow& row = playlist.row(i);
        const int64_t length = rowLengthMs(row);
        before.append({PlayHistory::artistKeyOf(row.artist), PlayHistory::songKeyOf(row), next,
                       next + length});
        next += std::max<int64_t>(length - kChainedEarlyMs, 0);
    }
    *startMs = next;
    return before;
}

// Files that must not be drawn again now: queued or on air.
QSet<QString> RequetteRound::busyPaths(const PlaylistModel& playlist) const {
    QSet<QString> busy;
    for (int i = 1; i <= playlist.count(); ++i) {
        busy.insert(playlist.row(i).path);
    }
    const QString onAir = m_history.onAirPath();
    if (!onAir.isEmpty()) {
        busy.insert(onAir);
    }
    return busy;
}

RequestCandidate RequetteRound::candidate(const QString& path, const QString& artistKey,
                                          const QString& titleKey, Tier tier) const {
    return {artistKey, titleKey, int(tier), m_history.lastPlayedMs(path)};
}

// Rows not yet taken (tier 0), or, for a later round, rows taken already that
// are neither queued nor on air.
void RequetteRound::addBrowserRows(const BrowserModel& browser, bool taken,
                                   const QSet<QString>& busy, Pool* pool) {
    for (int i = 0; i < browser.count(); ++i) {
        const BrowserRow& row = browser.row(i);
        if (row.tag.isEmpty() == taken || (taken && busy.contains(row.path))) {
            continue;
        }
        const Tier tier = taken ? kPlayedBefore : kBrowser;
        const QString artist = key(row.artist);
        pool->add(candidate(row.path, artist,
                            PlayHistory::songKey(artist, key(row.title), row.path), tier),
                  {i, row.path, tier});
    }
}

// Catalogue files that the folder does not list, neither queued nor on air:
// those not taken in this round (tier 1), or those taken already.
void RequetteRound::addCatalogue(const BrowserModel& browser, bool taken, const QSet<QString>& busy,
                                 Pool* pool) {
    const QSet<QString>& listed = browserPaths(browser);
    for (const Entry& entry : std::as_const(m_catalogue)) {
        if (m_takenFiles.contains(entry.path) != taken || busy.contains(entry.path) ||
            listed.contains(entry.path)) {
            continue;
        }
        const Tier tier = taken ? kPlayedBefore : kCatalogue;
        pool->add(candidate(entry.path, entry.artistKey, entry.titleKey, tier),
                  {-1, entry.path, tier});
    }
}

// Everything taken before, and the files the air played that neither the
// folder nor the catalogue holds: the last resort before dead air.
void RequetteRound::addPlayedBefore(const BrowserModel& browser, const QSet<QString>& busy,
                                    Pool* pool) {
    addBrowserRows(browser, true, busy, pool);
    addCatalogue(browser, true, busy, pool);
    const QSet<QString>& listed = browserPaths(browser);
    QSet<QString> catalogued;
    for (const Entry& entry : std::as_const(m_catalogue)) {
        catalogued.insert(entry.path);
    }
    for (const QString& path : m_history.playedPaths()) {
        if (busy.contains(path) || listed.contains(path) || catalogued.contains(path)) {
            continue;
        }
        const QString artist = key(Artiste(fileNameOf(path)));
        const QString song = PlayHistory::songKey(artist, key(Titre(fileNameOf(path))), path);
        pool->add(candidate(path, artist, song, kPlayedBefore), {-1, path, kPlayedBefore});
    }
}

// Clears the "x" tags and the catalogue files taken, when that gives at least
// one row that is neither queued nor on air; the rows queued or on air stay
// taken. False, and nothing changed, otherwise.
bool RequetteRound::startNewRound(BrowserModel& browser, const QSet<QString>& busy) {
    const QSet<QString>& listed = browserPaths(browser);
    const bool anyRow = std::any_of(listed.cbegin(), listed.cend(),
                                    [&](const QString& p) { return !busy.contains(p); }) ||
                        std::any_of(m_catalogue.cbegin(), m_catalogue.cend(),
                                    [&](const Entry& e) { return !busy.contains(e.path); });
    if (!anyRow) {
        return false;
    }
    for (int i = 0; i < browser.count(); ++i) {
        browser.setTag(i, busy.contains(browser.row(i).path) ? QLatin1String(BrowserModel::kTaken)
                                                             : QLatin1String(""));
    }
    m_takenFiles.clear();
    return true;
}

void RequetteRound::loadCatalogue() {
    const QFileInfo info(m_catalogueFile);
    if (m_catalogueFile.isEmpty() || !info.exists()) {
        m_catalogue.clear();
        m_catalogueSize = -1;
        return;
    }
    if (info.size() == m_catalogueSize && info.lastModified() == m_catalogueModified) {
        return;
    }
    m_catalogueSize = info.size();
    m_catalogueModified = info.lastModified();
    m_catalogue.clear();
    CatalogueList list;
    readCatalogueFile(m_catalogueFile, &list);  // one that cannot be read offers nothing
    m_catalogue.reserve(list.count());
    for (const QString& path : list.entries()) {
        const QString name = fileNameOf(path);
        const QString artist = key(Artiste(name));
        m_catalogue.append({path, artist, PlayHistory::songKey(artist, key(Titre(name)), path)});
    }
}

const QSet<QString>& RequetteRound::browserPaths(const BrowserModel& browser) {
    if (browser.listing() != m_pathsListing || m_browserPaths.size() != browser.count()) {
        m_pathsListing = browser.listing();
        m_browserPaths.clear();
        for (int i = 0; i < browser.count(); ++i) {
            m_browserPaths.insert(browser.row(i).path);
        }
    }
    return m_browserPaths;
}

QString RequetteRound::key(const QString& name) {
    const auto found = m_keys.constFind(name);
    if (found != m_keys.cend()) {
        return *found;
    }
    if (m_keys.size() >= kMaxKeys) {
        m_keys.clear();
    }
    return *m_keys.insert(name, nameKey(name));
}

}  // namespace varonel::core
