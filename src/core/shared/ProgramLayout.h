#pragma once
// Where the suite's programs and their helper (the installer of the audio
// component) lie. A build folder or a copied folder holds all of them side by
// side: a portable install. A system install puts the programs in bin/ and the
// helper in libexec/varonel/; such a folder is never the place for the user's
// files, even for an administrator who could write there.

#include <QString>

namespace varonel::core {

struct ProgramLayout {
    QString programFolder;   // the programs' folder, ending with a separator
    QString helperFolder;    // the helper's folder, ending with a separator
    bool installed = false;  // a system install
};

// The helper's file name.
inline constexpr char kHelperProgram[] = "varonel-installer";

// The layout around a program whose executable lies in `exeFolder`: installed
// when the helper is not beside it but where a system install puts it.
ProgramLayout programLayout(const QString& exeFolder);
// The same for the running program. Needs a QCoreApplication.
ProgramLayout programLayout();

}  // namespace varonel::core
