#pragma once
// Every message box and file dialog of the programs goes through this interface:
// the windows answer it with real dialogs, tests with scripted answers, and the
// offline render with none at all.

#include <QString>

namespace varonel::core {

enum class MessageIcon { None, Information, Exclamation, Critical };
enum class MessageButtons { Ok, RetryCancel, YesNoCancel };
enum class MessageAnswer { Ok, Retry, Cancel, Yes, No };

struct Message {
    QString text;
    QString title;  // empty: the program's name
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const Message& message) = 0;
    // A file to open or to save, "" when cancelled. `filter` is in Qt's form,
    // such as "Playlist DJ Orval *.pls (*.pls)".
    virtual QString openFileName(const QString& folder, const QString& filter) = 0;
    virtual QString saveFileName(const QString& folder, const QString& filter,
                                 const QString& defaultSuffix) = 0;
};

}  // namespace varonel::core
