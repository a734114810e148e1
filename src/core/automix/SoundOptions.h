#pragma once
// What the operator chooses of the sound on air, beyond the transport's own
// settings: whether the silences around each track are skipped, and the
// loudness every track is brought to. Both are on by default.

#include <QList>
#include <QString>
#include <optional>

namespace varonel::core {

struct SoundOptions {
    bool skipSilences = true;
    // Integrated loudness in LUFS; none: each track at its own level.
    std::optional<int> targetLufs = -16;

    // The targets offered.
    static QList<int> targets() { return {-23, -18, -16, -14}; }
    // The loudest a track's true peak may reach before the main output's limiter.
    static constexpr double kCeilingDbtp = -1.0;

    // "off" or a target ("-16"), as the settings file and the command line write it.
    QString loudnessText() const;
    // False when `text` names neither.
    bool setLoudnessText(const QString& text);

    bool operator==(const SoundOptions&) const = default;
};

// The options kept in the program's options file (Qt's INI format), group [Son]:
// SauterSilences=true|false, Normalisation=off|-23|-18|-16|-14. A key missing or
// not understood gives its default.
SoundOptions readSoundOptions(const QString& optionsFile);
// False, with the reason in *error, when the file cannot be written; the old
// file is then left whole.
bool writeSoundOptions(const QString& optionsFile, const SoundOptions& options, QString* error);

}  // namespace varonel::core
