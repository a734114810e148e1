#include "core/shared/ProgramOptions.h"

#include <QFile>
#include <QSettings>

#include "core/shared/ExisteFichier.h"

namespace varonel::core {

namespace {

// Every option: its key in the file (section/name), its field, and the values
// it may take.
struct IntOption {
    const char* key;
    int ProgramOptions::*field;
    int minimum;
    int maximum;
};

constexpr IntOption kIntOptions[] = {
    {"Sorties/TamponMs", &ProgramOptions::tamponMs, 20, 1000},
};

}  // namespace

ProgramOptions readProgramOptions(const QString& filePath) {
    ProgramOptions options;
    if (!ExisteFichier(filePath)) {
        return options;
    }
    const QSettings settings(filePath, QSettings::IniFormat);
    for (const IntOption& option : kIntOptions) {
        bool ok = false;
        const int value = settings.value(QLatin1String(option.key)).toInt(&ok);
        if (ok && value >= option.minimum && value <= option.maximum) {
            options.*option.field = value;
        }
    }
    return options;
}

// QSettings writes a new file and puts it in place only once its every byte is
// on disk: on a full disk its status tells, and the old file stays whole.
bool writeProgramOptions(const QString& filePath, const ProgramOptions& options, QString* error) {
    QSettings settings(filePath, QSettings::IniFormat);
    for (const IntOption& option : kIntOptions) {
        settings.setValue(QLatin1String(option.key), options.*option.field);
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        if (error != nullptr) {
            *error = QStringLiteral("écriture impossible (disque plein ou dossier protégé)");
        }
        return false;
    }
    return true;
}

bool createProgramOptionsIfMissing(const QString& filePath, QString* error) {
    if (QFile::exists(filePath)) {
        return true;
    }
    return writeProgramOptions(filePath, ProgramOptions(), error);
}

int framesOfMs(int ms) {
    constexpr int kRate = 44100;
    return int(int64_t(ms) * kRate / 1000);
}

}  // namespace varonel::core
