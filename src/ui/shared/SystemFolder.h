#pragma once
// Where the suite's audio component is installed for the user, and how both
// programs find out whether it is there. No root rights are needed: the
// folder is in the user's own data folder.

#include <QString>

namespace varonel::ui {

// The component's file, written by the installer into DossierSysteme().
inline constexpr char kComposantAudio[] = "VaronelAudio.composant";

// "<generic data location>/Varonel/systeme/", ending with the separator.
QString DossierSysteme();

// DossierSysteme() followed by the component's file name.
QString cheminComposantAudio();

// The installer's full path: beside the running program, or in the helpers'
// folder of a system install.
QString installerPath();

// Creates the component's file named `name` in DossierSysteme(). Only a plain
// file name is accepted, so that the installer can never write elsewhere.
bool installComposant(const QString& name, QString* error = nullptr);

}  // namespace varonel::ui
