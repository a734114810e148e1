// The sound on air with and without the silences skipped and the loudness
// evened out: on a corpus of synthesised songs made like real masters (silences
// of 0.5 to 3 s around them, loud and quiet masters, fades, a quiet passage near
// the end) and, when given, on a folder of real recordings; then the speed of
// the analysis, of a cached lookup, and the live output while a 2 000-track
// folder is analysed in the background.
//
//     bench_sound [FOLDER_OF_RECORDINGS [MAX_TRACKS]]

#include <time.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "MixListener.h"
#include "PulseServer.h"
#include "ScriptedDialogs.h"
#include "Synth.h"
#include "audio/DeviceOutput.h"
#include "audio/OfflineOutput.h"
#include "audio/TrackAnalyser.h"
#include "audio/TrackCache.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/TrackPreparation.h"
#include "core/automix/Transport.h"
#include "core/playlist/RowFiller.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/render/VirtualDriver.h"
#include "core/render/VirtualTicks.h"

using namespace varonel;

namespace {

constexpr int kRate = 44100;

QStringList makeCorpus(const QString& folder) {
    struct Master {
        double lead, tail;
        float peak;
        double fade, breakAt;
    };
    const Master masters[] = {{1.8, 3.0, 0.95f, 0, 0},  {0.5, 1.0, 0.12f, 0, 0},
                              {3.0, 2.0, 0.70f, 8, 0},  {1.0, 0.5, 0.25f, 0, 38},
                              {2.2, 2.5, 0.98f, 0, 0},  {0.8, 3.0, 0.18f, 6, 0},
                              {1.5, 1.5, 0.60f, 0, 35}, {2.6, 0.8, 0.40f, 0, 0}};
    QStringList paths;
    int seed = 40;
    for (const Master& m : masters) {
        synth::TrackRecipe recipe;
        recipe.seconds = 55;
        recipe.seed = uint32_t(++seed);
        recipe.peak = m.peak;
        recipe.fadeOutSeconds = m.fade;
        recipe.breakStart = m.breakAt;
        recipe.breakSeconds = m.breakAt > 0 ? 6 : 0;
        const synth::Audio song =
            synth::concat(synth::concat(synth::silence(m.lead), synth::renderTrack(recipe)),
                          synth::silence(m.tail));
        const QString path = folder + QString("/Master %1 - Chanson.mp3").arg(seed);
        synth::writeMp3(path.toStdString(), song, synth::Mp3Mode::Vbr);
        paths.append(path);
    }
    return paths;
}

QStringList recordings(const QString& folder, int max) {
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({"*.ogg", "*.mp3", "*.wav", "*.flac", "*.opus"}, QDir::Files, QDir::Name)) {
        if (paths.size() < max) {
            paths.append(dir.filePath(name));
        }
    }
    return paths;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// A rendered mix as a listener hears it (MixListener.h).
struct Heard {
    double startSilenceMs = 0;
    double worstTransitionSilenceMs = 0;
    double loudestLufs = -100;
    double quietestLufs = 0;
    int tracks = 0;
};

Heard renderAndListen(const QStringList& paths, const core::SoundOptions& options) {
    core::MainAudioChain chain(std::make_unique<audio::OfflineOutput>(kRate));
    core::PlaylistModel playlist;
    for (const QString& path : paths) {
        core::PlaylistRow row;
        core::fillRowFromPath(path, core::sourceLengthReader(chain.sources[2]),
                              core::MillisecondsCell::Filled, &row);
        playlist.append(row);
    }
    core::VirtualClock clock;
    core::VirtualTicks ticks(clock);
    ScriptedDialogs dialogs;
    core::Transport transport(chain, playlist, clock, ticks, dialogs);
    transport.CheckAutoMix_Click(true);
    core::TrackPreparation preparation(core::TrackPreparation::Missing::AnalyseOnTheSpot);
    preparation.setOptions(options);
    transport.setPlanner(&preparation);
    core::VirtualDriver driver(chain, clock, ticks);
    const mixlistener::Heard listened =
        mixlistener::playAndListen(transport, driver, int64_t(paths.size()) * 15 * 60 * 1000);
    Heard heard;
    heard.startSilenceMs = listened.startSilenceMs;
    heard.worstTransitionSilenceMs = listened.worstTransitionSilenceMs;
    heard.tracks = int(listened.lufs.size());
    if (!listened.lufs.empty()) {
        heard.loudestLufs = *std::max_element(listened.lufs.begin(), listened.lufs.end());
        heard.quietestLufs = *std::min_element(listened.lufs.begin(), listened.lufs.end());
    }
    return heard;
}

void printHeard(const char* corpus, const char* options, const Heard& heard) {
    std::printf("sound_%s_%s_start_silence: %.0f ms (goal < 200 ms with the options)\n", corpus,
                options, heard.startSilenceMs);
    std::printf(
        "sound_%s_%s_worst_transition_below_-40dBFS: %.0f ms (goal <= 300 ms with the options)\n",
        corpus, options, heard.worstTransitionSilenceMs);
    std::printf(
        "sound_%s_%s_loudness_spread: %.1f LU over %d tracks, %.1f to %.1f LUFS (goal <= 2 "
        "LU with the options)\n",
        corpus, options, heard.loudestLufs - heard.quietestLufs, heard.tracks, heard.quietestLufs,
        heard.loudestLufs);
}

void compare(const char* corpus, const QStringList& paths) {
    printHeard(corpus, "with", renderAndListen(paths, core::SoundOptions()));
    // The other targets: a quieter one leaves more room under the ceiling for the
    // boosts of tracks whose peaks stand far above their loudness.
    for (const int target : {-23, -18, -14}) {
        core::SoundOptions options;
        options.targetLufs = target;
        const Heard heard = renderAndListen(paths, options);
        std::printf(
            "sound_%s_with_target_%d_loudness_spread: %.1f LU, %.1f to %.1f LUFS (no goal)\n",
            corpus, target, heard.loudestLufs - heard.quietestLufs, heard.quietestLufs,
            heard.loudestLufs);
    }
    core::SoundOptions off;
    off.skipSilences = false;
    off.targetLufs.reset();
    printHeard(corpus, "without", renderAndListen(paths, off));
}

void analysisSpeed(const QStringList& paths) {
    double audioSeconds = 0;
    const double cpuStart = threadCpuSeconds();
    for (const QString& path : paths) {
        audio::TrackAnalysis analysis;
        std::string error;
        if (audio::analyseTrack(path.toStdString(), &analysis, &error)) {
            audioSeconds += double(analysis.length.frames) / analysis.length.sampleRate;
        }
    }
    const double cpu = threadCpuSeconds() - cpuStart;
    std::printf(
        "analysis_speed: %.0f x real time per core (%.0f s of audio in %.2f s of one "
        "core, decoding included; goal >= 200)\n",
        audioSeconds / cpu, audioSeconds, cpu);
}

void cachedLookup(const QStringList& paths) {
    core::TrackPreparation preparation(core::TrackPreparation::Missing::AnalyseOnTheSpot);
    for (const QString& path : paths) {
        preparation.plan(path);  // analysed now, cached from here on
    }
    constexpr int kRounds = 2000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRounds; ++i) {
        preparation.plan(paths[i % paths.size()]);
    }
    std::printf("cached_lookup: %.4f ms per track (goal < 1 ms)\n",
                timer.nsecsElapsed() / 1e6 / kRounds);
}

