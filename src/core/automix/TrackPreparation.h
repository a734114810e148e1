#pragma once
// Prepares each track for the air from its analysis (TrackAnalysis): it plays
// from where its audio starts, its exit point counts from where its audio ends,
// and it is brought to the loudness chosen, never past what its true peak
// allows. Files are analysed ahead of their turn in the background, and the
// results are kept in the track cache, on disk between runs.
//
// On air, a track whose analysis is not ready when it must play is not delayed:
// it plays whole at its own level while its analysis is hurried, and its exit
// point moves to the end of its audio as soon as that is known. The offline
// render analyses such a track on the spot, so that a render is always the same.
//
// Main thread only.

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

#include "audio/TrackAnalysis.h"
#include "core/automix/PlayPlan.h"
#include "core/automix/SoundOptions.h"

namespace varonel::audio {
class TrackAnalyser;
}

namespace varonel::core {

class TrackPreparation final : public QObject, public PlayPlanner {
    Q_OBJECT

public:
    enum class Missing { PlayMeanwhile, AnalyseOnTheSpot };

    explicit TrackPreparation(Missing missing, QObject* parent = nullptr);
    ~TrackPreparation() override;

    void setOptions(const SoundOptions& options) { m_options = options; }
    const SoundOptions& options() const { return m_options; }
    // Adds what the cache file holds, and keeps the cache there from now on.
    void useCacheFile(const QString& file);
    // Queues files for analysis ahead of their turn; urgent ones (the playlist's)
    // before the others (a browser's folder). Each file is handed over once.
    void prepare(const QStringList& paths, bool urgent);
    // The gain a track plays with on air, so that pre-listening sounds the same.
    float gainFor(const QString& path);

    PlayPlan plan(const QString& path) override;
    int32_t audioEndMs(const QString& path) override;

    audio::TrackAnalyser& analyser() { return *m_analyser; }

private:
    // The analysis of `path`'s current version; when there is none yet, it is
    // made now or asked for, as `m_missing` says.
    bool analysisOf(const QString& path, audio::TrackAnalysis* analysis);

    Missing m_missing;
    SoundOptions m_options;
    std::unique_ptr<audio::TrackAnalyser> m_analyser;
    QSet<QString> m_handedOver;  // asked for once; a file that plays is asked again
};

}  // namespace varonel::core
