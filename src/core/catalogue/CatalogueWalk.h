#pragma once
// The walk that builds the catalogue (`ParcoursDossier`): depth first, the
// subfolders of a folder taken from the last in name order to the first, each
// with everything below it, and a folder's own audio files after all of its
// subfolders. It lets the window's events run once per folder through a yield
// callback, so the main window keeps playing while it walks, and it stops at
// its next step once `RechercheActive` is cleared.
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

#include "CatalogueList.h"
#include "Dialogs.h"
#include "FilePattern.h"

namespace varonel::core {

class CatalogueWalk {
public:
    // How many unreadable folders the closing message names.
    static constexpr int kUnreadableShown = 5;

    // `yield` lets pending window events run; the walk calls it once per folder.
    CatalogueWalk(CatalogueList& list, Dialogs& dialogs, std::function<void()> yield);

    // Walks `folder` and every folder below it, appending the files that match
    // `pattern` to the list. False ("abandon") when the walk was stopped, by
    // cancel() or by a full list; the entries found so far stay. A walk asked
    // for while one runs does nothing and answers false.
    bool ParcoursDossier(const QString& folder, const FilePattern& pattern);

    // RechercheActive := false: a running walk ends at its next step.
    void cancel() { m_rechercheActive = false; }
    bool RechercheActive() const { return m_rechercheActive; }
    bool running() const { return m_running; }

    // The count label: "0" at start and after resetCount(); the number of
    // files added by the walks since, after one blank, as each file is added.
    QString countText() const;
    void resetCount();

private:
    struct Folder {
        QString path;      // as reached, links included: the entries' prefix
        QString realPath;  // with every link resolved, to keep off pseudo file systems
    };

    bool visit(const Folder& folder);
    bool addFile(const QString& entry);
    void tellUnreadable();

    CatalogueList& m_list;
    Dialogs& m_dialogs;
    std::function<void()> m_yield;
    FilePattern m_pattern;
    bool m_rechercheActive = false;
    bool m_running = false;
    bool m_full = false;
    int m_count = 0;
    bool m_counted = false;
    // Device and inode of every folder walked.
    QSet<QPair<quint64, quint64>> m_visited;
    int m_unreadableCount = 0;
    QStringList m_unreadable;  // the first few, each "folder : reason"
};

}  // namespace varonel::core
