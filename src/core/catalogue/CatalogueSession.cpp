#include "core/catalogue/CatalogueSession.h"

#include <QDir>
#include <QElapsedTimer>

#include "core/catalogue/ArtisteTitre.h"
#include "core/catalogue/CatalogueFile.h"
#include "core/shared/FilePattern.h"

namespace varonel::core {

CatalogueSession::CatalogueSession(CatalogueHost host, std::function<void(bool)> busy,
                                   QObject* parent)
    : QObject(parent),
      m_host(std::move(host)),
      m_busy(std::move(busy)),
      m_walk(m_lstFoundFiles, *m_host.dialogs) {
    // Single shot, started again after each slice: a message box shown by a
    // step runs its own event loop, which must not start the next slice.
    m_walkTimer.setSingleShot(true);
    m_walkTimer.setInterval(0);
    connect(&m_walkTimer, &QTimer::timeout, this, &CatalogueSession::walkSlice);
}

// --- Loading and closing ---

void CatalogueSession::load() {
    m_dirList = m_host.browserFolder();
    const bool catalogueFound = Filexiste(m_host.fichierCatalogue);
    m_catalogueMode = catalogueFound ? CatalogueMode::New : CatalogueMode::Save;
    emit changed();
    if (catalogueFound) {
        readCatalogue();
    } else {
        searchCommand();
    }
}

void CatalogueSession::readCatalogue() {
    const CatalogueReadReport report = readCatalogueFile(m_host.fichierCatalogue, &m_lstFoundFiles);
    if (!report.read) {
        // The window stays usable: an empty catalogue, and "Nouveau Catalogue"
        // builds a new one.
        tell(report.error + QStringLiteral("\nLe catalogue n'a pas pu être lu"),
             MessageIcon::Exclamation);
    } else if (report.full) {
        tell(QString::fromUtf8(kListFullMessage), MessageIcon::None);
    }
}

void CatalogueSession::close() {
    m_walk.cancel();
    m_walkTimer.stop();
    m_closed = true;
}

// --- The search command, the walk and the catalogue button ---

void CatalogueSession::searchCommand() {
    if (m_searchMode == SearchMode::Reset) {
        reset();
        return;
    }
    // The pattern `txtSearchSpec` is the audio files' and never changes. A
    // walk under way already fills the catalogue: none other begins.
    if (m_walking || !m_walk.start(m_dirList, FilePattern())) {
        return;
    }
    m_walking = true;
    emit changed();
    m_walkTimer.start();
}

// Folders are walked for a few milliseconds a turn of the event loop: short
// enough that the main window's timers keep their pace, long enough that the
// turns themselves do not slow the walk. A message shown by a step runs its own
// event loop, in which the window may be closed: the slice then ends.
void CatalogueSession::walkSlice() {
    constexpr qint64 kSliceMs = 5;
    QElapsedTimer slice;
    slice.start();
    CatalogueWalk::Step outcome = CatalogueWalk::Step::More;
    do {
        outcome = m_walk.step();
    } while (outcome == CatalogueWalk::Step::More && !m_closed && slice.elapsed() < kSliceMs);
    // The label and the caption take the count once a slice, which is as
    // often as the screen can show them.
    showCount();
    if (outcome == CatalogueWalk::Step::More) {
        if (!m_closed) {
            m_walkTimer.start();
        }
        return;
    }
    walkFinished();
}

void CatalogueSession::walkFinished() {
    m_walking = false;
    m_searchMode = SearchMode::Reset;
    emit changed();
    emit walkEnded();
}

void CatalogueSession::reset() {
    m_lstFoundFiles.clear();
    m_walk.resetCount();
    showCount();
    m_walk.cancel();
    m_searchMode = SearchMode::Walk;
    m_dirList = QDir::currentPath();
    emit changed();
}

void CatalogueSession::catalogueButton() {
    m_buttonWorking = true;
    emit changed();
    QString error;
    bool done = true;
    if (m_busy) {
        m_busy(true);
    }
    if (m_catalogueMode == CatalogueMode::Save) {
        done = saveCatalogueFile(m_host.fichierCatalogue, m_lstFoundFiles, &error);
    } else {
        m_dirList = m_host.browserFolder();
        done = deleteCatalogueFile(m_host.fichierCatalogue, &error);
        if (done) {
            m_catalogueMode = CatalogueMode::Save;
            m_lstFoundFiles.clear();
            searchCommand();
        }
    }
    if (m_busy) {
        m_busy(false);
    }
    if (!done) {
        tell(error + QStringLiteral("\nErreur dans la création du catalogue"),
             MessageIcon::Critical);
    }
    m_buttonWorking = false;
    emit changed();
}

// --- Searching and adding to the playlist ---

std::optional<QStringList> CatalogueSession::search(const QString& text) const {
    return m_lstFoundFiles.search(text);
}

void CatalogueSession::addToPlaylist(const QString& entry) {
    PlaylistRow row;
    row.path = entry;
    ArtisteTitre(&row.artist, &row.title, entry);
    QString error;
    if (!m_host.addToPlaylist(row, &error)) {
        // A file gone or damaged since the catalogue was built would give a
        // row that cannot play: none is added, and the operator is told why.
        const QString reason = error.contains(entry) ? error : entry + u'\n' + error;
        tell(reason + QStringLiteral("\nLe morceau n'a pas été ajouté à la playlist"),
             MessageIcon::Exclamation);
    }
}

// --- Display ---

// The walk counts every file it adds; the label and the caption take the count
// whenever events can run (once per slice, and at the end), which is when the
// screen could show them.
void CatalogueSession::showCount() {
    const QString count = m_walk.countText();
    if (count != m_lblCount) {
        m_lblCount = count;
        m_caption = count + QStringLiteral(" Fichiers Audio Wav - Mp3");
        emit changed();
    }
}

void CatalogueSession::tell(const QString& text, MessageIcon icon) {
    m_host.dialogs->message({text, QString(), icon, MessageButtons::Ok});
}

}  // namespace varonel::core
