#pragma once
// Answers the programs' message boxes and file dialogs in tests, and remembers
// what was shown.

#include <QList>
#include <QString>
#include <QStringList>

#include "core/shared/Dialogs.h"

class ScriptedDialogs final : public varonel::core::Dialogs {
public:
    varonel::core::MessageAnswer message(const varonel::core::Message& message) override {
        shown.append(message);
        if (answers.isEmpty()) {
            return message.buttons == varonel::core::MessageButtons::Ok
                       ? varonel::core::MessageAnswer::Ok
                       : varonel::core::MessageAnswer::Cancel;
        }
        return answers.takeFirst();
    }
    QString openFileName(const QString& folder, const QString& filter) override {
        lastFolder = folder;
        lastFilter = filter;
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    QString saveFileName(const QString& folder, const QString& filter,
                         const QString& /*defaultSuffix*/) override {
        return openFileName(folder, filter);
    }

    QStringList texts() const {
        QStringList list;
        for (const auto& message : shown) {
            list.append(message.text);
        }
        return list;
    }

    QList<varonel::core::Message> shown;
    QList<varonel::core::MessageAnswer> answers;  // taken in order; then Ok or Cancel
    QStringList fileNames;                        // taken in order; then "" (cancelled)
    QString lastFolder;
    QString lastFilter;
};
