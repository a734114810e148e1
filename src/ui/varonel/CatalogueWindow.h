#pragma once
// The catalogue window `F3` of the automatic mixer: it keeps the catalogue of
// the audio files below one folder, saves it in `Catalogue.txt`, searches it by
// a piece of text and appends a found track to the main window's playlist.
// Shown above every other window, never modal; the main window's timers keep
// running while it walks. The walk, the list, the file and the naming are the
// core's; this window holds their state as its controls show it.
//
// Main thread only.

#include <QWidget>
#include <functional>

#include "CatalogueList.h"
#include "CatalogueWalk.h"
#include "Dialogs.h"
#include "PlaylistModel.h"
#include "TrackLengthReader.h"

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class QPushButton;
class QStringListModel;

namespace varonel::ui {

// What the catalogue window takes from the main window.
struct CatalogueHost {
    QString fichierCatalogue;
    // The folder that the main window's browser shows.
    std::function<QString()> browserFolder;
    core::PlaylistModel* playlist = nullptr;
    // Makes the playlist's list show the model again.
    std::function<void()> syncPlaylist;
    // The main window's file source 2, which reads a track's length.
    core::TrackLengthReader reader;
    core::Dialogs* dialogs = nullptr;
};

class CatalogueWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidthTwips = 9000;
    static constexpr int kHeightTwips = 4245;

    explicit CatalogueWindow(CatalogueHost host, QWidget* parent = nullptr);

    // The loading: the browser's folder, the window centred and shown above
    // the others, then the catalogue read from its file or, without one, built
    // by a walk.
    void Form_Load();
    // Brings the open window back above the others.
    void showOnTop();
    // False once closed: the window then goes away as soon as no walk runs in it.
    bool isOpen() const { return !m_closed; }
    bool walking() const { return m_walk.running(); }

    void cmdSearch_Click();
    void ReinitRecherche();
    void BtnCatalogue_Click();
    void cmdExit_Click();

    const core::CatalogueList& lstFoundFiles() const { return m_lstFoundFiles; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void readCatalogue();
    void Rech_Enter();
    void List2_DblClick(const QModelIndex& index);
    void showCount();
    void setSearchCaption(const QString& caption);
    void message(const QString& text, core::MessageIcon icon);

    CatalogueHost m_host;
    core::CatalogueList m_lstFoundFiles;
    core::CatalogueWalk m_walk;
    // The folder the next walk starts from (the folder list `dirList`).
    QString m_dirList;
    bool m_closed = false;

    QListView* m_list2 = nullptr;
    QStringListModel* m_list2Model = nullptr;
    QLineEdit* m_rech = nullptr;
    QPushButton* m_btnCatalogue = nullptr;
    QPushButton* m_cmdExit = nullptr;
    // Not shown: its caption is its mode, and its access key runs it.
    QAction* m_cmdSearch = nullptr;
    QLabel* m_lblCount = nullptr;
    QLineEdit* m_txtSearchSpec = nullptr;
};

}  // namespace varonel::ui
