#pragma once
// Artist, title and short time text of a track, taken from its file name alone
// ("Dupont - Valse.mp3"). Pure functions shared by both programs.

#include <QString>
#include <cstdint>

namespace varonel::core {

// The title part is cut to this many characters before the extension is dropped.
inline constexpr int kTitreMaxChars = 250;

// Artist of the automatic mixer: the space-trimmed text before the first "-",
// without any folder part (what follows the last folder separator is kept as
// is). Empty when the name has no "-".
QString Artiste(const QString& name);

// Artist of the two-deck player: the space-trimmed text before the first "-",
// folder part included. Empty when the name has no "-".
QString ArtisteSansDossier(const QString& name);

// Title: at most 250 characters after the first "-", space-trimmed, less its
// last 4 characters (the extension with its dot), or 5 for ".flac" and ".opus".
// Empty when the name has no "-" or when that text is shorter than 4 characters.
QString Titre(const QString& name);

// "mm:ss" from whole seconds (minutes keep their last two digits only), or
// "--:--" for anything under one second.
QString FTime(int32_t ms);

}  // namespace varonel::core
