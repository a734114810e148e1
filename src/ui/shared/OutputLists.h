#pragma once
// A main window's two sound output lists and the settings file that keeps the
// choice: the mixer's main and pre-listening lists, or the player's two deck
// lists. Entry i of a list stands for device i - 1 (entry 0 is the default
// device). The programs differ in one policy: the mixer tells the operator
// about a settings file it cannot use and deletes it, the player falls back
// without a word and keeps the file.
//
// Main thread only.

#include <QComboBox>
#include <QObject>
#include <QString>
#include <array>

#include "Dialogs.h"

namespace varonel::ui {

struct OutputListLook {
    const char* name;
    const char* toolTip;
};

class OutputLists final : public QObject {
    Q_OBJECT

public:
    enum class BadFile { TellAndDelete, FallBackQuietly };

    OutputLists(QWidget* host, OutputListLook first, OutputListLook second, core::Dialogs& dialogs,
                BadFile policy, QObject* parent = nullptr);

    // The entries of each list; each list keeps its first entry shown until
    // a choice is loaded.
    void fill(const QStringList& firstEntries, const QStringList& secondEntries);

    // LSOutputPlayer: "Load" reads the file and selects the two entries (each
    // list's selection handler runs, even for the entry already shown); "Save"
    // writes them. Any other text does nothing.
    void LSOutputPlayer(const QString& cmd, const QString& fichierIni);

    QComboBox* list(int which) const { return m_lists[size_t(which)]; }

signals:
    // An entry was chosen in list 0 or 1, by the operator or by "Load".
    void entryChosen(int list, int entry);

private:
    void select(int first, int second);
    void badFile(const QString& fichierIni);

    core::Dialogs& m_dialogs;
    BadFile m_policy;
    std::array<QComboBox*, 2> m_lists{};
};

}  // namespace varonel::ui
