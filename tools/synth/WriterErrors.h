#pragma once
// Shared by the WAV and MP3 writers: input checks and the French error text.

#include <string>

#include "Synth.h"

namespace varonel::synth::detail {

inline bool isWellFormed(const Audio& audio) {
    return audio.sampleRate > 0 && audio.channels > 0 &&
           audio.samples.size() % size_t(audio.channels) == 0;
}

// Fills *error with "Impossible d'écrire le fichier « path » : reason" and returns false.
inline bool fail(std::string* error, const std::string& path, const std::string& reason) {
    if (error != nullptr) {
        *error = "Impossible d'écrire le fichier « " + path + " » : " + reason;
    }
    return false;
}

}  // namespace varonel::synth::detail
