#include "OutputSettings.h"

#include <QFile>
#include <QSaveFile>
#include <limits>

#include "ExisteFichier.h"
#include "TextEncoding.h"

namespace varonel::core {

namespace {

bool isSeparator(QChar c) {
    return c == u',' || c == u'\r' || c == u'\n' || c == u' ';
}

void skipSpaces(QStringView text, qsizetype* pos) {
    while (*pos < text.size() && text[*pos] == u' ') {
        ++*pos;
    }
}

// Reads one number and the separator that ends it (a comma, or a line end
// taken as CR LF, LF or CR).
std::optional<int16_t> readNumber(QStringView text, qsizetype* pos) {
    skipSpaces(text, pos);
    const qsizetype start = *pos;
    while (*pos < text.size() && !isSeparator(text[*pos])) {
        ++*pos;
    }
    bool ok = false;
    const int value = text.mid(start, *pos - start).toInt(&ok);
    if (!ok || value < std::numeric_limits<int16_t>::min() ||
        value > std::numeric_limits<int16_t>::max()) {
        return std::nullopt;
    }
    skipSpaces(text, pos);
    const bool atCarriageReturn = *pos < text.size() && text[*pos] == u'\r';
    if (*pos < text.size() && isSeparator(text[*pos])) {
        ++*pos;
    }
    if (atCarriageReturn && *pos < text.size() && text[*pos] == u'\n') {
        ++*pos;
    }
    return static_cast<int16_t>(value);
}

bool isEntryOf(int entry, int listCount) {
    return entry >= 0 && entry < listCount;
}

}  // namespace

std::optional<OutputChoice> parseOutputChoice(QStringView text) {
    qsizetype pos = 0;
    const std::optional<int16_t> first = readNumber(text, &pos);
    if (!first) {
        return std::nullopt;
    }
    const std::optional<int16_t> second = readNumber(text, &pos);
    if (!second) {
        return std::nullopt;
    }
    return OutputChoice{*first, *second};
}

OutputSettingsRead readOutputSettings(const QString& filePath) {
    OutputSettingsRead result;
    if (!ExisteFichier(filePath)) {
        return result;
    }
    result.state = OutputSettingsRead::State::Unusable;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return result;
    }
    // The line is a few characters; a larger file cannot be a settings file.
    const QByteArray bytes = file.read(4096);
    const std::optional<OutputChoice> choice = parseOutputChoice(decodeUtf8OrWindows1252(bytes));
    if (choice) {
        result.state = OutputSettingsRead::State::Valid;
        result.choice = *choice;
    }
    return result;
}

bool writeOutputSettings(const QString& filePath, OutputChoice choice, QString* error) {
    const QByteArray line =
        QByteArray::number(choice.first) + ',' + QByteArray::number(choice.second) + "\r\n";
    QSaveFile file(filePath);
    if (file.open(QIODevice::WriteOnly) && file.write(line) == line.size() && file.commit()) {
        return true;
    }
    if (error != nullptr) {
        *error = file.errorString();
    }
    return false;
}

bool removeOutputSettings(const QString& filePath) {
    QFile file(filePath);
    if (!file.exists()) {
        return true;
    }
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    return file.remove();
}

OutputSelection chooseOutputs(const OutputSettingsRead& read, int firstListCount,
                              int secondListCount) {
    using State = OutputSettingsRead::State;
    if (read.state == State::Missing) {
        return {};
    }
    if (read.state == State::Valid && isEntryOf(read.choice.first, firstListCount) &&
        isEntryOf(read.choice.second, secondListCount)) {
        return {read.choice.first, read.choice.second, false, false};
    }
    return {0, 0, true, true};
}

}  // namespace varonel::core
