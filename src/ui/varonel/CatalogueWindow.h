#pragma once
// The catalogue window `F3` of the automatic mixer: it keeps the catalogue of
// the audio files below one folder, saves it in `Catalogue.txt`, searches it by
// a piece of text and appends a found track to the main window's playlist.
// Shown above every other window, never modal. A walk goes a few milliseconds of
// folders per turn of the event loop, so the main window's timers keep running
// while it walks and the exit button cancels it at once. The walk, the list, the file and the
// naming are the core's; this window holds their state as its controls show it.
//
// Main thread only.

#include <QTimer>
#include <QWidget>
#include <functional>

#include "CatalogueList.h"
#include "CatalogueWalk.h"
#include "Dialogs.h"

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
    // Appends a playlist row from its first four cells (artist, title,
    // duration, path) as a double click in the browser does, the length read
    // again from the file. False, with the reason in *error, when the file
    // cannot be read; nothing is added then.
    std::function<bool(const QStringList& cells, QString* error)> addToPlaylist;
    core::Dialogs* dialogs = nullptr;
};

class CatalogueWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidthTwips = 9000;
    static constexpr int kHeightTwips = 4245;

    explicit CatalogueWindow(CatalogueHost host, QWidget* parent = nullptr);

    // The loading: the browser's folder, the window centred and shown above
    // the others, then the catalogue read from its file or, without one, a
    // walk begun.
    void Form_Load();
    // Brings the open window back above the others.
    void showOnTop();
    // False once closed: the window is then deleted when control returns to
    // the event loop.
    bool isOpen() const { return !m_closed; }
    bool walking() const { return m_walk.running(); }

    void cmdSearch_Click();
    void ReinitRecherche();
    void BtnCatalogue_Click();
    void cmdExit_Click();

    const core::CatalogueList& lstFoundFiles() const { return m_lstFoundFiles; }

signals:
    // A walk has ended, whether done or abandoned, and the controls show it.
    void walkEnded();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void readCatalogue();
    void walkStep();
    void walkFinished();
    void Rech_Enter();
    void List2_DblClick(const QModelIndex& index);
    void showCount();
    void setSearchCaption(const QString& caption);
    void message(const QString& text, core::MessageIcon icon);

    CatalogueHost m_host;
    core::CatalogueList m_lstFoundFiles;
    core::CatalogueWalk m_walk;
    // Runs the walk's next step once the events waiting have run.
    QTimer m_walkTimer;
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
