#pragma once
// What the helpers that start programs of their own (a display, a sound
// server, a bus) share: telling which tool is missing, so that the caller
// skips with that line, and stopping a program politely first.

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <initializer_list>

namespace childprocess {

// True, with *why set, when one of `tools` is not installed.
inline bool missing(std::initializer_list<const char*> tools, QString* why) {
    for (const char* tool : tools) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            *why = QLatin1String(tool) + QStringLiteral(" is not installed");
            return true;
        }
    }
    return false;
}

// Asks a running program to end; kills it when it has not within `ms`.
inline void stop(QProcess& process, int ms = 5000) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished(ms);
    }
}

}  // namespace childprocess
