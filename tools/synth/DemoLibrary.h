#pragma once
// The demo library: about a dozen tracks, WAV and MP3, named "Artist - Title.ext".

#include <string>
#include <vector>

namespace varonel::synth {

struct DemoLibraryResult {
    bool ok = false;
    std::string error;
    std::vector<std::string> paths;  // full paths of the tracks, in playlist order
};

// Writes the tracks into `folder` (created if needed). Files that already exist
// with the expected size are kept, so a second run is quick.
DemoLibraryResult writeDemoLibrary(const std::string& folder);

}  // namespace varonel::synth
