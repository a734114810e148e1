// writeDemoLibrary: the dozen invented tracks, in the order they make a playlist.

#include "DemoLibrary.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "Synth.h"

namespace varonel::synth {

namespace {

namespace fs = std::filesystem;

enum class Kind { Wav16, Wav24, Mp3Cbr, Mp3Vbr, Mp3VbrNoXing };

struct DemoTrack {
    const char* fileName;
    Kind kind;
    double seconds;
    double bpm;
    uint32_t seed;
    double fadeOut = 0.0;
    double breakStart = 0.0;
    double breakSeconds = 0.0;
    int sampleRate = 44100;
    int channels = 2;
};

// Names and artists are invented. The set mixes what the players must cope with:
// every writer mode, 48 kHz and mono files, endings that fade and endings that stop
// at full level, a quiet break, and a name without an artist separator.
const std::array<DemoTrack, 12> kTracks{{
    {"Camille Ferrand - Matin sur la Loire.wav", Kind::Wav16, 90, 96, 11, 8.0},
    {"Neon Harbour - Midnight Ferry.mp3", Kind::Mp3Cbr, 62, 124, 23},
    {"Orchestre Mirabelle - Valse du quai.mp3", Kind::Mp3Vbr, 64, 108, 37, 10.0},
    {"Kite Assembly - Slow Orbit.wav", Kind::Wav24, 110, 100, 41, 0.0, 45.0, 16.0},
    {"Marius Delacroix - Néons.mp3", Kind::Mp3VbrNoXing, 48, 128, 53, 6.0},
    {"Intermède.wav", Kind::Wav16, 30, 84, 67, 0.0, 0.0, 0.0, 44100, 1},
    {"Sunday Static - Rooftop Signals.mp3", Kind::Mp3Cbr, 84, 118, 71, 12.0},
    {"Élodie Marchal - Café des Ondes.mp3", Kind::Mp3Vbr, 58, 112, 83, 0.0, 0.0, 0.0, 48000},
    {"Velvet Compass - Northern Line.wav", Kind::Wav16, 120, 122, 97},
    {"Duo Castelnau - Pluie d'été.mp3", Kind::Mp3VbrNoXing, 70, 92, 101, 9.0, 0.0, 0.0, 44100, 1},
    {"Lumen Drive - Afterglow.mp3", Kind::Mp3Cbr, 40, 132, 113},
    {"Hélène Vasseur & Les Rivages - Dernière Danse.wav", Kind::Wav16, 100, 104, 127, 12.0, 0.0,
     0.0, 48000},
}};

TrackRecipe recipeOf(const DemoTrack& track) {
    TrackRecipe recipe;
    recipe.seconds = track.seconds;
    recipe.sampleRate = track.sampleRate;
    recipe.channels = track.channels;
    recipe.seed = track.seed;
    recipe.bpm = track.bpm;
    recipe.fadeOutSeconds = track.fadeOut;
    recipe.breakStart = track.breakStart;
    recipe.breakSeconds = track.breakSeconds;
    recipe.peak = 0.89f;  // about -1 dBFS, so MP3 encoding does not clip
    return recipe;
}

bool writeTrack(const std::string& path, const DemoTrack& track, std::string* error) {
    const Audio audio = renderTrack(recipeOf(track));
    switch (track.kind) {
        case Kind::Wav16:
            return writeWav(path, audio, WavFormat::Pcm16, error);
        case Kind::Wav24:
            return writeWav(path, audio, WavFormat::Pcm24, error);
        case Kind::Mp3Cbr:
            return writeMp3(path, audio, Mp3Mode::Cbr, error);
        case Kind::Mp3Vbr:
            return writeMp3(path, audio, Mp3Mode::Vbr, error);
        case Kind::Mp3VbrNoXing:
            return writeMp3(path, audio, Mp3Mode::VbrNoXing, error);
    }
    return false;
}

bool isPresent(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && fs::file_size(path, ec) > 0 && !ec;
}

// Written under a temporary name and renamed once complete, so that an interrupted
// run never leaves a truncated track that the next run would keep.
bool writeAtomically(const fs::path& path, const DemoTrack& track, std::string* error) {
    const fs::path partial = fs::path(path).concat(".part");
    if (!writeTrack(partial.string(), track, error)) {
        return false;
    }
    std::error_code ec;
    fs::rename(partial, path, ec);
    if (ec) {
        fs::remove(partial, ec);
        *error = "Impossible de renommer « " + partial.string() + " » : " + ec.message();
        return false;
    }
    return true;
}

// MP3 encoding costs several times more than rendering; longest jobs go first so
// that the workers finish together.
double costOf(const DemoTrack& track) {
    const bool mp3 = track.kind != Kind::Wav16 && track.kind != Kind::Wav24;
    return track.seconds * track.channels * (mp3 ? 4.0 : 1.0);
}

// Writes the tracks `missing` (indices into kTracks) on a few threads; returns the
// error text of each track, empty for those written.
std::vector<std::string> writeInParallel(const std::vector<fs::path>& paths,
                                         std::vector<size_t> missing) {
    std::sort(missing.begin(), missing.end(),
              [](size_t a, size_t b) { return costOf(kTracks[a]) > costOf(kTracks[b]); });
    std::vector<std::string> errors(kTracks.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t job = next++; job < missing.size(); job = next++) {
            const size_t i = missing[job];
            std::string error;
            if (!writeAtomically(paths[i], kTracks[i], &error)) {
                errors[i] = error.empty() ? "échec sans message" : error;
            }
        }
    };
    const size_t workers =
        std::min<size_t>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u), missing.size());
    std::vector<std::thread> threads;
    for (size_t k = 1; k < workers; ++k) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }
    return errors;
}

}  // namespace

DemoLibraryResult writeDemoLibrary(const std::string& folder) {
    DemoLibraryResult result;
    std::error_code ec;
    const fs::path root = fs::absolute(fs::path(folder), ec).lexically_normal();
    if (!ec) {
        fs::create_directories(root, ec);
    }
    if (ec) {
        result.error = "Impossible de créer le dossier « " + folder + " » : " + ec.message();
        return result;
    }
    std::vector<fs::path> paths;
    std::vector<size_t> missing;
    for (size_t i = 0; i < kTracks.size(); ++i) {
        paths.push_back(root / fs::path(kTracks[i].fileName));
        if (!isPresent(paths.back())) {
            missing.push_back(i);
        }
    }
    const std::vector<std::string> errors = writeInParallel(paths, missing);
    for (size_t i : missing) {
        if (!errors[i].empty()) {
            result.error = errors[i];
            return result;
        }
    }
    for (const fs::path& path : paths) {
        result.paths.push_back(path.string());
    }
    result.written = int(missing.size());
    result.ok = true;
    return result;
}

}  // namespace varonel::synth
