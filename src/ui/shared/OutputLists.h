#pragma once
// A main window's two sound output lists and the settings file that keeps the
// choice: the mixer's main and pre-listening lists, or the player's two deck
// lists. Entry i of a list stands for device i - 1 (entry 0 is the default
// device); the file keeps each choice by position and by name. The programs
// differ in one policy: the mixer tells the operator about a settings file it
// cannot use and deletes it, the player falls back without a word and keeps the
// file. Both tell when the file cannot be written.
//
// Each list also shows its output's state: an output that lost its device is
// marked at once in its list (and the window marks it where the operator looks,
// through routeChanged()).
//
// Main thread only.

#include <QComboBox>
#include <QObject>
#include <QString>
#include <array>

#include "audio/AudioOutput.h"
#include "core/shared/Dialogs.h"

class QTimer;

namespace varonel::ui {

struct OutputListLook {
    const char* name;
    const char* toolTip;
};

class OutputLists final : public QObject {
    Q_OBJECT

public:
    enum class BadFile { TellAndDelete, FallBackQuietly };
    static constexpr int kWatchPeriodMs = 50;

    OutputLists(QWidget* host, OutputListLook first, OutputListLook second, core::Dialogs& dialogs,
                BadFile policy, QObject* parent = nullptr);

    // The entries of each list; each list keeps its first entry shown until
    // a choice is loaded.
    void fill(const QStringList& firstEntries, const QStringList& secondEntries);

    // LSOutputPlayer: "Load" reads the file and selects the two entries (each
    // list's selection handler runs, even for the entry already shown); "Save"
    // writes them. Any other text does nothing.
    void LSOutputPlayer(const QString& cmd, const QString& fichierIni);

    // Follows `output`'s state in list `which`, from now on.
    void watch(int which, const audio::AudioOutput* output);
    audio::OutputRoute route(int which) const { return m_routes[size_t(which)]; }
    // What a window shows, where the operator looks, of an output in `route`;
    // "" when all is well.
    static QString lostMark(audio::OutputRoute route);

    QComboBox* list(int which) const { return m_lists[size_t(which)]; }

signals:
    // An entry was chosen in list 0 or 1, by the operator or by "Load".
    void entryChosen(int list, int entry);
    // The output followed in list 0 or 1 lost its device, or is back on it.
    void routeChanged(int list, audio::OutputRoute route);

private:
    void select(int first, int second);
    void badFile(const QString& fichierIni);
    void checkRoutes();
    void showRoute(int which);

    core::Dialogs& m_dialogs;
    BadFile m_policy;
    std::array<QComboBox*, 2> m_lists{};
    // The entries as filled: a list's own texts carry the lost mark.
    std::array<QStringList, 2> m_entries;
    std::array<const audio::AudioOutput*, 2> m_outputs{};
    std::array<audio::OutputRoute, 2> m_routes{audio::OutputRoute::Chosen,
                                               audio::OutputRoute::Chosen};
    QTimer* m_watch = nullptr;
};

}  // namespace varonel::ui
