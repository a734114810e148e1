#pragma once
// How far apart the automatic request keeps an artist and a title: never an
// artist heard or queued within the last `artistTracks` tracks or
// `artistMinutes` minutes, never a title (the same song: artist and title)
// heard within the last `titleHours` hours, as long as another choice exists.
// A rule set to 0 is off.
//
// The values live in the options file Varonel.conf (Qt's INI format, beside
// Varonel.Ini), group [requette]:
//
//     [requette]
//     artiste_pistes=3
//     artiste_minutes=60
//     titre_heures=3

#include <QString>

namespace varonel::core {

struct RequestRules {
    static constexpr int kMaxTracks = 1000;
    static constexpr int kMaxMinutes = 7 * 24 * 60;
    static constexpr int kMaxHours = 7 * 24;

    int artistTracks = 3;
    int artistMinutes = 60;
    int titleHours = 3;

    // The options file in the settings folder (ending with a separator).
    static QString confFile(const QString& cheminAppli);
    // The values of the file; a missing, unreadable or out-of-range value
    // keeps its default.
    static RequestRules read(const QString& confFile);
    // Writes the three values. False when the file cannot be written.
    bool write(const QString& confFile) const;
    // read(), and the default values written when the file has none of its
    // own, so that the operator finds them there to change them.
    static RequestRules load(const QString& confFile);

    bool operator==(const RequestRules&) const = default;
};

}  // namespace varonel::core
