// The live path in real time: on a private PulseAudio server, the longest audio
// callback against its buffer period with the limiter on and both outputs
// playing, and the dead air after a device loss; then the underruns
// of a long live run through the transport into SDL's disk driver, whose file is
// then checked for silence and peaks.
//
//     bench_live [--minutes N]     (10 by default)
//
// Each part runs in a child process, since SDL picks its driver once a process.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "PulseServer.h"
#include "ScriptedDialogs.h"
#include "Synth.h"
#include "audio/DeviceOutput.h"
#include "audio/FileSource.h"
#include "audio/Mixer.h"
#include "audio/Player.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/Timer3.h"
#include "core/automix/Transport.h"
#include "core/playlist/RowFiller.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/shared/Ticks.h"

using namespace varonel;

namespace {

constexpr int kRate = 44100;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::vector<std::string> makeTracks(const std::string& folder, int count, double seconds) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        const std::string path = folder + "/Direct " + std::to_string(i) + " - Titre.mp3";
        if (!std::filesystem::exists(path)) {
            synth::TrackRecipe recipe;
            recipe.seconds = seconds;
            recipe.seed = 300 + uint32_t(i);
            recipe.fadeOutSeconds = i % 2 == 0 ? 8.0 : 0.0;
            synth::writeMp3(path, synth::renderTrack(recipe), synth::Mp3Mode::Vbr);
        }
        paths.push_back(path);
    }
    return paths;
}

std::string benchFolder() {
    const std::string folder = std::filesystem::temp_directory_path() / "varonel-bench-live";
    std::filesystem::create_directories(folder);
    return folder;
}

