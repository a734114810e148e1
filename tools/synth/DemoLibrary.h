#pragma once
// The demo library: about a dozen tracks, WAV and MP3, named "Artist - Title.ext".

#include <string>
#include <vector>

namespace varonel::synth {

struct DemoLibraryResult {
    bool ok = false;
    std::string error;
    std::vector<std::string> paths;  // full paths of the tracks, in playlist order
    int written = 0;                 // how many were made by this call (the rest were kept)
};

// Writes the tracks into `folder` (created if needed). Files that already exist
// and are not empty are kept, so a second run is quick; each track is written under
// a temporary name and renamed when complete, so a kept file is never a truncated one.
DemoLibraryResult writeDemoLibrary(const std::string& folder);

}  // namespace varonel::synth
