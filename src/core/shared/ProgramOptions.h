#pragma once
// A program's options beyond its choice of outputs, in Qt's INI format beside
// its settings file: Varonel.conf for the mixer, PlayerAB.conf for the player.
// The operator edits the file; the program reads it at start-up and writes it
// only when it does not exist yet, with every key at its default, so that the
// keys are there to be found. A missing key, or a value that is not a whole
// number in range, gives the default.
//
// A new option is a field here, with its default and what it means, and a line
// of the table of keys in ProgramOptions.cpp.

#include <QString>

namespace varonel::core {

struct ProgramOptions {
    // [Sorties] TamponMs: how much sound, in milliseconds (20 to 1000), each
    // output keeps queued ahead of what is heard. More holds better on a busy
    // machine; starts, stops and seeks are heard at once whatever it is (with
    // PulseAudio), while a pitch change reaches the ear this much later. It stays
    // under the shortest exit point, so a track is never read to its end before
    // its exit point is heard.
    int tamponMs = 250;

    bool operator==(const ProgramOptions&) const = default;
};

// The options in the file; the defaults for what it lacks (or when it is not
// there).
ProgramOptions readProgramOptions(const QString& filePath);

// Writes every option. The file is written beside the old one and put in its
// place only once it is complete on disk, so a full disk leaves the old file
// whole. False with the reason in *error otherwise.
bool writeProgramOptions(const QString& filePath, const ProgramOptions& options,
                         QString* error = nullptr);

// Writes the file with the defaults when it does not exist. True when there is
// nothing to tell: it existed, or it has been written.
bool createProgramOptionsIfMissing(const QString& filePath, QString* error = nullptr);

// Frames of `ms` milliseconds at 44.1 kHz, the rate the outputs ask for.
int framesOfMs(int ms);

}  // namespace varonel::core
