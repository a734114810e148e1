#pragma once
// The track browser both programs share: the drive list `Drive1`, the folder
// list `Dir1`, the file list `File1` (hidden: `ListRech` shows the same files)
// and the browser list `ListRech`, created as named children of a host window
// with no layout of their own, so that the design table places each one.
// Choosing a drive shows its root in Dir1; a folder chosen in Dir1 becomes
// File1's folder, and each new File1 folder fills ListRech.
//
// Main thread only.

#include <QListWidget>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "core/browser/BrowserModel.h"
#include "core/shared/FilePattern.h"
#include "ui/shared/BrowserView.h"
#include "ui/shared/FolderList.h"
#include "ui/shared/VolumeList.h"

namespace varonel::ui {

class TrackBrowser final : public QObject {
    Q_OBJECT

public:
    TrackBrowser(QWidget* host, core::BrowserModel* model, QObject* parent = nullptr);

    // Dir1 at the root of the volume that holds `folder` (the current
    // directory at start-up), which fills the browser.
    void startAtVolumeOf(const QString& folder);
    // Dir1 at `folder`, which fills the browser when the folder changes.
    void showFolder(const QString& folder);
    // Rows listed from now on read their durations.
    void setDurationsOn(bool on) { m_durations = on; }
    bool durationsOn() const { return m_durations; }

    // The drive and folder shown (for the catalogue).
    QString drive() const { return m_drives->currentText(); }
    QString folder() const { return m_folders->path(); }

    VolumeList* drives() const { return m_drives; }
    FolderList* folders() const { return m_folders; }
    QListWidget* files() const { return m_files; }
    BrowserView* view() const { return m_view; }
    core::BrowserModel* model() const { return m_model; }

signals:
    // Dir1 changed folder; the fill has run (or given way to a newer one).
    void folderListed(const QString& folder);

private:
    void volumeChosen(const QString& root);
    void File1_PathChange(const QString& folder);

    core::BrowserModel* m_model;
    core::FilePattern m_pattern;
    VolumeList* m_drives;
    FolderList* m_folders;
    QListWidget* m_files;
    BrowserView* m_view;
    bool m_durations = false;
};

}  // namespace varonel::ui
