#include "ui/varonel/CatalogueWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>

#include "core/shared/CentrerFenetre.h"
#include "core/shared/TwipRect.h"
#include "ui/shared/DesignTable.h"
#include "ui/varonel/MainStyle.h"
#include "ui/varonel/MainWidgets.h"

namespace varonel::ui {

namespace {

const QString kRechercher = QStringLiteral("&Rechercher");
const QString kReinitialiser = QStringLiteral("&Réinitialiser");
const QString kQuitter = QStringLiteral("&Quitter");
const QString kAnnuler = QStringLiteral("Annuler");
const QString kSauver = QStringLiteral("Sauver Catalogue");
const QString kNouveau = QStringLiteral("Nouveau Catalogue");

// The visible face in twips: the results across the top, the search box and
// the two buttons below them.
DesignTable catalogueDesignTable() {
    return DesignTable({
        {"List2", {90, 90, 8820, 3390}},
        {"Label1", {90, 3645, 1230, 330}},
        {"Rech", {1320, 3600, 3480, 420}},
        {"BtnCatalogue", {4920, 3570, 2400, 480}},
        {"cmdExit", {7440, 3570, 1470, 480}},
    });
}

}  // namespace

CatalogueWindow::CatalogueWindow(core::CatalogueHost host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      m_session(std::move(host), [](bool on) {
          on ? QGuiApplication::setOverrideCursor(Qt::WaitCursor)
             : QGuiApplication::restoreOverrideCursor();
      }) {
    setObjectName(QStringLiteral("F3"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    connectControls();
    applyCatalogueStyle(this);
    catalogueDesignTable().applyTo(this);
    setFixedSize(kWidthTwips / core::kTwipsPerPixel, kHeightTwips / core::kTwipsPerPixel);
    showState();
}

// --- Building ---

void CatalogueWindow::buildControls() {
    m_list2Model = new QStringListModel(this);
    m_list2 = new QListView(this);
    m_list2->setObjectName(QStringLiteral("List2"));
    m_list2->setModel(m_list2Model);
    m_list2->setUniformItemSizes(true);  // thousands of results lay out at once
    m_list2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list2->setToolTip(QStringLiteral(" Double click pour ajouter a la playlist "));

    makeLabel(QStringLiteral("Label1"), QStringLiteral("Recherche"), this);
    m_rech = new QLineEdit(this);
    m_rech->setObjectName(QStringLiteral("Rech"));
    m_rech->setToolTip(QStringLiteral(" Recherche puis entrée "));

    m_btnCatalogue = new QPushButton(this);
    m_btnCatalogue->setObjectName(QStringLiteral("BtnCatalogue"));
    m_cmdExit = new QPushButton(this);
    m_cmdExit->setObjectName(QStringLiteral("cmdExit"));

    m_cmdSearch = new QAction(this);
    m_cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    m_cmdSearch->setShortcutContext(Qt::WindowShortcut);
    addAction(m_cmdSearch);

    m_lblCount = makeLabel(QStringLiteral("lblCount"), QString(), this);
    m_lblCount->hide();
}

void CatalogueWindow::connectControls() {
    connect(m_rech, &QLineEdit::returnPressed, this, &CatalogueWindow::Rech_Enter);
    connect(m_list2, &QListView::doubleClicked, this, &CatalogueWindow::List2_DblClick);
    connect(m_btnCatalogue, &QPushButton::clicked, &m_session,
            &core::CatalogueSession::catalogueButton);
    connect(m_cmdExit, &QPushButton::clicked, this, &CatalogueWindow::close);
    connect(m_cmdSearch, &QAction::triggered, &m_session, &core::CatalogueSession::searchCommand);
    connect(&m_session, &core::CatalogueSession::changed, this, &CatalogueWindow::showState);
}

// --- Loading, activation and closing ---

void CatalogueWindow::Form_Load() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenPixels = screen != nullptr ? screen->geometry().size() : size();
    const core::TwipPosition centre = core::CentrerFenetre(
        screenPixels.width() * core::kTwipsPerPixel, screenPixels.height() * core::kTwipsPerPixel,
        kWidthTwips, kHeightTwips);
    // The window shows before a first walk rather than after it, so that the
    // count and "Annuler" are there while it walks a whole volume; the walk
    // then runs from the event loop.
    move(core::toPixels(centre));
    showOnTop();
    m_session.load();
}

void CatalogueWindow::showOnTop() {
    show();
    raise();
    activateWindow();
}

void CatalogueWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_rech->setFocus(Qt::ActiveWindowFocusReason);
    }
    QWidget::changeEvent(event);
}

void CatalogueWindow::closeEvent(QCloseEvent* event) {
    m_session.close();
    QWidget::closeEvent(event);
}

// --- Display ---

// Every caption is the session's state in words: the window never reads one
// back to decide anything.
void CatalogueWindow::showState() {
    const bool walking = m_session.walking();
    setSearchCaption(m_session.searchMode() == core::CatalogueSession::SearchMode::Walk
                         ? kRechercher
                         : kReinitialiser);
    m_btnCatalogue->setText(m_session.catalogueMode() == core::CatalogueSession::CatalogueMode::Save
                                ? kSauver
                                : kNouveau);
    m_btnCatalogue->setEnabled(m_session.catalogueButtonEnabled());
    m_cmdExit->setText(walking ? kAnnuler : kQuitter);
    if (walking) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
    m_lblCount->setText(m_session.lblCount());
    setWindowTitle(m_session.caption());
}

void CatalogueWindow::setSearchCaption(const QString& caption) {
    m_cmdSearch->setText(caption);
    m_cmdSearch->setShortcut(QKeySequence::mnemonic(caption));
}

// --- Searching and adding to the playlist ---

void CatalogueWindow::Rech_Enter() {
    const std::optional<QStringList> found = m_session.search(m_rech->text());
    if (found) {
        m_list2Model->setStringList(*found);
    }
}

void CatalogueWindow::List2_DblClick(const QModelIndex& index) {
    m_session.addToPlaylist(index.data().toString());
}

}  // namespace varonel::ui
