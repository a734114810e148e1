#pragma once
// How the core asks for the length of an audio file. The program passes its
// audio file reader; tests pass a lambda.

#include <QString>
#include <cstdint>
#include <functional>

namespace varonel::core {

// Returns the length in milliseconds of the audio file at `path`. A file that
// cannot be opened is reported by writing a non-empty text to *error (never
// null); the returned value then means nothing.
using TrackLengthReader = std::function<int32_t(const QString& path, QString* error)>;

}  // namespace varonel::core
