// Fuzz target: the settings files Varonel.Ini and PlayerAB.Ini as both programs
// read them at start-up, and the outputs chosen from what was read, for every
// size of the two output lists: the entries chosen are always entries the lists
// have.

#include <QString>
#include <QStringList>

#include "FuzzFile.h"
#include "core/shared/OutputSettings.h"

using namespace varonel::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = QString::fromStdString(fuzzfile::write(data, size));
    const OutputSettingsRead read = readOutputSettings(path);
    // Lists named as the file may name them, so that the names are matched too.
    QStringList entries;
    for (int i = 0; i < 12; ++i) {
        entries << QStringLiteral("Sortie %1").arg(i);
    }
    for (int first = 1; first <= 12; ++first) {
        const int second = 13 - first;
        const OutputSelection chosen =
            chooseOutputs(read, entries.mid(0, first), entries.mid(12 - second));
        fuzzfile::require(chosen.first >= 0 && chosen.first < first);
        fuzzfile::require(chosen.second >= 0 && chosen.second < second);
        fuzzfile::require(chosen.showMessage == chosen.deleteFile);
    }
    return 0;
}
