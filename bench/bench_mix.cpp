// A one-hour mix of MP3 tracks rendered offline with the smart mix on, beside the
// bare decode of the same files, and the cost of one transport tick.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "ScriptedDialogs.h"
#include "Synth.h"
#include "audio/Decoder.h"
#include "audio/OfflineOutput.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/Transport.h"
#include "core/playlist/RowFiller.h"
#include "core/render/MixRender.h"
#include "core/render/VirtualTicks.h"

using namespace varonel;

namespace {

constexpr int kTracks = 20;  // 20 x 3 min = one hour

QStringList makeTracks(const std::string& folder) {
    QStringList paths;
    for (int i = 0; i < kTracks; ++i) {
        const std::string path = folder + "/Banc " + std::to_string(i) + " - Titre.mp3";
        if (!std::filesystem::exists(path)) {
            synth::TrackRecipe recipe;
            recipe.seconds = 180;
            recipe.seed = 100 + uint32_t(i);
            recipe.fadeOutSeconds = i % 2 == 0 ? 10.0 : 0.0;
            synth::writeMp3(path, synth::renderTrack(recipe), synth::Mp3Mode::Vbr);
        }
        paths.append(QString::fromStdString(path));
    }
    return paths;
}

double bareDecodeSeconds(const QStringList& paths, double* audioSeconds) {
    QElapsedTimer timer;
    timer.start();
    *audioSeconds = 0;
    std::vector<float> buffer(8192);
    for (const QString& path : paths) {
        audio::DecoderOpenResult opened = audio::openDecoder(path.toStdString());
        int64_t frames = 0;
        while (const int64_t n = opened.decoder->read(buffer.data(), 4096)) {
            frames += n;
        }
        *audioSeconds += double(frames) / opened.decoder->sampleRate();
    }
    return timer.nsecsElapsed() / 1e9;
}

// Average time of one Timer1 tick with the smart mix on, on air.
double tickMicroseconds(const QString& track) {
    core::MainAudioChain chain(std::make_unique<audio::OfflineOutput>(44100));
    core::PlaylistModel playlist;
    core::PlaylistRow row;
    row.path = track;
    playlist.append(row);
    core::VirtualClock clock;
    core::VirtualTicks ticks(clock);
    ScriptedDialogs dialogs;
    core::Transport transport(chain, playlist, clock, ticks, dialogs);
    transport.CheckAutoMix_Click(true);
    transport.CmdPlay_Click();
    static_cast<audio::OfflineOutput&>(*chain.output).advanceMs(10000);
    constexpr int kTicks = 100000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kTicks; ++i) {
        transport.Timer1_Timer();
    }
    return timer.nsecsElapsed() / 1e3 / kTicks;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string folder = std::filesystem::temp_directory_path() / "varonel-bench-mix";
    std::filesystem::create_directories(folder);
    const QStringList tracks = makeTracks(folder);

    const QString playlist = QString::fromStdString(folder + "/heure.pls");
    QFile file(playlist);
    file.open(QIODevice::WriteOnly);
    file.write((tracks.join("\r\n") + "\r\n").toUtf8());
    file.close();

    double audioSeconds = 0;
    const double decodeSeconds = bareDecodeSeconds(tracks, &audioSeconds);
    std::printf("bare decode: %.0f s of audio in %.2f s = %.0fx real time\n", audioSeconds,
                decodeSeconds, audioSeconds / decodeSeconds);

    core::RenderOptions options;
    options.playlist = playlist;
    options.output = QString::fromStdString(folder + "/heure.wav");
    QString log;
    QTextStream out(&log);
    QTextStream err(stderr);
    QElapsedTimer timer;
    timer.start();
    core::renderMix(options, out, err);
    const double renderSeconds = timer.nsecsElapsed() / 1e9;
    const double mixSeconds =
        QTime::fromString(log.trimmed().section('\n', -1).section('\t', 0, 0), "HH:mm:ss.zzz")
                .msecsSinceStartOfDay() /
            1000.0 +
        2.5;
    std::printf(
        "offline render, smart mix on: %.0f s of mix in %.2f s = %.0fx real time "
        "(writing the WAV included)\n",
        mixSeconds, renderSeconds, mixSeconds / renderSeconds);
    QFile::remove(options.output);  // some 600 MB
    std::printf("one Timer1 tick with the smart mix on: %.2f us\n", tickMicroseconds(tracks[0]));
    return 0;
}