// 2 000 paths (hard links to the corpus, so each is decoded as a file of its
// own) analysed in the background while the corpus plays live on a sound server.
void backgroundWhileLive(const QStringList& corpus, const QString& folder) {
    PulseServer server;
    QString why;
    if (!server.start(&why)) {
        std::printf("background_analysis_live: not measured (%s)\n", qPrintable(why));
        return;
    }
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    qputenv("PULSE_SERVER", server.serverAddress().toLocal8Bit());
    std::vector<std::string> library;
    for (int i = 0; i < 2000; ++i) {
        const std::string link = (folder + QString("/lien %1 - titre.mp3").arg(i)).toStdString();
        std::filesystem::create_hard_link(corpus[i % corpus.size()].toStdString(), link);
        library.push_back(link);
    }
    core::MainAudioChain chain(std::make_unique<audio::DeviceOutput>());
    core::PlaylistModel playlist;
    for (const QString& path : corpus) {
        core::PlaylistRow row;
        core::fillRowFromPath(path, core::sourceLengthReader(chain.sources[2]),
                              core::MillisecondsCell::Filled, &row);
        playlist.append(row);
    }
    core::SystemClock clock;
    core::TimerTicks ticks(nullptr);
    ScriptedDialogs dialogs;
    core::Transport transport(chain, playlist, clock, ticks, dialogs);
    transport.CmdPlay_Click();
    audio::TrackAnalyser analyser;
    QElapsedTimer timer;
    timer.start();
    for (const std::string& path : library) {
        analyser.request(path);
    }
    constexpr int kSeconds = 60;
    while (timer.elapsed() < kSeconds * 1000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    const size_t done = library.size() - analyser.pending();
    auto& output = static_cast<audio::DeviceOutput&>(*chain.output);
    const double period = 1000.0 * output.bufferFrames() / kRate;
    std::printf("background_analysis_tracks_done_in_%d_s_live: %zu of 2000 (no goal)\n", kSeconds,
                done);
    std::printf("background_analysis_longest_callback: %.3f ms (goal < %.1f ms, one buffer)\n",
                output.longestBlockNs() / 1e6, period);
    std::printf("background_analysis_underruns: %llu (goal 0)\n",
                static_cast<unsigned long long>(output.underruns()));
    analyser.forget();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList corpus = makeCorpus(dir.path());
    compare("synthesised", corpus);
    if (argc > 1) {
        const QStringList real =
            recordings(QString::fromLocal8Bit(argv[1]), argc > 2 ? std::atoi(argv[2]) : 12);
        compare("recordings", real);
        analysisSpeed(real);
    } else {
        analysisSpeed(corpus);
    }
    cachedLookup(corpus);
    backgroundWhileLive(corpus, dir.path());
    return 0;
}
