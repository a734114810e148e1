#pragma once
// The catalogue window `F3` of the automatic mixer: it keeps the catalogue of
// the audio files below one folder, saves it in `Catalogue.txt`, searches it by
// a piece of text and appends a found track to the main window's playlist.
// Shown above every other window, never modal. What it holds and decides is its
// session's (CatalogueSession); the window shows the session's state in its
// captions and forwards the operator's gestures to it.
//
// Main thread only.

#include <QWidget>

#include "core/catalogue/CatalogueSession.h"

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class QPushButton;
class QStringListModel;

namespace varonel::ui {

class CatalogueWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidthTwips = 9000;
    static constexpr int kHeightTwips = 4245;

    explicit CatalogueWindow(core::CatalogueHost host, QWidget* parent = nullptr);

    // The loading: the window centred and shown above the others, then the
    // session's loading (the catalogue read from its file or, without one, a
    // walk begun).
    void Form_Load();
    // Brings the open window back above the others.
    void showOnTop();
    // False once closed: the window is then deleted when control returns to
    // the event loop.
    bool isOpen() const { return !m_session.closed(); }
    const core::CatalogueSession& session() const { return m_session; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void showState();
    void setSearchCaption(const QString& caption);
    void Rech_Enter();
    void List2_DblClick(const QModelIndex& index);

    core::CatalogueSession m_session;

    QListView* m_list2 = nullptr;
    QStringListModel* m_list2Model = nullptr;
    QLineEdit* m_rech = nullptr;
    QPushButton* m_btnCatalogue = nullptr;
    QPushButton* m_cmdExit = nullptr;
    // Not shown: its caption is its mode, and its access key runs it.
    QAction* m_cmdSearch = nullptr;
    QLabel* m_lblCount = nullptr;
};

}  // namespace varonel::ui
