#include "LineFile.h"

#include <QFile>
#include <QSaveFile>

#include "FileError.h"
#include "TextEncoding.h"

namespace varonel::core {

namespace {

// A larger file is not a list of paths; refusing it keeps a wrong choice in the
// open dialog from filling the memory.
constexpr qint64 kMaxLineFileBytes = 256LL * 1024 * 1024;

void setError(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
}

}  // namespace

QStringList splitLines(const QString& text) {
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty()) {
        // The text ended with a line end (or was empty): nothing follows it.
        lines.removeLast();
    }
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    return lines;
}

bool readLineFile(const QString& filePath, QStringList* lines, QString* error) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, fileErrorText(filePath, readFailureReason(filePath, file.errorString())));
        return false;
    }
    if (file.size() > kMaxLineFileBytes) {
        setError(error, fileErrorText(filePath, QStringLiteral("Fichier trop volumineux")));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, fileErrorText(filePath, readFailureReason(filePath, file.errorString())));
        return false;
    }
    *lines = splitLines(decodeUtf8OrWindows1252(bytes));
    return true;
}

bool writeLineFile(const QString& filePath, const QStringList& lines, QString* error) {
    QByteArray bytes;
    for (const QString& line : lines) {
        if (line.contains(u'\n') || line.contains(u'\r')) {
            setError(error, QStringLiteral("Ligne invalide : %1").arg(line));
            return false;
        }
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, fileErrorText(filePath, writeFailureReason(filePath, file.errorString())));
        return false;
    }
    // commit() does not look at the flush of the last buffered bytes: a file
    // cut short by a full disk would replace the old one. Flushed first, a
    // failed write leaves the old file in place (the unfinished copy is
    // dropped with `file`).
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        const QString reason = file.error() == QFileDevice::ResourceError
                                   ? QStringLiteral("Disque plein")
                                   : writeFailureReason(filePath, file.errorString());
        setError(error, fileErrorText(filePath, reason));
        return false;
    }
    return true;
}

}  // namespace varonel::core
