// varonel-demo FOLDER [--playlist FILE.pls]
//
// Writes the demo library into FOLDER and, on request, a playlist of it: one full
// path per line, each line ending in CR LF, in UTF-8.

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "DemoLibrary.h"

namespace {

struct Arguments {
    std::string folder;
    std::string playlist;  // empty: no playlist
};

std::optional<Arguments> parseArguments(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--playlist" && i + 1 < argc && args.playlist.empty()) {
            args.playlist = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && args.folder.empty()) {
            args.folder = arg;
        } else {
            return std::nullopt;
        }
    }
    if (args.folder.empty()) {
        return std::nullopt;
    }
    return args;
}

bool writePlaylist(const std::string& file, const std::vector<std::string>& paths) {
    // Binary mode: the CR LF line ends are written exactly as given.
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& path : paths) {
        out << path << "\r\n";
    }
    out.close();
    return !out.fail();
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Arguments> args = parseArguments(argc, argv);
    if (!args) {
        std::fprintf(stderr, "Usage : varonel-demo DOSSIER [--playlist FICHIER.pls]\n");
        return 2;
    }
    const varonel::synth::DemoLibraryResult library =
        varonel::synth::writeDemoLibrary(args->folder);
    if (!library.ok) {
        std::fprintf(stderr, "varonel-demo : %s\n", library.error.c_str());
        return 2;
    }
    if (!args->playlist.empty() && !writePlaylist(args->playlist, library.paths)) {
        std::fprintf(stderr, "varonel-demo : impossible d'écrire la playlist « %s »\n",
                     args->playlist.c_str());
        return 2;
    }
    std::printf("%zu pistes dans %s (%d écrites, %zu déjà présentes)%s%s\n", library.paths.size(),
                args->folder.c_str(), library.written,
                library.paths.size() - size_t(library.written),
                args->playlist.empty() ? "" : ", playlist ", args->playlist.c_str());
    return 0;
}
