// The two-deck player in real time: both decks play MP3 tracks at +15 % and
// -15 % through the resampler on the two null sinks of a private PulseAudio
// server (one output each, as a DJ sets them up), while the
// operator's actions land on one deck (start, stop, seek, pitch) every second.
// Prints the processor share of the whole program (decoder threads included)
// and the longest callback of each output against its buffer period; then the
// same two decks rendered offline, as fast as the machine goes.
//
//     bench_player [--seconds N]     (30 by default)

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "PulseServer.h"
#include "Synth.h"
#include "audio/DeviceOutput.h"
#include "audio/OfflineOutput.h"
#include "audio/Player.h"

using namespace varonel;

namespace {

constexpr int kRate = 44100;

std::string makeTrack(const std::string& folder, int index) {
    const std::string path = folder + "/Platine " + std::to_string(index) + " - Titre.mp3";
    if (!std::filesystem::exists(path)) {
        synth::TrackRecipe recipe;
        recipe.seconds = 240;
        recipe.seed = 500 + uint32_t(index);
        synth::writeMp3(path, synth::renderTrack(recipe), synth::Mp3Mode::Vbr);
    }
    return path;
}

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void loadAndPitch(audio::Player& player, const std::string& path, float pitch) {
    player.setFileName(path);
    player.setPitch(pitch);
}

// Deck B is the one the operator handles; deck A plays on, and its output must
// not notice.
void operatorAction(audio::Player& deck, int second) {
    switch (second % 4) {
        case 0:
            deck.stop();
            break;
        case 1:
            deck.play();
            break;
        case 2:
            deck.setPositionMs(deck.positionMs() + 20000);
            break;
        default:
            deck.setPitch(deck.pitch() > 0 ? -15.0F : 15.0F);
            break;
    }
}

void chooseSinks(audio::Player& deckA, audio::Player& deckB) {
    for (int i = 0; i < 16; ++i) {
        const std::string name = deckA.deviceName(i);
        if (name.find("VaronelA") != std::string::npos) {
            deckA.setDeviceIndex(i);
        } else if (name.find("VaronelB") != std::string::npos) {
            deckB.setDeviceIndex(i);
        }
    }
}

int partLive(int seconds, const std::string& a, const std::string& b) {
    PulseServer server;
    QString why;
    if (!server.start(&why)) {
        std::printf("live run: not measured (%s)\n", qPrintable(why));
        return 0;
    }
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    qputenv("PULSE_SERVER", server.serverAddress().toLocal8Bit());
    audio::Player deckA;
    audio::Player deckB;
    chooseSinks(deckA, deckB);
    loadAndPitch(deckA, a, 15.0F);
    loadAndPitch(deckB, b, -15.0F);
    std::string error;
    if (!deckA.play(&error) || !deckB.play(&error)) {
        std::printf("live run: an output did not start (%s)\n", error.c_str());
        return 1;
    }
    const double cpuStart = processCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    int second = 0;
    while (timer.elapsed() < int64_t(seconds) * 1000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (timer.elapsed() / 1000 > second) {
            operatorAction(deckB, second++);
        }
    }
    const double cpuShare = 100.0 * (processCpuSeconds() - cpuStart) / (timer.elapsed() / 1000.0);
    const auto& outA = static_cast<const audio::DeviceOutput&>(deckA.output());
    const auto& outB = static_cast<const audio::DeviceOutput&>(deckB.output());
    std::printf("two decks live, MP3 at +15 %% and -15 %%: %.2f %% of one core (goal < 3 %%)\n",
                cpuShare);
    std::printf("longest callback, deck A playing on: %.3f ms (goal < %.1f ms)\n",
                double(outA.longestBlockNs()) / 1e6, 1000.0 * outA.bufferFrames() / kRate);
    std::printf(
        "longest callback, deck B started, stopped, sought, repitched: %.3f ms "
        "(goal < %.1f ms)\n",
        double(outB.longestBlockNs()) / 1e6, 1000.0 * outB.bufferFrames() / kRate);
    std::printf("underruns on deck A's output: %llu (goal 0)\n",
                static_cast<unsigned long long>(outA.underruns()));
    return 0;
}

void partOffline(const std::string& a, const std::string& b) {
    audio::Player deckA{std::make_unique<audio::OfflineOutput>(kRate)};
    audio::Player deckB{std::make_unique<audio::OfflineOutput>(kRate)};
    loadAndPitch(deckA, a, 15.0F);
    loadAndPitch(deckB, b, -15.0F);
    deckA.play();
    deckB.play();
    constexpr int kSeconds = 120;
    const double cpuStart = processCpuSeconds();
    for (int ms = 0; ms < kSeconds * 1000; ms += 50) {
        static_cast<audio::OfflineOutput&>(deckA.output()).advanceMs(50, 512);
        static_cast<audio::OfflineOutput&>(deckB.output()).advanceMs(50, 512);
    }
    const double cpu = processCpuSeconds() - cpuStart;
    std::printf("two decks offline, MP3 at +15 %% and -15 %%: %.0fx real time per core\n",
                kSeconds / cpu);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int seconds = 30;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--seconds") {
            seconds = std::max(4, std::atoi(argv[i + 1]));
        }
    }
    const std::string folder = std::filesystem::temp_directory_path() / "varonel-bench-player";
    std::filesystem::create_directories(folder);
    const std::string a = makeTrack(folder, 1);
    const std::string b = makeTrack(folder, 2);
    partOffline(a, b);
    return partLive(seconds, a, b);
}
