#pragma once
// Artist and title of a catalogue entry, taken from its full path by the
// catalogue's own rule: 100 characters at most, the title cut at its first
// ".WAV" or ".MP3" in any case rather than losing its last 4 characters. The
// browser and the playlist files keep their own rule (Artiste and Titre).

#include <QString>

namespace varonel::core {

// The part after a folder separator, and the part after the first "-", keep at
// most this many characters.
inline constexpr int kArtisteTitreMaxChars = 100;

// Splits `path` at its first "-", folders included: the artist is the
// space-trimmed text before it, less any folder part (what follows the last
// separator is kept untrimmed); the title is the space-trimmed text after it,
// cut at the first ".WAV", then at the first ".MP3". A path without "-"
// leaves *artist and *title as they were.
void ArtisteTitre(QString* artist, QString* title, const QString& path);

}  // namespace varonel::core