// On a private PulseAudio server: two MP3 tracks overlapping on the main output
// (limiter on) on one null sink, a third on a player on the other, for 10 s; then
// the main sink is removed mid-play, and its recording (which the server moves to
// the default sink's monitor with the programme) shows the dead air.
int partServer() {
    PulseServer server;
    QString why;
    if (!server.start(&why)) {
        std::printf("sound server parts: not measured (%s)\n", qPrintable(why));
        return 0;
    }
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    qputenv("PULSE_SERVER", server.serverAddress().toLocal8Bit());
    const auto tracks = makeTracks(benchFolder(), 3, 75);
    audio::FileSource sources[2];
    audio::Mixer mixer;
    mixer.setSource(0, &sources[0]);
    mixer.setSource(1, &sources[1]);
    sources[0].setFileName(tracks[0]);
    sources[1].setFileName(tracks[1]);
    mixer.setInputFinished(0, false);
    mixer.setInputFinished(1, false);
    audio::DeviceOutput main;
    main.setSource(&mixer);
    audio::Player player;
    player.setFileName(tracks[2]);
    for (int i = 0; i < 16; ++i) {
        const std::string name = main.deviceName(i);
        if (name.find("VaronelA") != std::string::npos) {
            main.setDeviceIndex(i);
        } else if (name.find("VaronelB") != std::string::npos) {
            player.setDeviceIndex(i);
        }
    }
    server.record("VaronelA");
    std::string error;
    if (!main.start(&error) || !player.play(&error)) {
        std::printf("sound server parts: no device (%s)\n", error.c_str());
        return 1;
    }
    sleepMs(10000);
    auto& second = static_cast<audio::DeviceOutput&>(player.output());
    std::printf(
        "longest main-output callback, limiter on, two tracks, both outputs playing: %.3f ms "
        "(goal < %.1f ms, one buffer)\n",
        main.longestBlockNs() / 1e6, 1000.0 * main.bufferFrames() / kRate);
    std::printf("longest second-output callback, both outputs playing: %.3f ms (goal < %.1f ms)\n",
                second.longestBlockNs() / 1e6, 1000.0 * second.bufferFrames() / kRate);
    std::printf("underruns in those 10 s: %llu and %llu (goal 0)\n",
                static_cast<unsigned long long>(main.underruns()),
                static_cast<unsigned long long>(second.underruns()));

    server.removeSink("VaronelA");
    sleepMs(1500);
    const std::vector<float> recorded = server.stopRecording("VaronelA");
    main.close();
    player.stop();
    // The programme never holds a run of 20 ms below -60 dBFS: the longest such
    // run is the dead air.
    const float quiet = 0.001f;
    size_t run = 0;
    size_t longest = 0;
    bool heard = false;
    for (size_t i = 0; i + 1 < recorded.size(); i += 2) {
        const float level = std::max(std::fabs(recorded[i]), std::fabs(recorded[i + 1]));
        heard = heard || level > quiet;
        run = heard && level < quiet ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    std::printf(
        "dead air after a device loss (PulseAudio, sink removed mid-play): %.0f ms "
        "(goal < 500 ms)\n",
        double(longest) * 1000.0 / kRate);
    return 0;
}

// The transport plays a playlist in real time into SDL's disk driver.
int partLive(int minutes, const std::string& diskFile) {
    const auto tracks = makeTracks(benchFolder(), 6, 75);
    core::MainAudioChain chain(std::make_unique<audio::DeviceOutput>());
    core::PlaylistModel playlist;
    const core::TrackLengthReader reader = core::sourceLengthReader(chain.sources[2]);
    for (int i = 0; i < minutes + 4; ++i) {
        core::PlaylistRow row;
        core::fillRowFromPath(QString::fromStdString(tracks[size_t(i) % tracks.size()]), reader,
                              core::MillisecondsCell::Filled, &row);
        playlist.append(row);
    }
    core::SystemClock clock;
    core::TimerTicks ticks(nullptr);
    ScriptedDialogs dialogs;
    core::Transport transport(chain, playlist, clock, ticks, dialogs);
    core::Timer3 timer3(transport, clock, ticks);
    transport.CheckAutoMix_Click(true);
    int transitions = -1;
    QObject::connect(&transport, &core::Transport::trackStarted, [&] { ++transitions; });
    transport.CmdPlay_Click();
    if (!transport.EnDiffusion()) {
        std::printf("live run: the output did not start\n");
        return 1;
    }
    // The transport's own timers, as in the window.
    QElapsedTimer timer;
    timer.start();
    const int64_t endMs = int64_t(minutes) * 60000;
    while (timer.elapsed() < endMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    const uint64_t underruns = chain.output->underruns();
    const double longest = chain.output->longestBlockNs() / 1e6;
    chain.output->close();
    std::printf(
        "underruns over a %d-minute live run (disk driver, %d transitions): %llu (goal 0)\n",
        minutes, transitions, static_cast<unsigned long long>(underruns));
    std::printf("longest callback in the live run: %.3f ms (goal < %.1f ms)\n", longest,
                1000.0 * audio::DeviceOutput::kDefaultBufferFrames / kRate);

    // What the device received: silence inside the programme, and its peaks.
    QFile file(QString::fromStdString(diskFile));
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    int64_t run = 0;
    int64_t longestSilence = 0;
    bool heard = false;
    float peak = 0.0f;
    while (!file.atEnd()) {
        const QByteArray block = file.read(1 << 20);
        const auto* samples = reinterpret_cast<const float*>(block.constData());
        for (qsizetype i = 0; i + 1 < block.size() / qsizetype(sizeof(float)); i += 2) {
            const float level = std::max(std::fabs(samples[i]), std::fabs(samples[i + 1]));
            peak = std::max(peak, level);
            heard = heard || level > 0.001f;
            run = heard && level < 0.001f ? run + 1 : 0;
            longestSilence = std::max(longestSilence, run);
        }
    }
    std::printf("longest silence on air in the live run: %.1f ms (goal < 10 ms)\n",
                double(longestSilence) * 1000.0 / kRate);
    std::printf("highest peak on air in the live run: %.2f dBFS (goal <= -1 dBFS)\n",
                20.0 * std::log10(std::max(peak, 1e-9f)));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    int minutes = 10;
    if (const qsizetype at = arguments.indexOf("--minutes"); at >= 0 && at + 1 < arguments.size()) {
        minutes = std::max(1, arguments[at + 1].toInt());
    }
    if (const qsizetype at = arguments.indexOf("--part"); at >= 0 && at + 1 < arguments.size()) {
        const QString part = arguments[at + 1];
        if (part == "server") {
            return partServer();
        }
        return partLive(minutes, qEnvironmentVariable("SDL_DISKAUDIOFILE").toStdString());
    }
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    const std::string diskFile = benchFolder() + "/live.raw";
    const std::string minutesArg = " --minutes " + std::to_string(minutes);
    int status = 0;
    status |= std::system(("'" + self + "' --part server").c_str());
    status |= std::system(("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + diskFile + "' '" + self +
                           "' --part live" + minutesArg)
                              .c_str());
    std::filesystem::remove(diskFile);  // some 200 MB for ten minutes
    return status == 0 ? 0 : 1;
}
