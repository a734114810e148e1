#pragma once
// The desktop shortcuts of both programs: freedesktop launchers in the user's
// desktop folder, written again on each call.

#include <QString>

namespace varonel::ui {

// File names of the two launchers.
inline constexpr char kVaronelLauncher[] = "Varonel 2.5.desktop";
inline constexpr char kPlayerLauncher[] = "VaronelPlayer 2.5.desktop";

// The launcher text for `program` in `programFolder`, named `name`. Its icon is
// `appId`.svg when the folder holds one (a build or a portable folder), else the
// icon of that name that a system install puts in the icon theme.
QString desktopEntry(const QString& name, const QString& programFolder, const QString& program,
                     const QString& appId);

// Writes the launchers into `desktopFolder` (created if missing), pointing at
// the programs of `programFolder`, and makes them executable: the mixer's
// always, the player's when its executable is in `programFolder`. False, with the
// reason in *error, if one could not be written.
bool CreationRaccourcis(const QString& desktopFolder, const QString& programFolder,
                        QString* error = nullptr);
// The same into the user's desktop folder, for the folder of the running
// program's executables (never the settings folder, which a system install
// moves into the user's data).
bool CreationRaccourcis();

}  // namespace varonel::ui
