#pragma once
// The text of a failure on a file, as the operator reads it: the reason and the
// file it concerns, each once. The audio readers already name the file in their
// own texts; other sources (the system's file errors, a reader that says
// nothing) get it added here, so no message ever leaves the operator to guess
// which file failed or why.

#include <QString>

namespace varonel::core {

// A path that is blank (an empty line of a hand-edited list) names no file.
bool isBlankPath(const QString& path);

// `reason` with `path` added when it does not name it; a blank path and an
// empty reason get a French text of their own.
QString fileErrorText(const QString& path, const QString& reason);

// French reasons for a text file that cannot be read or written, found by
// looking at the file system. The system's own text, which follows its locale,
// is added only when the file system shows nothing plainer.
QString readFailureReason(const QString& path, const QString& systemText = {});
QString writeFailureReason(const QString& path, const QString& systemText = {});

}  // namespace varonel::core
