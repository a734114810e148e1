#include "core/request/RequestRules.h"

#include <QSettings>

namespace varonel::core {

namespace {

const char kGroup[] = "requette";
const char kArtistTracks[] = "artiste_pistes";
const char kArtistMinutes[] = "artiste_minutes";
const char kTitleHours[] = "titre_heures";

int readValue(const QSettings& settings, const char* key, int fallback, int maximum) {
    bool ok = false;
    const int value = settings.value(QLatin1String(key)).toInt(&ok);
    return ok && value >= 0 && value <= maximum ? value : fallback;
}

}  // namespace

QString RequestRules::confFile(const QString& cheminAppli) {
    return cheminAppli + QStringLiteral("Varonel.conf");
}

RequestRules RequestRules::read(const QString& confFile) {
    QSettings settings(confFile, QSettings::IniFormat);
    settings.beginGroup(QLatin1String(kGroup));
    RequestRules rules;
    rules.artistTracks = readValue(settings, kArtistTracks, rules.artistTracks, kMaxTracks);
    rules.artistMinutes = readValue(settings, kArtistMinutes, rules.artistMinutes, kMaxMinutes);
    rules.titleHours = readValue(settings, kTitleHours, rules.titleHours, kMaxHours);
    return rules;
}

RequestRules RequestRules::load(const QString& confFile) {
    const RequestRules rules = read(confFile);
    if (!QSettings(confFile, QSettings::IniFormat).childGroups().contains(QLatin1String(kGroup))) {
        rules.write(confFile);
    }
    return rules;
}

bool RequestRules::write(const QString& confFile) const {
    QSettings settings(confFile, QSettings::IniFormat);
    settings.beginGroup(QLatin1String(kGroup));
    settings.setValue(QLatin1String(kArtistTracks), artistTracks);
    settings.setValue(QLatin1String(kArtistMinutes), artistMinutes);
    settings.setValue(QLatin1String(kTitleHours), titleHours);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace varonel::core
