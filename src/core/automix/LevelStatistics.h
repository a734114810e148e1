#pragma once
// Level statistics of the smart mix: a moving average of the output level over
// the last 2.6 s, the loudest average since the last reset, and the test that
// chains a track early when its end fades below a chosen share of that maximum.
// Fed once per transport tick (100 ms).

#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <optional>

namespace varonel::core {

class LevelStatistics {
public:
    // At 100 ms per tick, 26 samples cover the last 2.6 s of output.
    static constexpr int kWindowSize = 26;
    // The statistics restart between these positions, after the start of a
    // track and its overlap with the previous one.
    static constexpr int32_t kResetFromMs = 5000;
    static constexpr int32_t kResetUntilMs = 6000;
    // Early chaining is considered only this close to the end of a track.
    static constexpr int32_t kFadeWatchMs = 30000;

    // One tick: the left level plus the right level of the main output.
    void addSample(int32_t level);

    // Empties the window and blanks the maximum. The average and the
    // percentage keep their values.
    void reset();

    // Fade detection for the track on air. Between 5 and 6 s into the track the
    // statistics are reset; in the last 30 s, true when the threshold exceeds
    // the current percentage. Never true while no maximum has been measured
    // since the last reset (see the .cpp), nor for a track of unknown length.
    bool shouldChainEarly(int32_t positionMs, int32_t durationMs, double thresholdPercent);

    // The sample window, oldest first; never more than kWindowSize samples.
    const std::deque<int32_t>& Niveaux() const { return m_niveaux; }
    // Sum of the window at the last sample.
    int64_t SommeNiveaux() const { return m_sommeNiveaux; }
    // Average of the window, truncated to a whole number.
    int32_t LblMoyenne() const { return m_moyenne; }
    // Highest average since the last reset; nothing (blank) after a reset.
    std::optional<int32_t> LblMax() const { return m_max; }
    // Numeric value of the maximum: 0 while blank.
    int32_t maxValue() const { return m_max.value_or(0); }
    // Average as a percentage of the maximum; kept while the maximum reads 0.
    int16_t NiveauPourCent() const { return m_niveauPourCent; }
    // The percentage as shown: "42%", and "%" alone for 0.
    QString LblPourCent() const;

private:
    std::deque<int32_t> m_niveaux;
    int64_t m_sommeNiveaux = 0;
    int32_t m_moyenne = 0;
    std::optional<int32_t> m_max;
    int16_t m_niveauPourCent = 0;
};

// Threshold choices of the smart mix, "10" to "70" in steps of 5.
QStringList mixagePourCentEntries();
// "50", selected at start-up.
inline constexpr int kMixagePourCentDefaultEntry = 8;

}  // namespace varonel::core
