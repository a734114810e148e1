#include "ui/shared/TrackBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "core/browser/FolderListing.h"
#include "core/shared/Volumes.h"

namespace varonel::ui {

TrackBrowser::TrackBrowser(QWidget* host, core::BrowserModel* model, QObject* parent)
    : QObject(parent),
      m_model(model),
      m_drives(new VolumeList(host)),
      m_folders(new FolderList(host)),
      m_files(new QListWidget(host)),
      m_view(new BrowserView(model, host)) {
    m_files->setObjectName(QStringLiteral("File1"));
    m_files->hide();
    connect(m_drives, &VolumeList::volumeChosen, this, &TrackBrowser::volumeChosen);
    connect(m_folders, &FolderList::folderChanged, this, &TrackBrowser::File1_PathChange);
}

void TrackBrowser::startAtVolumeOf(const QString& folder) {
    showFolder(core::volumeRootOf(folder));
}

void TrackBrowser::showFolder(const QString& folder) {
    m_folders->setPath(folder);
    m_drives->showVolume(core::volumeRootOf(m_folders->path()));
}

// A volume that cannot be read (gone, or not ready) sends the list back to the
// volume of the current directory, without a message.
void TrackBrowser::volumeChosen(const QString& root) {
    if (QFileInfo(root).isDir() && QDir(root).isReadable()) {
        m_folders->setPath(root, true);
    } else {
        m_drives->showVolume(core::volumeRootOf(QDir::currentPath()));
    }
}

void TrackBrowser::File1_PathChange(const QString& folder) {
    const QStringList names = core::listFiles(folder, m_pattern);
    m_files->clear();
    m_files->addItems(names);
    m_drives->showVolume(core::volumeRootOf(folder));
    m_model->fill(folder, names, m_durations, [] { QCoreApplication::processEvents(); });
    emit folderListed(folder);
}

}  // namespace varonel::ui
