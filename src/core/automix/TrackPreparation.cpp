#include "core/automix/TrackPreparation.h"

#include <cmath>

#include "audio/TrackAnalyser.h"
#include "audio/TrackCache.h"

namespace varonel::core {

namespace {

float gainOf(double db) {
    return float(std::pow(10.0, db / 20.0));
}

}  // namespace

TrackPreparation::TrackPreparation(Missing missing, QObject* parent)
    : QObject(parent), m_missing(missing), m_analyser(std::make_unique<audio::TrackAnalyser>()) {}

TrackPreparation::~TrackPreparation() = default;

void TrackPreparation::useCacheFile(const QString& file) {
    audio::trackCache().load(file.toStdString());
    m_analyser->setCacheFile(file.toStdString());
}

void TrackPreparation::prepare(const QStringList& paths, bool urgent) {
    for (const QString& path : paths) {
        if (!path.isEmpty() && !m_handedOver.contains(path)) {
            m_handedOver.insert(path);
            m_analyser->request(path.toStdString(), urgent);
        }
    }
}

float TrackPreparation::gainFor(const QString& path) {
    audio::TrackAnalysis analysis;
    if (!m_options.targetLufs || !analysisOf(path, &analysis)) {
        return 1.0f;
    }
    return gainOf(analysis.gainDbFor(*m_options.targetLufs, SoundOptions::kCeilingDbtp));
}

PlayPlan TrackPreparation::plan(const QString& path) {
    PlayPlan plan;
    audio::TrackAnalysis analysis;
    if (!analysisOf(path, &analysis)) {
        return plan;
    }
    if (m_options.skipSilences) {
        plan.cues.startMs = analysis.audioStartMs();
        plan.audioEndMs = analysis.audioEndMs();
    }
    if (m_options.targetLufs) {
        plan.cues.gain =
            gainOf(analysis.gainDbFor(*m_options.targetLufs, SoundOptions::kCeilingDbtp));
    }
    return plan;
}

int32_t TrackPreparation::audioEndMs(const QString& path) {
    audio::TrackAnalysis analysis;
    const std::string file = path.toStdString();
    if (!m_options.skipSilences ||
        !audio::trackCache().findAnalysis(file, audio::stampOf(file), &analysis)) {
        return 0;
    }
    return analysis.audioEndMs();
}

bool TrackPreparation::analysisOf(const QString& path, audio::TrackAnalysis* analysis) {
    const std::string file = path.toStdString();
    const audio::FileStamp stamp = audio::stampOf(file);
    if (audio::trackCache().findAnalysis(file, stamp, analysis)) {
        return true;
    }
    if (m_missing == Missing::PlayMeanwhile) {
        m_analyser->request(file, true);
        return false;
    }
    std::string error;
    if (!audio::analyseTrack(file, analysis, &error)) {
        return false;
    }
    audio::trackCache().storeAnalysis(file, stamp, *analysis);
    return true;
}

}  // namespace varonel::core
