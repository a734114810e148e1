#pragma once
// The playlist side of the mixer's main window: the list `PL`, the menu
// commands "Nouvelle", "Ouvrir" and "Sauver", the Delete key, the reorder drag
// and the rows that arrive from the browser (a drop or a double click) or from
// the catalogue window. An "Ouvrir" that loads only part of a file and a
// "Sauver" that fails are told in a message box: the operator must never take
// a partial playlist or a lost save for a whole one.
//
// Main thread only.

#include <QObject>
#include <functional>

#include "core/browser/BrowserRow.h"
#include "core/playlist/PlaylistModel.h"
#include "core/playlist/RowFiller.h"
#include "core/shared/Dialogs.h"
#include "core/shared/StatusLine.h"
#include "core/shared/TrackLengthReader.h"

namespace varonel::ui {

class BrowserView;
class PlaylistView;

class PlaylistCommands final : public QObject {
    Q_OBJECT

public:
    // `folder` gives the program folder where the file dialogs open;
    // `calculTiming` recomputes the total time; `status` is told of a browser
    // row that could not be added.
    PlaylistCommands(QWidget* host, core::PlaylistModel& playlist, core::Dialogs& dialogs,
                     core::StatusLine& status, core::TrackLengthReader reader,
                     std::function<QString()> folder, std::function<void()> calculTiming);

    // Drops from this browser list are taken.
    void setBrowser(BrowserView* browser);

    void mnuNouvelle_Click();
    void MnuOuvrir_Click();
    void MnuSauver_Click();

    // A row whose artist, title and path are set (a browser row copied, a
    // catalogue entry) goes into the playlist before row `insertBefore` (from
    // 1), or at the end when insertBefore is 0. The duration is read again
    // from the file, and `ms` says whether the milliseconds that the total
    // time counts are filled (by a drop) or not (by a double click, by the
    // catalogue). False, and nothing added, when the file cannot be read; the
    // reader's reason is then in *error when error is given.
    bool addRow(core::PlaylistRow row, int insertBefore, core::MillisecondsCell ms,
                QString* error = nullptr);
    // A browser row, for the operator's own gestures (a double click, a drop):
    // a row that cannot be added is told on the status line, which never stops
    // the broadcast as a message box would.
    void addFromBrowser(const core::BrowserRow& row, int insertBefore, core::MillisecondsCell ms);

    // Makes PL show the playlist model.
    void syncPlaylist();
    PlaylistView* view() const { return m_pl; }

private:
    void PL_DeleteReleased();
    void PL_ReorderDropped(int from, int to);
    void PL_BrowserDropped(int insertBefore);
    // A file command that went wrong: a message box, as it waits for nothing on air.
    void tell(const QString& problem);

    core::PlaylistModel& m_playlist;
    core::Dialogs& m_dialogs;
    core::StatusLine& m_status;
    core::TrackLengthReader m_reader;
    std::function<QString()> m_folder;
    std::function<void()> m_calculTiming;
    PlaylistView* m_pl;
    BrowserView* m_browser = nullptr;
};

}  // namespace varonel::ui
