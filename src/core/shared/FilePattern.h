#pragma once
// A file pattern of wildcards separated by ";", such as "*.Wav;*.Mp3": a name
// matches when it matches any of them, without regard to letter case.

#include <QList>
#include <QRegularExpression>
#include <QString>

namespace varonel::core {

// The audio files that the browser and the catalogue list.
inline constexpr char kAudioFilePattern[] = "*.Wav;*.Mp3;*.Flac;*.Ogg;*.Oga;*.Opus";

class FilePattern {
public:
    explicit FilePattern(const QString& pattern = QLatin1String(kAudioFilePattern));
    bool matches(const QString& fileName) const;

private:
    QList<QRegularExpression> m_wildcards;
};

}  // namespace varonel::core
