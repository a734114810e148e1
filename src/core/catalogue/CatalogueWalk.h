#pragma once
// The walk that builds the catalogue (`ParcoursDossier`): depth first, the
// subfolders of a folder taken from the last in name order to the first, each
// with everything below it, and a folder's own audio files after all of its
// subfolders.
//
// The walk goes one folder a step, its path held in a stack of its own rather
// than in the call stack, so that the window can run a few steps per turn
// of its event loop: the main window keeps playing and painting between two folders,
// the exit button is seen at once, and no event loop is ever nested inside a
// walk. It stops at its next step once `RechercheActive` is cleared.
//
// It stays on real file systems: pseudo file systems are never entered, and a
// folder reached again through a link is not walked a second time, so a walk
// ends on any tree. Unreadable folders are skipped and told in one message at
// the end.
//
// Main thread only.

#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/catalogue/CatalogueList.h"
#include "core/catalogue/FolderScan.h"
#include "core/shared/Dialogs.h"
#include "core/shared/FilePattern.h"

namespace varonel::core {

class CatalogueWalk {
public:
    // How many unreadable folders the closing message names.
    static constexpr int kUnreadableShown = 5;

    enum class Step {
        More,       // another folder is waiting: let events run, then step again
        Done,       // the whole tree was walked
        Abandoned,  // stopped by cancel() or by a full list; what was found stays
    };

    CatalogueWalk(CatalogueList& list, Dialogs& dialogs);

    // Begins a walk of `folder` and of every folder below it, appending the
    // files that match `pattern` to the list; nothing is read before the first
    // step. False, and nothing begun, while another walk runs.
    bool start(const QString& folder, const FilePattern& pattern);
    // Reads the next folder, then adds every file that comes before the folder
    // after it in walk order. The closing message, if any, is shown by the
    // step that ends the walk.
    Step step();

    // The whole walk at once, with `yield` called before each folder (once per
    // step). False ("abandon") when the walk was stopped or another one runs.
    bool ParcoursDossier(const QString& folder, const FilePattern& pattern,
                         const std::function<void()>& yield);

    // RechercheActive := false: a running walk ends at its next step.
    void cancel() { m_rechercheActive = false; }
    bool RechercheActive() const { return m_rechercheActive; }
    bool running() const { return !m_stack.isEmpty(); }

    // The count label: "0" at start and after resetCount(); the number of
    // files added by the walks since, after one blank, as each file is added.
    QString countText() const;
    void resetCount();

private:
    // A folder on the way down: reached by `path` (links included, the
    // entries' prefix), with `realPath` its place once every link is resolved.
    struct Frame {
        QString path;
        QString realPath;
        FolderScan scan;
        qsizetype subfoldersLeft = 0;  // subfolders still to walk, last-named first
    };

    bool enter(Frame* frame);
    Step descend();
    bool addFile(const QString& entry);
    Step end(Step outcome);
    void tellUnreadable();

    CatalogueList& m_list;
    Dialogs& m_dialogs;
    FilePattern m_pattern;
    QList<Frame> m_stack;
    bool m_rechercheActive = false;
    bool m_full = false;
    int m_count = 0;
    bool m_counted = false;
    // Device and inode of every folder walked.
    QSet<QPair<quint64, quint64>> m_visited;
    int m_unreadableCount = 0;
    QStringList m_unreadable;  // the first few, each "folder : reason"
};

}  // namespace varonel::core
