#include "core/automix/SoundOptions.h"

#include <QSettings>

namespace varonel::core {

QString SoundOptions::loudnessText() const {
    return targetLufs ? QString::number(*targetLufs) : QStringLiteral("off");
}

bool SoundOptions::setLoudnessText(const QString& text) {
    if (text == QLatin1String("off")) {
        targetLufs.reset();
        return true;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || !targets().contains(value)) {
        return false;
    }
    targetLufs = value;
    return true;
}

}  // namespace varonel::core

namespace varonel::core {

namespace {

const QString kSkipKey = QStringLiteral("Son/SauterSilences");
const QString kLoudnessKey = QStringLiteral("Son/Normalisation");

}  // namespace

SoundOptions readSoundOptions(const QString& optionsFile) {
    const QSettings settings(optionsFile, QSettings::IniFormat);
    SoundOptions options;
    const QString skip = settings.value(kSkipKey).toString();
    if (skip == QLatin1String("false") || skip == QLatin1String("true")) {
        options.skipSilences = skip == QLatin1String("true");
    }
    SoundOptions loudness;
    if (loudness.setLoudnessText(settings.value(kLoudnessKey).toString())) {
        options.targetLufs = loudness.targetLufs;
    }
    return options;
}

bool writeSoundOptions(const QString& optionsFile, const SoundOptions& options, QString* error) {
    QSettings settings(optionsFile, QSettings::IniFormat);
    settings.setValue(kSkipKey, options.skipSilences ? "true" : "false");
    settings.setValue(kLoudnessKey, options.loudnessText());
    settings.sync();
    if (settings.status() == QSettings::NoError) {
        return true;
    }
    if (error != nullptr) {
        *error = QStringLiteral("Les options ne peuvent pas être écrites : ") + optionsFile;
    }
    return false;
}

}  // namespace varonel::core
