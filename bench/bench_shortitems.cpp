// Two hours of songs and short items (jingles and idents of 0.2 to 3 s) in turn,
// played by the transport in virtual time exactly as the offline render plays
// them (no WAV is written): the longest silence between items, the wall time,
// and the as-run log's lines against the items that went on air.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

#include "ScriptedDialogs.h"
#include "Synth.h"
#include "audio/OfflineOutput.h"
#include "core/automix/AsRunLog.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/Transport.h"
#include "core/playlist/RowFiller.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/render/VirtualDriver.h"
#include "core/render/VirtualTicks.h"

using namespace varonel;

namespace {

constexpr double kMixSeconds = 2 * 3600;
constexpr double kItemSeconds[] = {0.2, 0.4, 1.0, 1.5, 3.0};
constexpr float kSilence = 0.01f;  // -40 dBFS

QStringList makeSongs(const QString& folder) {
    QStringList songs;
    for (int i = 0; i < 8; ++i) {
        synth::TrackRecipe recipe;
        recipe.seconds = 150 + 10 * i;
        recipe.seed = 300 + uint32_t(i);
        const QString path = folder + QString("/Chanteur %1 - Chanson.wav").arg(i);
        synth::writeWav(path.toStdString(), synth::renderTrack(recipe));
        songs.append(path);
    }
    return songs;
}

QStringList makeItems(const QString& folder) {
    QStringList items;
    for (const double seconds : kItemSeconds) {
        const QString path = folder + QString("/Station - Jingle %1 s.wav").arg(seconds);
        synth::writeWav(path.toStdString(), synth::sine(660, seconds, 0.5f));
        items.append(path);
    }
    return items;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList songs = makeSongs(dir.path());
    const QStringList items = makeItems(dir.path());

    core::MainAudioChain chain(std::make_unique<audio::OfflineOutput>(44100));
    core::PlaylistModel playlist;
    const core::TrackLengthReader readLength = core::sourceLengthReader(chain.sources[2]);
    double planned = 0;
    for (int i = 0; planned < kMixSeconds; ++i) {
        for (const QString& path : {songs[i % songs.size()], items[i % items.size()]}) {
            core::PlaylistRow row;
            core::fillRowFromPath(path, readLength, core::MillisecondsCell::Filled, &row);
            playlist.append(row);
            planned += row.cell(core::PlaylistRow::kMillisecondsColumn).toDouble() / 1000;
        }
    }
    const int rows = playlist.count();

    core::VirtualClock clock;
    core::VirtualTicks ticks(clock);
    ScriptedDialogs dialogs;
    core::Transport transport(chain, playlist, clock, ticks, dialogs);
    transport.CheckAutoMix_Click(true);
    core::VirtualDriver driver(chain, clock, ticks);
    core::AsRunLog log(transport, clock, QString());
    const QString logFile = dir.filePath("log.txt");
    QString error;
    log.setFile(logFile, &error);

    int onAir = 0;
    bool stopped = false;
    QObject::connect(&transport, &core::Transport::trackStarted, [&] { ++onAir; });
    QObject::connect(&transport, &core::Transport::stopBegun, [&] { stopped = true; });
    int64_t silentRun = 0;
    int64_t longestSilence = 0;
    bool heard = false;
    driver.setBlockSink([&](const float* block, int frames) {
        for (int i = 0; i < frames && !stopped; ++i) {
            const bool silent = std::abs(block[2 * i]) < kSilence;
            heard = heard || !silent;
            silentRun = heard && silent ? silentRun + 1 : 0;
            longestSilence = std::max(longestSilence, silentRun);
        }
    });

    QElapsedTimer timer;
    timer.start();
    transport.CmdPlay_Click();
    driver.advanceUntil([&] { return stopped && !transport.stopping(); },
                        int64_t(kMixSeconds * 2000));
    const double wallSeconds = timer.nsecsElapsed() / 1e9;
    log.finish();
    QFile file(logFile);
    file.open(QIODevice::ReadOnly);
    const int lines = int(file.readAll().count("\r\n"));

    std::printf("shortitems_mix_length: %.0f s of mix, %d rows (songs and items of 0.2 to 3 s)\n",
                driver.nowMs() / 1000.0, rows);
    std::printf("shortitems_longest_silence_between_items: %.1f ms (goal < 110 ms)\n",
                longestSilence * 1000.0 / 44100);
    std::printf("shortitems_render_wall_time: %.2f s (%.0fx real time, no WAV written)\n",
                wallSeconds, driver.nowMs() / 1000.0 / wallSeconds);
    std::printf("shortitems_items_on_air: %d of %d rows\n", onAir, rows);
    std::printf("shortitems_asrun_lines: %d (goal %d, one per item on air)\n", lines, onAir);
    return 0;
}
