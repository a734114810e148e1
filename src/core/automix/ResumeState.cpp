#include "core/automix/ResumeState.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cstring>

namespace varonel::core {

namespace {

const char kHeader[] = "Varonel reprise 1";
const char kOnAir[] = "antenne";
const char kRequette[] = "requette";
const char kMix[] = "mix";
const char kTrack[] = "piste";
const char kPosition[] = "position";
const char kRow[] = "ligne";
const char kEnd[] = "fin";

bool needsEscape(QChar c) {
    return c == u'\\' || c == u'\t' || c == u'\r' || c == u'\n';
}

QString escaped(const QString& cell) {
    // Nearly every cell has nothing to escape: it is taken whole, which keeps
    // the save of a long playlist quick.
    if (std::none_of(cell.cbegin(), cell.cend(), needsEscape)) {
        return cell;
    }
    QString out;
    out.reserve(cell.size());
    for (const QChar c : cell) {
        switch (c.unicode()) {
            case u'\\':
                out += QLatin1String("\\\\");
                break;
            case u'\t':
                out += QLatin1String("\\t");
                break;
            case u'\r':
                out += QLatin1String("\\r");
                break;
            case u'\n':
                out += QLatin1String("\\n");
                break;
            default:
                out += c;
        }
    }
    return out;
}

QString unescaped(QStringView cell) {
    QString out;
    out.reserve(cell.size());
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell[i] != u'\\' || i + 1 == cell.size()) {
            out += cell[i];
            continue;
        }
        const QChar next = cell[++i];
        out += next == u't'   ? QChar(u'\t')
               : next == u'r' ? QChar(u'\r')
               : next == u'n' ? QChar(u'\n')
                              : next;
    }
    return out;
}

void appendCells(const PlaylistRow& row, QString* line) {
    for (int column = 0; column < PlaylistRow::kColumnCount; ++column) {
        *line += u'\t';
        *line += escaped(row.cell(column));
    }
}

QString flagLine(const char* name, bool value) {
    return QLatin1String(name) + u'\t' + (value ? u'1' : u'0') + u'\n';
}

// A damage check, not a seal: eight bytes at a time through a multiply and a
// shift, fast enough for a playlist of any length (a CRC-16 took longer than
// all the rest of the save).
quint64 checksum(QByteArrayView bytes) {
    constexpr quint64 kMultiplier = 0xff51afd7ed558ccdULL;
    constexpr int kShift = 29;
    quint64 sum = 0x9e3779b97f4a7c15ULL ^ quint64(bytes.size());
    qsizetype i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        quint64 word = 0;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        sum = (sum ^ word) * kMultiplier;
        sum ^= sum >> kShift;
    }
    for (; i < bytes.size(); ++i) {
        sum = (sum ^ quint8(bytes[i])) * kMultiplier;
        sum ^= sum >> kShift;
    }
    return sum;
}

ResumeRead damaged(const QString& why) {
    ResumeRead read;
    read.status = ResumeFileStatus::Damaged;
    read.error = why;
    return read;
}

bool readFlag(const QStringList& fields, const char* name, bool* value) {
    if (fields.size() != 2 || fields[0] != QLatin1String(name) ||
        (fields[1] != u'0' && fields[1] != u'1')) {
        return false;
    }
    *value = fields[1] == u'1';
    return true;
}

bool readRow(const QStringList& fields, int first, PlaylistRow* row) {
    if (fields.size() != first + PlaylistRow::kColumnCount) {
        return false;
    }
    row->artist = unescaped(fields[first + PlaylistRow::kArtistColumn]);
    row->title = unescaped(fields[first + PlaylistRow::kTitleColumn]);
    row->durationText = unescaped(fields[first + PlaylistRow::kDurationColumn]);
    row->path = unescaped(fields[first + PlaylistRow::kPathColumn]);
    row->milliseconds = unescaped(fields[first + PlaylistRow::kMillisecondsColumn]);
    return true;
}

bool readPosition(const QStringList& fields, int32_t* positionMs) {
    bool ok = false;
    const int value =
        fields.size() == 2 && fields[0] == QLatin1String(kPosition) ? fields[1].toInt(&ok) : -1;
    if (!ok || value < 0) {
        return false;
    }
    *positionMs = value;
    return true;
}

}  // namespace

QString resumeFile(const QString& cheminAppli) {
    return cheminAppli + QStringLiteral("Varonel.reprise");
}

