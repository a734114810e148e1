#include "core/shared/OutputSettings.h"

#include <QFile>
#include <limits>

#include "core/shared/ExisteFichier.h"
#include "core/shared/LineFile.h"
#include "core/shared/TextEncoding.h"

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

// The line that follows the numbers, without its line end.
QString namesLine(QStringView rest) {
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != u'\r' && rest[end] != u'\n') {
        ++end;
    }
    return rest.left(end).toString();
}

// A name that would break the line is not kept: the position alone serves then.
QString storableName(const QString& name) {
    return name.contains(u'\t') || name.contains(u'\r') || name.contains(u'\n') ? QString() : name;
}

// The entry a saved name stands for, -1 when the list does not hold it.
int entryNamed(const QString& name, const QStringList& entries) {
    return name.isEmpty() ? -1 : int(entries.indexOf(name));
}

}  // namespace

std::optional<OutputChoice> parseOutputChoice(QStringView text, QStringView* rest) {
    qsizetype pos = 0;
    const std::optional<int16_t> first = readNumber(text, &pos);
    if (!first) {
        return std::nullopt;
    }
    const std::optional<int16_t> second = readNumber(text, &pos);
    if (!second) {
        return std::nullopt;
    }
    if (rest != nullptr) {
        *rest = text.mid(pos);
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
    const QString text = decodeUtf8OrWindows1252(file.read(4096));
    QStringView rest;
    const std::optional<OutputChoice> choice = parseOutputChoice(text, &rest);
    if (choice) {
        result.state = OutputSettingsRead::State::Valid;
        result.choice = *choice;
        const QStringList names = namesLine(rest).split(u'\t');
        if (names.size() == 2) {
            result.firstName = names[0];
            result.secondName = names[1];
        }
    }
    return result;
}

bool writeOutputSettings(const QString& filePath, OutputChoice choice, const QString& firstName,
                         const QString& secondName, QString* error) {
    const QStringList lines{QString::number(choice.first) + u',' + QString::number(choice.second),
                            storableName(firstName) + u'\t' + storableName(secondName)};
    return writeLineFile(filePath, lines, error);
}

bool removeOutputSettings(const QString& filePath) {
    QFile file(filePath);
    if (!file.exists()) {
        return true;
    }
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    return file.remove();
}

OutputSelection chooseOutputs(const OutputSettingsRead& read, const QStringList& firstEntries,
                              const QStringList& secondEntries) {
    using State = OutputSettingsRead::State;
    if (read.state == State::Missing) {
        return {};
    }
    if (read.state != State::Valid) {
        return {0, 0, true, true};
    }
    const int firstNamed = entryNamed(read.firstName, firstEntries);
    const int secondNamed = entryNamed(read.secondName, secondEntries);
    const int first = firstNamed >= 0 ? firstNamed : read.choice.first;
    const int second = secondNamed >= 0 ? secondNamed : read.choice.second;
    if (isEntryOf(first, int(firstEntries.size())) &&
        isEntryOf(second, int(secondEntries.size()))) {
        return {first, second, false, false};
    }
    return {0, 0, true, true};
}

}  // namespace varonel::core
