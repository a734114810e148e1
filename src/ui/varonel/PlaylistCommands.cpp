#include "ui/varonel/PlaylistCommands.h"

#include "core/playlist/PlaylistFile.h"
#include "ui/shared/BrowserView.h"
#include "ui/shared/BusyCursor.h"
#include "ui/varonel/PlaylistView.h"

namespace varonel::ui {

namespace {
const QString kPlaylistFilter = QStringLiteral("Playlist DJ Orval *.pls (*.pls)");
}

PlaylistCommands::PlaylistCommands(QWidget* host, core::PlaylistModel& playlist,
                                   core::Dialogs& dialogs, core::StatusLine& status,
                                   core::TrackLengthReader reader, std::function<QString()> folder,
                                   std::function<void()> calculTiming)
    : QObject(host),
      m_playlist(playlist),
      m_dialogs(dialogs),
      m_status(status),
      m_reader(std::move(reader)),
      m_folder(std::move(folder)),
      m_calculTiming(std::move(calculTiming)),
      m_pl(new PlaylistView(host)) {
    connect(m_pl, &PlaylistView::deleteReleased, this, &PlaylistCommands::PL_DeleteReleased);
    connect(m_pl, &PlaylistView::reorderDropped, this, &PlaylistCommands::PL_ReorderDropped);
    connect(m_pl, &PlaylistView::browserDropped, this, &PlaylistCommands::PL_BrowserDropped);
}

void PlaylistCommands::setBrowser(BrowserView* browser) {
    m_browser = browser;
    m_pl->setBrowser(browser);
}

void PlaylistCommands::syncPlaylist() {
    m_pl->syncFrom(m_playlist);
}

bool PlaylistCommands::addRow(core::PlaylistRow row, int insertBefore, core::MillisecondsCell ms,
                              QString* error) {
    const BusyCursor busy;
    if (!core::refreshRowLength(m_reader, ms, &row, error)) {
        return false;
    }
    const bool added =
        insertBefore > 0 ? m_playlist.insertAt(insertBefore, row) : (m_playlist.append(row), true);
    syncPlaylist();
    return added;
}

void PlaylistCommands::addFromBrowser(const core::BrowserRow& row, int insertBefore,
                                      core::MillisecondsCell ms) {
    QString error;
    if (!addRow(core::rowFromBrowser(row), insertBefore, ms, &error)) {
        m_status.post(QStringLiteral("Non ajouté à la playlist : ") + error);
    }
}

void PlaylistCommands::PL_DeleteReleased() {
    const int row = m_pl->selectedRow();
    if (m_playlist.removeAt(row)) {
        syncPlaylist();
    }
}

void PlaylistCommands::PL_ReorderDropped(int from, int to) {
    if (m_playlist.moveRow(from, to)) {
        syncPlaylist();
        m_pl->setCurrentItem(m_pl->topLevelItem(to - 1));
    }
}

void PlaylistCommands::PL_BrowserDropped(int insertBefore) {
    const int selected = m_browser ? m_browser->selectedRow() : -1;
    if (selected < 0) {
        return;  // an empty browser, or no row chosen in it
    }
    addFromBrowser(m_browser->browserModel()->row(selected), insertBefore,
                   core::MillisecondsCell::Filled);
}

void PlaylistCommands::mnuNouvelle_Click() {
    m_playlist.clear();
    syncPlaylist();
}

void PlaylistCommands::MnuOuvrir_Click() {
    const QString file = m_dialogs.openFileName(m_folder(), kPlaylistFilter);
    if (file.isEmpty()) {
        return;  // cancelled: the playlist stays as it was
    }
    core::PlaylistLoadReport report;
    {
        const BusyCursor busy;
        report = core::loadPlaylistFile(file, m_reader, &m_playlist);
        syncPlaylist();
    }
    // A load that stopped at an unreadable track keeps the rows before it;
    // the total then counts what is really there. A file that is not a
    // playlist at all (a folder, a device, a FIFO, a file past the bounds of a
    // list) is refused with its reason, the playlist as it was.
    if (report.fileRead) {
        m_calculTiming();
    }
    if (const QString problem = core::playlistLoadProblem(file, report); !problem.isEmpty()) {
        tell(problem);
    }
}

void PlaylistCommands::MnuSauver_Click() {
    const QString file = m_dialogs.saveFileName(m_folder(), kPlaylistFilter, QStringLiteral("pls"));
    if (file.isEmpty()) {
        return;
    }
    QString error;
    bool saved = false;
    {
        const BusyCursor busy;
        saved = core::savePlaylistFile(file, m_playlist, &error);
    }
    // The old file, if any, is still whole: the operator is told, not left
    // believing the playlist is kept.
    if (!saved) {
        tell(core::playlistSaveProblem(error));
    }
}

void PlaylistCommands::tell(const QString& problem) {
    m_dialogs.message(
        {problem, QString(), core::MessageIcon::Exclamation, core::MessageButtons::Ok});
}

}  // namespace varonel::ui
