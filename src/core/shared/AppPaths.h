#pragma once
// Where the programs keep their settings files and the catalogue: the program
// folder for a portable install, the user's data folder when the program
// folder cannot be written (a system install), so that nothing is ever lost.

#include <QString>
#include <functional>

namespace varonel::core {

// Answers whether files can be created in a folder.
using FolderWritableProbe = std::function<bool(const QString& folder)>;

// The program folder when the probe finds it writable, otherwise the user data
// folder; either way ending with one separator.
QString CheminAppli(const QString& exeFolder, const FolderWritableProbe& isWritable,
                    const QString& userDataFolder);

// The same, for the running program: its executable's folder, probed by
// creating a file in it, else "<generic data location>/Varonel/" (created if
// needed); always the latter for a system install (see ProgramLayout). Both
// programs land in the same folder. Needs a QCoreApplication.
QString CheminAppli();

// The user data folder shared by both programs, ending with a separator.
QString userDataFolder();

// Probe used by CheminAppli(): creates and removes a temporary file there.
bool canCreateFilesIn(const QString& folder);

// Settings file of the automatic mixer.
QString FichierIni(const QString& cheminAppli);
// Settings file of the two-deck player.
QString FichierIniPlayer(const QString& cheminAppli);
// Options of the automatic mixer and of the player, beside their settings files.
QString FichierOptions(const QString& cheminAppli);
QString FichierOptionsPlayer(const QString& cheminAppli);
// Catalogue of the search window.
QString FichierCatalogue(const QString& cheminAppli);
// What is known of each track (lengths and analyses), shared by the window and
// the offline render.
QString FichierCachePistes(const QString& cheminAppli);

}  // namespace varonel::core
