// How fast the engine renders a transition offline, beside the bare decode of the
// same MP3 files, and the longest real-time callback against its buffer period.
//
// Everything runs pinned to one core, so the decoding threads and the mixing
// thread share it as they would on a loaded machine.

#include <sched.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "Synth.h"
#include "audio/Decoder.h"
#include "audio/DeviceOutput.h"
#include "audio/FileSource.h"
#include "audio/Mixer.h"
#include "audio/OfflineOutput.h"

using namespace varonel;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string makeTrack(const std::string& folder, const char* name, uint32_t seed) {
    const std::string path = folder + "/" + name;
    if (!std::filesystem::exists(path)) {
        synth::TrackRecipe recipe;
        recipe.seconds = 180;
        recipe.seed = seed;
        synth::writeMp3(path, synth::renderTrack(recipe), synth::Mp3Mode::Vbr);
    }
    return path;
}

// Decodes the whole file through libmpg123 and returns its audio seconds.
double bareDecode(const std::string& path) {
    audio::DecoderOpenResult opened = audio::openDecoder(path);
    std::vector<float> buffer(4096 * size_t(opened.decoder->channels()));
    int64_t frames = 0;
    while (const int64_t n = opened.decoder->read(buffer.data(), 4096)) {
        frames += n;
    }
    return double(frames) / opened.decoder->sampleRate();
}

// Plays A, then starts B 10 s before A's end while A fades out over 1.6 s, and
// renders until B ends. Returns the seconds of audio rendered.
double renderTransition(const std::string& a, const std::string& b) {
    audio::FileSource sources[2];
    audio::Mixer mixer;
    mixer.setSource(0, &sources[0]);
    mixer.setSource(1, &sources[1]);
    audio::OfflineOutput output(44100);
    output.setSource(&mixer);
    output.start();
    sources[0].setFileName(a);
    mixer.setInputFinished(0, false);
    output.advanceMs(sources[0].lengthMs() - 10000);
    sources[1].setFileName(b);
    mixer.setInputFinished(1, false);
    sources[0].fadeOut(1600);
    while (!mixer.inputFinished(1)) {
        output.pull(1024);
    }
    return output.elapsedMs() / 1000.0;
}

void measureCallback(const std::string& a, const std::string& b) {
    audio::FileSource sources[2];
    audio::Mixer mixer;
    mixer.setSource(0, &sources[0]);
    mixer.setSource(1, &sources[1]);
    sources[0].setFileName(a);
    sources[1].setFileName(b);
    mixer.setInputFinished(0, false);
    mixer.setInputFinished(1, false);
    audio::DeviceOutput output;
    output.setSource(&mixer);
    std::string error;
    if (!output.start(&error)) {
        std::printf("callback: no device (%s)\n", error.c_str());
        return;
    }
    std::this_thread::sleep_for(std::chrono::seconds(5));
    output.close();
    const double periodMs = 1000.0 * output.bufferFrames() / 44100.0;
    std::printf("callback: longest %.3f ms for a buffer of %d frames (%.1f ms), %llu underruns\n",
                output.longestBlockNs() / 1e6, output.bufferFrames(), periodMs,
                static_cast<unsigned long long>(output.underruns()));
}

}  // namespace

int main() {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);

    const std::string folder = std::filesystem::temp_directory_path() / "varonel-bench";
    std::filesystem::create_directories(folder);
    const std::string a = makeTrack(folder, "Bench - A.mp3", 11);
    const std::string b = makeTrack(folder, "Bench - B.mp3", 12);

    auto start = Clock::now();
    const double decoded = bareDecode(a) + bareDecode(b);
    const double decodeSpeed = decoded / secondsSince(start);
    std::printf("bare decode (libmpg123): %.0f s of audio at %.0fx real time\n", decoded,
                decodeSpeed);

    start = Clock::now();
    const double rendered = renderTransition(a, b);
    const double renderSpeed = rendered / secondsSince(start);
    // The render decodes the same two files in full, plus the mixing.
    const double renderCost = decodeSpeed / renderSpeed * rendered / decoded;
    std::printf("offline render with a fade: %.0f s of mix at %.0fx real time\n", rendered,
                renderSpeed);
    std::printf("render cost / bare decode cost: %.2f (goal <= 1.3)\n", renderCost);

    measureCallback(a, b);
    return 0;
}
