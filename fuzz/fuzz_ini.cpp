// Fuzz target: the settings files Varonel.Ini and PlayerAB.Ini as both programs
// read them at start-up, and the outputs chosen from what was read, for every
// size of the two output lists: the entries chosen are always entries the lists
// have.

#include <QString>

#include "FuzzFile.h"
#include "core/shared/OutputSettings.h"

using namespace varonel::core;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = QString::fromStdString(fuzzfile::write(data, size));
    const OutputSettingsRead read = readOutputSettings(path);
    for (int first = 1; first <= 12; ++first) {
        const int second = 13 - first;
        const OutputSelection chosen = chooseOutputs(read, first, second);
        fuzzfile::require(chosen.first >= 0 && chosen.first < first);
        fuzzfile::require(chosen.second >= 0 && chosen.second < second);
        fuzzfile::require(chosen.showMessage == chosen.deleteFile);
    }
    return 0;
}
