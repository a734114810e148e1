#include "core/shared/LineFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStringDecoder>

#include "audio/FileAccess.h"
#include "audio/ReplacementFile.h"
#include "core/shared/FileError.h"
#include "core/shared/FileNames.h"
#include "core/shared/TextEncoding.h"

namespace varonel::core {

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

void setError(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
}

// The lines of the bytes, each without its line end.
QList<QByteArrayView> splitByteLines(QByteArrayView bytes) {
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        end = end < 0 ? bytes.size() : end;
        if (end > start && bytes[end - 1] == '\r') {
            --end;
        }
        lines.append(bytes.sliced(start, end - start));
        start = next;
    }
    return lines;
}

// A line as the system names its file: valid UTF-8 is UTF-8; other bytes are
// the system's own when a file or folder of that very name exists (a name that
// is not UTF-8), Windows-1252 when none does (the older Windows program).
QString decodeLine(QByteArrayView line) {
    // The file's byte-order mark is dropped before: one inside a line is kept.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(line);
    if (!utf8.hasError()) {
        return text;
    }
    struct stat info {};
    if (!line.contains('\0') && ::lstat(line.toByteArray().constData(), &info) == 0) {
        return fromSystemName(line);
    }
    return decodeWindows1252(line);
}

qsizetype lineCount(QByteArrayView bytes) {
    const qsizetype ends = bytes.count('\n');
    return ends + (bytes.isEmpty() || bytes.endsWith('\n') ? 0 : 1);
}

}  // namespace

bool decodeLineFile(QByteArrayView bytes, QStringList* lines, QString* error) {
    if (lineCount(bytes) > kMaxLineFileLines) {
        setError(error, QStringLiteral("Fichier trop long pour une liste (plus de %L1 lignes)")
                            .arg(kMaxLineFileLines));
        return false;
    }
    QStringList decoded;
    for (const QByteArrayView line :
         splitByteLines(bytes.startsWith(kByteOrderMark) ? bytes.sliced(3) : bytes)) {
        decoded.append(decodeLine(line));
    }
    *lines = decoded;
    return true;
}

bool encodeLineFile(const QStringList& lines, QByteArray* bytes, QString* error) {
    QByteArray encoded;
    // A first line that starts with U+FEFF would lose it as the file's
    // byte-order mark: a mark of the file's own keeps it.
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF))) {
        encoded = kByteOrderMark.toByteArray();
    }
    for (const QString& line : lines) {
        if (line.contains(u'\n') || line.contains(u'\r')) {
            setError(error, QStringLiteral("Ligne invalide : %1").arg(line));
            return false;
        }
        encoded += toSystemName(line);
        encoded += "\r\n";
    }
    *bytes = encoded;
    return true;
}

bool readLineFile(const QString& filePath, QStringList* lines, QString* error) {
    std::string reason;
    const int fd = audio::openRegularFile(systemPath(filePath), &reason);
    if (fd < 0) {
        setError(error, fileErrorText(filePath, QString::fromStdString(reason)));
        return false;
    }
    std::string bytes;
    bool tooLarge = false;
    const bool read = audio::readWholeFile(fd, kMaxLineFileBytes, &bytes, &reason, &tooLarge);
    ::close(fd);
    if (tooLarge) {
        setError(error, fileErrorText(
                            filePath,
                            QStringLiteral("Fichier trop volumineux pour une liste (plus de %1 Mo)")
                                .arg(kMaxLineFileBytes / (1024 * 1024))));
        return false;
    }
    if (!read) {
        setError(error, fileErrorText(filePath, QString::fromStdString(reason)));
        return false;
    }
    return decodeLineFile(QByteArrayView(bytes.data(), qsizetype(bytes.size())), lines, error);
}

bool writeLineFile(const QString& filePath, const QStringList& lines, QString* error) {
    QByteArray bytes;
    if (!encodeLineFile(lines, &bytes, error)) {
        return false;
    }
    audio::ReplacementFile file(systemPath(filePath));
    std::string reason;
    if (!file.create(&reason) || !file.write(bytes.constData(), size_t(bytes.size()), &reason) ||
        !file.commit(&reason)) {
        setError(error, fileErrorText(filePath, QString::fromStdString(reason)));
        return false;
    }
    return true;
}

}  // namespace varonel::core
