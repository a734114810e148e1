#pragma once
// The folder separator of file paths as the suite writes and reads them. Qt
// writes "/" on every system; on Windows "\" is accepted too, since older
// playlist files hold such paths. On Linux "\" is an ordinary character.

#include <QChar>
#include <QString>
#include <QStringView>

namespace varonel::core {

inline constexpr QChar kFolderSeparator = u'/';

inline bool isFolderSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\';
#else
    return c == u'/';
#endif
}

// Index of the last separator in the text, -1 when there is none.
qsizetype lastFolderSeparator(QStringView text);

// The file's name alone, what follows the last separator. Artist and title are
// read from it, so that a hyphen in a folder's name ("Best-of") never makes one.
inline QString fileNameOf(const QString& path) {
    return path.mid(lastFolderSeparator(path) + 1);
}

// The folder text ending with exactly one separator ("/" stays "/").
QString withTrailingSeparator(const QString& folder);

// Folder and name joined by exactly one separator: "/" and "a.mp3" give
// "/a.mp3", "/Musique" and "a.mp3" give "/Musique/a.mp3".
inline QString joinFolder(const QString& folder, const QString& name) {
    return withTrailingSeparator(folder) + name;
}

}  // namespace varonel::core
