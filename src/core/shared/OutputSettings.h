#pragma once
// The settings files Varonel.Ini and PlayerAB.Ini: a line "a,b" with the chosen
// entries of two sound output lists, then a line with the two entries' names
// (separated by a tab), and what to select from them. The names keep each choice
// when the system lists its devices in another order; a file of one line, as
// older versions wrote, is read by position alone.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace varonel::core {

// Shown, with the exclamation icon and this title, when the file cannot be used.
inline constexpr char16_t kMauvaisChoixMessage[] =
    u"Mauvais choix de sortie audio\r\nassignez de nouveau les sorties";
inline constexpr char16_t kMauvaisChoixTitle[] = u"Alerte";

// Two entry positions: the main (or deck A) list, then the pre-listening (or
// deck B) list. A list with nothing selected writes -1.
struct OutputChoice {
    int16_t first = 0;
    int16_t second = 0;
    bool operator==(const OutputChoice&) const = default;
};

struct OutputSettingsRead {
    enum class State {
        Missing,   // no usable file: not an error
        Valid,     // choice holds the two numbers
        Unusable,  // unreadable, or not two 16-bit integers
    };
    State state = State::Missing;
    OutputChoice choice;
    // The names of the two chosen entries, "" where the file has none.
    QString firstName;
    QString secondName;
};

// The two integers at the start of the text, separated by a comma, a line end
// or spaces. Nothing when they are missing, not whole numbers or beyond 16
// bits. *rest, when given, receives the text after them.
std::optional<OutputChoice> parseOutputChoice(QStringView text, QStringView* rest = nullptr);

// Reads the file; a file that ExisteFichier does not find is Missing.
OutputSettingsRead readOutputSettings(const QString& filePath);

// Writes "a,b" CR LF, then the two names separated by a tab, CR LF (a name that
// holds a tab or a line end is left out). The old file stays whole until the new
// one is complete on disk.
bool writeOutputSettings(const QString& filePath, OutputChoice choice,
                         const QString& firstName = {}, const QString& secondName = {},
                         QString* error = nullptr);

// Deletes the file, making it writable first. True when it is gone.
bool removeOutputSettings(const QString& filePath);

// What the window does after reading its settings file.
struct OutputSelection {
    int first = 0;  // entry to select in the first list
    int second = 0;
    bool showMessage = false;  // show kMauvaisChoixMessage
    bool deleteFile = false;   // then delete the settings file
    bool operator==(const OutputSelection&) const = default;
};

// For each list, the entry of the name the file gives when the list holds it,
// else entry a (or b) when the list has it (entry numbers from 0); entry 0 of
// both lists, quietly, when there is no file; entry 0 of both lists with the
// message and the deletion of the file otherwise.
OutputSelection chooseOutputs(const OutputSettingsRead& read, const QStringList& firstEntries,
                              const QStringList& secondEntries);

}  // namespace varonel::core
