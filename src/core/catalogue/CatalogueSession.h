#pragma once
// What the catalogue window `F3` holds and decides, without its widgets: the
// catalogue list and the walk that fills it, the mode of the search command and
// of the catalogue button, whether a walk runs and the folder the next one
// starts from. The window shows this state in its captions and forwards the
// operator's gestures here; it never reads its own captions back.
//
// A walk goes a few milliseconds of folders per turn of the event loop, so the
// main window's timers keep running while it walks and the exit button cancels
// it at once.
//
// Main thread only.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

#include "core/catalogue/CatalogueList.h"
#include "core/catalogue/CatalogueWalk.h"
#include "core/playlist/PlaylistRow.h"
#include "core/shared/Dialogs.h"

namespace varonel::core {

// What the catalogue takes from the main window.
struct CatalogueHost {
    QString fichierCatalogue;
    // The folder that the main window's browser shows.
    std::function<QString()> browserFolder;
    // Appends a playlist row whose artist, title and path are set, as a double
    // click in the browser does: the length read from the file, the
    // milliseconds left out of the total time. False, with the reason in
    // *error, when the file cannot be read; nothing is added then.
    std::function<bool(const PlaylistRow& row, QString* error)> addToPlaylist;
    Dialogs* dialogs = nullptr;
};

class CatalogueSession final : public QObject {
    Q_OBJECT

public:
    // What the search command does when it runs: walk from the folder, or,
    // once a walk has ended, reset the search.
    enum class SearchMode { Walk, Reset };
    // What the catalogue button does: save the list in the catalogue file, or
    // delete the file and walk anew. It passes from New to Save once and never
    // back while the window stays open.
    enum class CatalogueMode { Save, New };

    static constexpr char kFirstCaption[] = "Catalogue Wav Mp3";

    // `busy` shows the busy pointer (true) and the normal one (false) around
    // the catalogue button's work; it may be empty.
    explicit CatalogueSession(CatalogueHost host, std::function<void(bool)> busy = {},
                              QObject* parent = nullptr);

    // --- The window's events and the operator's gestures ---

    // The loading: the folder of the main window's browser, then the
    // catalogue read from its file or, without one, a walk begun.
    void load();
    // The search command (Alt+R, its access key): a walk of the folder after
    // what the list holds, or a reset, by its mode.
    void searchCommand();
    // ReinitRecherche: an empty list, the count at "0", the walk stopped, and
    // the next walk from the process's current folder.
    void reset();
    // The catalogue button: saves the list or starts a new catalogue, by its
    // mode; a failure is told in a message box.
    void catalogueButton();
    // Enter in the search box: the entries that hold `text`, or no answer
    // when the results shown stay as they are.
    std::optional<QStringList> search(const QString& text) const;
    // A double click on a result: the entry's row appended to the playlist,
    // artist and title by the catalogue's own rule. A file that cannot be
    // read adds nothing and is told.
    void addToPlaylist(const QString& entry);
    // The window closes: RechercheActive := false, and no step follows; what
    // the walk found is not saved.
    void close();

    // --- State ---

    SearchMode searchMode() const { return m_searchMode; }
    CatalogueMode catalogueMode() const { return m_catalogueMode; }
    bool walking() const { return m_walking; }
    bool closed() const { return m_closed; }
    // False during the button's own work and during a walk, which a save or a
    // new catalogue would cut in half.
    bool catalogueButtonEnabled() const { return !m_buttonWorking && !m_walking; }
    // The folder the next walk starts from (the folder list `dirList`).
    const QString& dirList() const { return m_dirList; }
    // The count label `lblCount`: "0", then the walks' count after one blank.
    const QString& lblCount() const { return m_lblCount; }
    // The window's caption: kFirstCaption until the count label first changes,
    // then the count followed by " Fichiers Audio Wav - Mp3".
    const QString& caption() const { return m_caption; }
    const CatalogueList& lstFoundFiles() const { return m_lstFoundFiles; }

signals:
    // Some state above changed.
    void changed();
    // A walk has ended, done or abandoned, and changed() has shown it.
    void walkEnded();

private:
    void readCatalogue();
    void walkSlice();
    void walkFinished();
    void showCount();
    void tell(const QString& text, MessageIcon icon);

    CatalogueHost m_host;
    std::function<void(bool)> m_busy;
    CatalogueList m_lstFoundFiles;
    CatalogueWalk m_walk;
    // Runs the walk's next slice once the events waiting have run.
    QTimer m_walkTimer;
    SearchMode m_searchMode = SearchMode::Walk;
    CatalogueMode m_catalogueMode = CatalogueMode::Save;
    bool m_walking = false;
    bool m_buttonWorking = false;
    bool m_closed = false;
    QString m_dirList;
    QString m_lblCount = QStringLiteral("0");
    QString m_caption = QString::fromLatin1(kFirstCaption);
};

}  // namespace varonel::core
