// varonel-fuzz-seeds FOLDER
//
// Writes the seed corpus of the fuzz targets into FOLDER/pls, FOLDER/ini,
// FOLDER/catalogue and FOLDER/decoder: a few files of each shape the readers
// know, small enough that the fuzzers run many inputs a second.

#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Synth.h"

namespace fs = std::filesystem;
namespace synth = varonel::synth;

namespace {

struct Seed {
    const char* name;
    std::string bytes;
};

bool writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return !out.fail();
}

bool writeAll(const fs::path& folder, const std::vector<Seed>& seeds) {
    fs::create_directories(folder);
    for (const Seed& seed : seeds) {
        if (!writeBytes(folder / seed.name, seed.bytes)) {
            return false;
        }
    }
    return true;
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<Seed> kPlaylists = {
    {"plain.pls", "/Musique/Artiste - Titre.mp3\r\n/Tubes-2000/Dupont - Valse.wav\r\n"},
    {"lf-no-last-end.pls", "/a - b.mp3\n/c - d.wav"},
    {"empty-lines.pls", "\r\n/a.mp3\r\n\r\n"},
    {"windows-1252.pls",
     "C:\\Musique\\Caf\xe9 - \x80uro.mp3\r\n/\xc9"
     "dith - Hymne.wav\r\n"},
    {"bom.pls", "\xef\xbb\xbf/Musique/\xc3\x89lodie - \xc3\x89t\xc3\xa9.mp3\r\n"},
    {"mixed.pls", "/tmp/\xe9t\xe9/x.wav\r\n/Musique/\xc3\x89t\xc3\xa9 - Chaud.mp3\r\n"},
    {"long-title.pls", "/m/A - " + std::string(150, 'x') + ".Mp3.mp3\r\n"},
    {"empty.pls", ""},
};

const std::vector<Seed> kSettings = {
    {"first.ini", "0,0\r\n"},   {"chosen.ini", "3,1\r\n"},          {"none.ini", "-1,-1\r\n"},
    {"spaces.ini", " 2 , 5\n"}, {"limits.ini", "32767,-32768\r\n"}, {"lines.ini", "1\r\n2\r\n"},
    {"text.ini", "sortie"},     {"too-big.ini", "99999,1\r\n"},
};

std::string catalogue(int entries) {
    std::string text;
    for (int i = 0; i < entries; ++i) {
        text += "/Musique/Dossier " + std::to_string(i % 7) + "/Artiste " + std::to_string(i) +
                " - Titre " + std::to_string(i) + (i % 2 ? ".mp3" : ".WAV") + "\r\n";
    }
    return text;
}

const std::vector<Seed> kCatalogues = {
    {"forty.txt", catalogue(40)},
    {"windows-1252.txt",
     "C:\\Musique\\Slow\\Artiste A - Titre un.mp3\r\nC:\\Best-Of\\Caf\xe9 - "
     "Noir.wav\r\n"},
    {"no-hyphen.txt", "/Musique/Intro.mp3\n/Musique/A-b.wav.x.MP3\n"},
    {"not-utf8.txt", "/m/\xc3\x89t\xc3\xa9 - Chaud.wav\r\n/m/Caf\xe9 - Noir.mp3\r\n"},
};

// Audio seeds: short, so that each input decodes in a fraction of a millisecond.
bool writeAudio(const fs::path& folder) {
    fs::create_directories(folder);
    const auto path = [&](const char* name) { return (folder / name).string(); };
    struct Wav {
        const char* name;
        synth::WavFormat format;
        int rate;
        int channels;
    };
    const Wav wavs[] = {
        {"pcm8-8k-mono.wav", synth::WavFormat::Pcm8, 8000, 1},
        {"pcm16-44k-stereo.wav", synth::WavFormat::Pcm16, 44100, 2},
        {"pcm24-48k-mono.wav", synth::WavFormat::Pcm24, 48000, 1},
        {"pcm32-22k-stereo.wav", synth::WavFormat::Pcm32, 22050, 2},
        {"float-44k-stereo.wav", synth::WavFormat::Float, 44100, 2},
        {"pcm16-96k-six.wav", synth::WavFormat::Pcm16, 96000, 6},
    };
    for (const Wav& wav : wavs) {
        if (!synth::writeWav(path(wav.name), synth::sine(440.0, 0.01, 0.5f, wav.rate, wav.channels),
                             wav.format)) {
            return false;
        }
    }
    struct Mp3 {
        const char* name;
        synth::Mp3Mode mode;
        int rate;
        int channels;
    };
    const Mp3 mp3s[] = {
        {"cbr-44k-stereo.mp3", synth::Mp3Mode::Cbr, 44100, 2},
        {"vbr-22k-mono.mp3", synth::Mp3Mode::Vbr, 22050, 1},
        {"vbr-no-xing-8k-mono.mp3", synth::Mp3Mode::VbrNoXing, 8000, 1},
    };
    for (const Mp3& mp3 : mp3s) {
        if (!synth::writeMp3(path(mp3.name), synth::sine(440.0, 0.25, 0.5f, mp3.rate, mp3.channels),
                             mp3.mode)) {
            return false;
        }
    }
    // An MP3 behind an ID3v2 tag, and one cut short in the middle of a frame.
    const std::string mp3 = readBytes(folder / "cbr-44k-stereo.mp3");
    const std::string tag =
        std::string("ID3\x04\x00\x00\x00\x00\x00\x0a", 10) + std::string(10, '\0');
    if (!writeBytes(folder / "id3-tagged.mp3", tag + mp3) ||
        !writeBytes(folder / "cut.mp3", mp3.substr(0, mp3.size() / 2 + 7))) {
        return false;
    }
    // The other containers libsndfile opens: AIFF and FLAC.
    const synth::Audio tone = synth::sine(440.0, 0.03, 0.5f, 44100, 2);
    for (const auto& [name, format] : {std::pair{"tone.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
                                       std::pair{"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16}}) {
        SF_INFO info{};
        info.samplerate = tone.sampleRate;
        info.channels = tone.channels;
        info.format = format;
        SNDFILE* file = sf_open(path(name).c_str(), SFM_WRITE, &info);
        if (file == nullptr) {
            return false;
        }
        sf_writef_float(file, tone.samples.data(), tone.frames());
        sf_close(file);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage : varonel-fuzz-seeds DOSSIER\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const bool written =
        writeAll(folder / "pls", kPlaylists) && writeAll(folder / "ini", kSettings) &&
        writeAll(folder / "catalogue", kCatalogues) && writeAudio(folder / "decoder");
    if (!written) {
        std::fprintf(stderr, "varonel-fuzz-seeds : impossible d'écrire dans %s\n", argv[1]);
        return 1;
    }
    return 0;
}