QByteArray encodeResumeState(const ResumeState& state) {
    constexpr qsizetype kRowChars = 160;
    QString text;
    text.reserve((state.rows.size() + 8) * kRowChars);
    text += QLatin1String(kHeader) + u'\n';
    text += flagLine(kOnAir, state.onAir);
    text += flagLine(kRequette, state.requetteAuto);
    text += flagLine(kMix, state.mixIntelligent);
    if (state.onAir) {
        text += QLatin1String(kTrack) + u'\t' + state.trackStart.toString(Qt::ISODate);
        appendCells(state.track, &text);
        text += u'\n';
    }
    text += QLatin1String(kPosition) + u'\t' + QString::number(state.positionMs) + u'\n';
    for (const PlaylistRow& row : state.rows) {
        text += QLatin1String(kRow);
        appendCells(row, &text);
        text += u'\n';
    }
    QByteArray bytes = text.toUtf8();
    bytes += QByteArray(kEnd) + '\t' + QByteArray::number(state.rows.size()) + '\t' +
             QByteArray::number(checksum(bytes), 16) + '\n';
    return bytes;
}

QByteArray encodeResumePosition(int32_t positionMs) {
    return QByteArray(kPosition) + '\t' + QByteArray::number(positionMs) + '\n';
}

ResumeRead decodeResumeState(const QByteArray& bytes) {
    const qsizetype endAt = bytes.lastIndexOf(QByteArray("\n") + kEnd + '\t');
    if (!bytes.startsWith(QByteArray(kHeader) + '\n') || endAt < 0) {
        return damaged(QStringLiteral("fichier incomplet ou d'un autre format"));
    }
    const QByteArray body = bytes.left(endAt + 1);
    const qsizetype endLineEnd = bytes.indexOf('\n', endAt + 1);
    if (endLineEnd < 0) {
        return damaged(QStringLiteral("fichier incomplet"));
    }
    const QList<QByteArray> end = bytes.mid(endAt + 1, endLineEnd - endAt - 1).split('\t');
    const QStringList lines = QString::fromUtf8(body).split(u'\n');  // the last one is empty
    bool countOk = false;
    bool sumOk = false;
    if (end.size() != 3 || end[2].toULongLong(&sumOk, 16) != checksum(body) || !sumOk) {
        return damaged(QStringLiteral("somme de contrôle fausse"));
    }
    ResumeRead read;
    read.status = ResumeFileStatus::Read;
    ResumeState& state = read.state;
    int line = 1;
    const auto fields = [&](int i) { return lines[i].split(u'\t'); };
    if (lines.size() < 6 || !readFlag(fields(line++), kOnAir, &state.onAir) ||
        !readFlag(fields(line++), kRequette, &state.requetteAuto) ||
        !readFlag(fields(line++), kMix, &state.mixIntelligent)) {
        return damaged(QStringLiteral("en-tête illisible"));
    }
    if (state.onAir) {
        const QStringList track = fields(line++);
        state.trackStart = QDateTime::fromString(track.value(1), Qt::ISODate);
        if (track.value(0) != QLatin1String(kTrack) || !readRow(track, 2, &state.track)) {
            return damaged(QStringLiteral("piste à l'antenne illisible"));
        }
    }
    if (line >= lines.size() || !readPosition(fields(line++), &state.positionMs)) {
        return damaged(QStringLiteral("position illisible"));
    }
    for (; line < lines.size() - 1; ++line) {
        const QStringList row = fields(line);
        PlaylistRow playlistRow;
        if (row.value(0) != QLatin1String(kRow) || !readRow(row, 1, &playlistRow)) {
            return damaged(QStringLiteral("ligne %1 illisible").arg(line + 1));
        }
        state.rows.append(playlistRow);
    }
    if (end[1].toLongLong(&countOk) != state.rows.size() || !countOk) {
        return damaged(QStringLiteral("nombre de lignes faux"));
    }
    // The positions appended while on air: the last whole one counts; a last
    // line cut short by the crash is no position.
    const QList<QByteArray> after = bytes.mid(endLineEnd + 1).split('\n');
    for (qsizetype i = 0; i + 1 < after.size(); ++i) {
        if (!readPosition(QString::fromLatin1(after[i]).split(u'\t'), &state.positionMs)) {
            return damaged(QStringLiteral("position illisible après la fin"));
        }
    }
    return read;
}

ResumeRead readResumeState(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return damaged(file.errorString());
    }
    return decodeResumeState(file.readAll());
}

}  // namespace varonel::core
