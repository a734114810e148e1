#include "core/request/RequestChoice.h"

#include <algorithm>

namespace varonel::core {

namespace {

constexpr int64_t kMinuteMs = 60 * 1000;
constexpr int64_t kHourMs = 60 * kMinuteMs;
// Breaches closer than this are the same: sums of shares are not exact.
constexpr double kSameBreach = 1e-9;

// The share of a span that a gap falls short of, 0 to 1; 0 for a rule that is off.
double shortfall(double gap, double span) {
    if (span <= 0 || gap >= span) {
        return 0.0;
    }
    return std::clamp((span - gap) / span, 0.0, 1.0);
}

}  // namespace

Separation::Separation(const QList<TrackBefore>& before, int64_t startMs, const RequestRules& rules)
    : m_startMs(startMs), m_rules(rules) {
    const int count = int(before.size());
    for (int i = 0; i < count; ++i) {
        const TrackBefore& track = before[i];
        if (!track.artistKey.isEmpty()) {
            Last& last = m_artists[track.artistKey];
            last.tracksBetween = count - 1 - i;
            last.endMs = std::max(last.endMs, track.endMs);
        }
        if (!track.titleKey.isEmpty()) {
            int64_t& end = m_titles[track.titleKey];
            end = std::max(end, track.endMs);
        }
    }
}

double Separation::breach(const RequestCandidate& candidate) const {
    double sum = 0.0;
    const auto artist = m_artists.constFind(candidate.artistKey);
    if (!candidate.artistKey.isEmpty() && artist != m_artists.cend()) {
        sum += shortfall(artist->tracksBetween, m_rules.artistTracks);
        sum +=
            shortfall(double(m_startMs - artist->endMs), double(m_rules.artistMinutes) * kMinuteMs);
    }
    const auto title = m_titles.constFind(candidate.titleKey);
    if (!candidate.titleKey.isEmpty() && title != m_titles.cend()) {
        sum += shortfall(double(m_startMs - *title), double(m_rules.titleHours) * kHourMs);
    }
    return sum;
}

int chooseCandidate(const QList<RequestCandidate>& candidates, const Separation& separation,
                    std::mt19937& random) {
    // The least breach, then the nearest source.
    QList<int> best;
    double bestBreach = 0.0;
    int bestTier = 0;
    for (int i = 0; i < candidates.size(); ++i) {
        const double breach = separation.breach(candidates[i]);
        const int tier = candidates[i].tier;
        const bool better = best.isEmpty() || breach < bestBreach - kSameBreach ||
                            (breach <= bestBreach + kSameBreach && tier < bestTier);
        if (better) {
            best.clear();
            bestBreach = breach;
            bestTier = tier;
        }
        if (best.isEmpty() || (std::abs(breach - bestBreach) <= kSameBreach && tier == bestTier)) {
            best.append(i);
        }
    }
    // The oldest-heard quarter (never heard counts oldest), ties kept whole, so
    // that a new round comes back in the order the last one was heard, loosely.
    QList<int64_t> ages;
    ages.reserve(best.size());
    for (const int i : best) {
        ages.append(candidates[i].lastPlayedMs);
    }
    const qsizetype quarter = (ages.size() - 1) / 4;
    std::nth_element(ages.begin(), ages.begin() + quarter, ages.end());
    const int64_t oldest = ages[quarter];
    best.removeIf([&](int i) { return candidates[i].lastPlayedMs > oldest; });
    std::uniform_int_distribution<qsizetype> draw(0, best.size() - 1);
    return best[draw(random)];
}

}  // namespace varonel::core
