#pragma once
// The playlist's reader of track lengths: a file source that never plays (source
// 2 of the main chain) opens the file, gives its exact length and lets it go.

#include "audio/FileSource.h"
#include "core/shared/TrackLengthReader.h"

namespace varonel::core {

// `reader` must outlive the returned function.
TrackLengthReader sourceLengthReader(audio::FileSource& reader);

}  // namespace varonel::core
