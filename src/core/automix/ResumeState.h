#pragma once
// What a broadcast needs to come back after a crash, a kill or a power loss:
// the playlist, the track on air with where it was, and the request and smart
// mix switches; and its file, "Varonel.reprise" in the settings folder:
//
//     Varonel reprise 1
//     antenne<TAB>1
//     requette<TAB>1
//     mix<TAB>1
//     piste<TAB>2026-11-01T14:03:27<TAB>artist<TAB>title<TAB>03:12<TAB>/path.mp3<TAB>192000
//     position<TAB>83000
//     ligne<TAB>artist<TAB>title<TAB>duration<TAB>/path<TAB>milliseconds
//     ...
//     fin<TAB>ROWS<TAB>CHECKSUM
//     position<TAB>84000
//
// UTF-8, one record a line; in a cell a backslash, a tab, a CR or an LF is
// written \\, \t, \r or \n. "piste" is there only on air. The whole file is
// replaced at once at every change; while on air, the position is appended
// after "fin" every second, and the last whole "position" line counts. The
// checksum (of every byte before "fin", in hexadecimal) finds a damaged file.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>

#include "core/playlist/PlaylistRow.h"

namespace varonel::core {

struct ResumeState {
    bool onAir = false;
    bool requetteAuto = false;
    bool mixIntelligent = true;
    PlaylistRow track;     // on air
    QDateTime trackStart;  // when it went on air, local time
    int32_t positionMs = 0;
    QList<PlaylistRow> rows;

    bool operator==(const ResumeState&) const = default;
};

enum class ResumeFileStatus {
    None,     // no file: the last session ended cleanly, or never began
    Read,     // a session to bring back
    Damaged,  // a file that cannot be trusted; nothing is brought back
};

struct ResumeRead {
    ResumeFileStatus status = ResumeFileStatus::None;
    ResumeState state;
    QString error;  // why a file is damaged, in French
};

// The file's name in the settings folder (ending with a separator).
QString resumeFile(const QString& cheminAppli);

// The whole file.
QByteArray encodeResumeState(const ResumeState& state);
// A position line, to append.
QByteArray encodeResumePosition(int32_t positionMs);
ResumeRead decodeResumeState(const QByteArray& bytes);
ResumeRead readResumeState(const QString& path);

}  // namespace varonel::core
