#include "CatalogueWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>

#include "ArtisteTitre.h"
#include "BusyCursor.h"
#include "CatalogueFile.h"
#include "CentrerFenetre.h"
#include "DesignTable.h"
#include "FilePattern.h"
#include "MainStyle.h"
#include "MainWidgets.h"
#include "TwipRect.h"

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

CatalogueWindow::CatalogueWindow(CatalogueHost host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      m_host(std::move(host)),
      m_walk(m_lstFoundFiles, *m_host.dialogs) {
    setObjectName(QStringLiteral("F3"));
    setWindowTitle(QStringLiteral("Catalogue Wav Mp3"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    connectControls();
    applyCatalogueStyle(this);
    catalogueDesignTable().applyTo(this);
    setFixedSize(kWidthTwips / core::kTwipsPerPixel, kHeightTwips / core::kTwipsPerPixel);
    // Single shot, started again after each step: a message box shown by a
    // step runs its own event loop, which must not start the next step.
    m_walkTimer.setSingleShot(true);
    m_walkTimer.setInterval(0);
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

    m_btnCatalogue = new QPushButton(kSauver, this);
    m_btnCatalogue->setObjectName(QStringLiteral("BtnCatalogue"));
    m_cmdExit = new QPushButton(kQuitter, this);
    m_cmdExit->setObjectName(QStringLiteral("cmdExit"));

    m_cmdSearch = new QAction(this);
    m_cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    m_cmdSearch->setShortcutContext(Qt::WindowShortcut);
    addAction(m_cmdSearch);
    setSearchCaption(kRechercher);

    m_lblCount = makeLabel(QStringLiteral("lblCount"), QStringLiteral("0"), this);
    m_lblCount->hide();
    m_txtSearchSpec = new QLineEdit(QLatin1String(core::kAudioFilePattern), this);
    m_txtSearchSpec->setObjectName(QStringLiteral("txtSearchSpec"));
    m_txtSearchSpec->hide();
}

void CatalogueWindow::connectControls() {
    connect(m_rech, &QLineEdit::returnPressed, this, &CatalogueWindow::Rech_Enter);
    connect(m_list2, &QListView::doubleClicked, this, &CatalogueWindow::List2_DblClick);
    connect(m_btnCatalogue, &QPushButton::clicked, this, &CatalogueWindow::BtnCatalogue_Click);
    connect(m_cmdExit, &QPushButton::clicked, this, &CatalogueWindow::cmdExit_Click);
    connect(m_cmdSearch, &QAction::triggered, this, &CatalogueWindow::cmdSearch_Click);
    connect(&m_walkTimer, &QTimer::timeout, this, &CatalogueWindow::walkStep);
}

// --- Loading, activation and closing ---

void CatalogueWindow::Form_Load() {
    m_dirList = m_host.browserFolder();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenPixels = screen != nullptr ? screen->geometry().size() : size();
    const core::TwipPosition centre = core::CentrerFenetre(
        screenPixels.width() * core::kTwipsPerPixel, screenPixels.height() * core::kTwipsPerPixel,
        kWidthTwips, kHeightTwips);
    const bool catalogueFound = core::Filexiste(m_host.fichierCatalogue);
    m_btnCatalogue->setText(catalogueFound ? kNouveau : kSauver);
    // The window shows before a first walk rather than after it, so that the
    // count and "Annuler" are there while it walks a whole volume; the walk
    // then runs from the event loop.
    move(core::toPixels(centre));
    showOnTop();
    if (catalogueFound) {
        readCatalogue();
    } else {
        cmdSearch_Click();
    }
}

void CatalogueWindow::showOnTop() {
    show();
    raise();
    activateWindow();
}

void CatalogueWindow::readCatalogue() {
    const core::CatalogueReadReport report =
        core::readCatalogueFile(m_host.fichierCatalogue, &m_lstFoundFiles);
    if (!report.read) {
        // The window stays usable: an empty catalogue, and "Nouveau Catalogue"
        // builds a new one.
        message(report.error + QStringLiteral("\nLe catalogue n'a pas pu être lu"),
                core::MessageIcon::Exclamation);
    } else if (report.full) {
        message(QString::fromUtf8(core::kListFullMessage), core::MessageIcon::None);
    }
}

void CatalogueWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_rech->setFocus(Qt::ActiveWindowFocusReason);
    }
    QWidget::changeEvent(event);
}

void CatalogueWindow::closeEvent(QCloseEvent* event) {
    // RechercheActive := false, and no step follows: what the walk found is
    // not saved.
    m_walk.cancel();
    m_walkTimer.stop();
    m_closed = true;
    QWidget::closeEvent(event);
}

void CatalogueWindow::cmdExit_Click() {
    close();
}

// --- The search command, the walk and the catalogue button ---

void CatalogueWindow::cmdSearch_Click() {
    if (m_cmdSearch->text() == kReinitialiser) {
        ReinitRecherche();
        return;
    }
    if (!m_walk.start(m_dirList, core::FilePattern(m_txtSearchSpec->text()))) {
        return;  // the walk under way already fills the catalogue
    }
    m_cmdExit->setText(kAnnuler);
    // A save or a new catalogue in the middle of a walk would keep half of it.
    m_btnCatalogue->setEnabled(false);
    setCursor(Qt::BusyCursor);
    m_walkTimer.start();
}

// Folders are walked for a few milliseconds a turn of the event loop: short
// enough that the main window's timers keep their pace, long enough that the
// turns themselves do not slow the walk. A message shown by a step runs its own
// event loop, in which the window may be closed: the slice then ends.
void CatalogueWindow::walkStep() {
    constexpr qint64 kSliceMs = 5;
    QElapsedTimer slice;
    slice.start();
    core::CatalogueWalk::Step outcome = core::CatalogueWalk::Step::More;
    do {
        outcome = m_walk.step();
    } while (outcome == core::CatalogueWalk::Step::More && !m_closed && slice.elapsed() < kSliceMs);
    // The label and the caption take the count once a slice, which is as
    // often as the screen can show them.
    showCount();
    if (outcome == core::CatalogueWalk::Step::More) {
        if (!m_closed) {
            m_walkTimer.start();
        }
        return;
    }
    walkFinished();
}

void CatalogueWindow::walkFinished() {
    unsetCursor();
    m_btnCatalogue->setEnabled(true);
    setSearchCaption(kReinitialiser);
    m_cmdExit->setText(kQuitter);
    emit walkEnded();
}

void CatalogueWindow::ReinitRecherche() {
    m_lstFoundFiles.clear();
    m_walk.resetCount();
    showCount();
    m_walk.cancel();
    setSearchCaption(kRechercher);
    m_cmdExit->setText(kQuitter);
    m_dirList = QDir::currentPath();
}

void CatalogueWindow::BtnCatalogue_Click() {
    m_btnCatalogue->setEnabled(false);
    QString error;
    bool done = true;
    {
        const BusyCursor busy;
        if (m_btnCatalogue->text() == kSauver) {
            done = core::saveCatalogueFile(m_host.fichierCatalogue, m_lstFoundFiles, &error);
        } else if (m_btnCatalogue->text() == kNouveau) {
            m_dirList = m_host.browserFolder();
            done = core::deleteCatalogueFile(m_host.fichierCatalogue, &error);
            if (done) {
                m_btnCatalogue->setText(kSauver);
                m_lstFoundFiles.clear();
                cmdSearch_Click();
            }
        }
    }
    if (!done) {
        message(error + QStringLiteral("\nErreur dans la création du catalogue"),
                core::MessageIcon::Critical);
    }
    // A walk begun here keeps the button disabled until it ends.
    m_btnCatalogue->setEnabled(!m_walk.running());
}

// --- Searching and adding to the playlist ---

void CatalogueWindow::Rech_Enter() {
    const std::optional<QStringList> found = m_lstFoundFiles.search(m_rech->text());
    if (found) {
        m_list2Model->setStringList(*found);
    }
}

void CatalogueWindow::List2_DblClick(const QModelIndex& index) {
    const QString path = index.data().toString();
    QString artist;
    QString title;
    core::ArtisteTitre(&artist, &title, path);
    QString error;
    if (!m_host.addToPlaylist({artist, title, QString(), path}, &error)) {
        // A file gone or damaged since the catalogue was built would give a
        // row that cannot play: none is added, and the operator is told why.
        const QString reason = error.contains(path) ? error : path + u'\n' + error;
        message(reason + QStringLiteral("\nLe morceau n'a pas été ajouté à la playlist"),
                core::MessageIcon::Exclamation);
    }
}

// --- Display ---

// The walk counts every file it adds; the label and the caption take the count
// whenever events can run (once per folder, and at the end), which is when the
// screen could show them.
void CatalogueWindow::showCount() {
    const QString count = m_walk.countText();
    if (count != m_lblCount->text()) {
        m_lblCount->setText(count);
        setWindowTitle(count + QStringLiteral(" Fichiers Audio Wav - Mp3"));
    }
}

void CatalogueWindow::setSearchCaption(const QString& caption) {
    m_cmdSearch->setText(caption);
    m_cmdSearch->setShortcut(QKeySequence::mnemonic(caption));
}

void CatalogueWindow::message(const QString& text, core::MessageIcon icon) {
    m_host.dialogs->message({text, QString(), icon, core::MessageButtons::Ok});
}

}  // namespace varonel::ui
