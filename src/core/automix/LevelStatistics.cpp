#include "core/automix/LevelStatistics.h"

#include "core/shared/TextRules.h"

namespace varonel::core {

void LevelStatistics::addSample(int32_t level) {
    if (m_niveaux.size() >= kWindowSize) {
        m_niveaux.pop_front();
    }
    m_niveaux.push_back(level);

    m_sommeNiveaux = 0;
    for (const int32_t sample : m_niveaux) {
        m_sommeNiveaux += sample;
    }
    m_moyenne = static_cast<int32_t>(m_sommeNiveaux / static_cast<int64_t>(m_niveaux.size()));

    if (maxValue() < m_moyenne) {
        m_max = m_moyenne;
    }
    if (maxValue() > 0) {
        const double percent = static_cast<double>(m_moyenne) / maxValue() * 100.0;
        m_niveauPourCent = static_cast<int16_t>(roundHalfEven(percent));
    }
}

void LevelStatistics::reset() {
    m_niveaux.clear();
    m_max.reset();
}

bool LevelStatistics::shouldChainEarly(int32_t positionMs, int32_t durationMs,
                                       double thresholdPercent) {
    if (durationMs < 1) {
        return false;
    }
    if (positionMs > kResetFromMs && positionMs < kResetUntilMs) {
        reset();
    }
    // The percentage survives a reset, so until this track has given a level
    // above 0 it still describes the previous track, often its fade. Acting on
    // it would skip a short track that opens in silence right after an early
    // transition; without a maximum of its own the track is never chained early.
    if (maxValue() <= 0) {
        return false;
    }
    const bool inLastSeconds = static_cast<int64_t>(durationMs) - positionMs < kFadeWatchMs;
    return inLastSeconds && thresholdPercent > m_niveauPourCent;
}

QString LevelStatistics::LblPourCent() const {
    // The "###" format writes nothing for 0.
    const QString digits = m_niveauPourCent == 0 ? QString() : QString::number(m_niveauPourCent);
    return digits + u'%';
}

QStringList mixagePourCentEntries() {
    QStringList entries;
    for (int percent = 10; percent <= 70; percent += 5) {
        entries.append(QString::number(percent));
    }
    return entries;
}

}  // namespace varonel::core
