#include "ui/varonel/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTime>
#include <QTimer>

#include "audio/DeviceOutput.h"
#include "core/automix/PlayHistoryBinding.h"
#include "core/automix/ResumeJournal.h"
#include "core/automix/SessionResume.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/request/RequestRules.h"
#include "core/shared/AppPaths.h"
#include "core/shared/DeviceList.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/ProgramLayout.h"
#include "core/shared/ProgramOptions.h"
#include "ui/shared/BusyCursor.h"
#include "ui/shared/OutputLists.h"
#include "ui/shared/PaintedSurface.h"
#include "ui/shared/ScreenAdaptation.h"
#include "ui/shared/StatusLineView.h"
#include "ui/varonel/AsRunLogBinding.h"
#include "ui/varonel/ButtonPictures.h"
#include "ui/varonel/CatalogueWindow.h"
#include "ui/varonel/DesktopShortcuts.h"
#include "ui/varonel/MainDesign.h"
#include "ui/varonel/MainStyle.h"
#include "ui/varonel/MainWidgets.h"
#include "ui/varonel/MixerBrowser.h"
#include "ui/varonel/PlaylistCommands.h"
#include "ui/varonel/PlaylistView.h"
#include "ui/varonel/PreListeningPanel.h"
#include "ui/varonel/SoundOptionsMenu.h"
#include "ui/varonel/SplashWindow.h"
#include "ui/varonel/TransportKeys.h"
#include "ui/varonel/TransportPanel.h"

namespace varonel::ui {

MainWindow::MainWindow(std::unique_ptr<core::MainAudioChain> chain,
                       std::unique_ptr<core::Clock> clock, core::Dialogs& dialogs,
                       std::unique_ptr<audio::Player> wavePfl, core::TickSource* ticks,
                       QWidget* parent)
    : QMainWindow(parent),
      m_chain(std::move(chain)),
      m_wavePfl(wavePfl ? std::move(wavePfl) : std::make_unique<audio::Player>()),
      m_clock(std::move(clock)),
      m_dialogs(dialogs),
      m_ownTicks(ticks ? nullptr : std::make_unique<core::TimerTicks>(this)),
      m_ticks(ticks ? *ticks : *m_ownTicks),
      m_statusLine(std::make_unique<core::StatusLine>(*m_clock)),
      m_transport(
          std::make_unique<core::Transport>(*m_chain, m_playlist, *m_clock, m_ticks, dialogs)),
      m_timer3(std::make_unique<core::Timer3>(*m_transport, *m_clock, m_ticks)),
      m_round(std::make_unique<core::RequetteRound>(
          m_history, *m_clock, uint32_t(QTime::currentTime().msecsSinceStartOfDay()))),
      m_preListening(std::make_unique<core::PreListening>(*m_wavePfl, dialogs, m_ticks,
                                                          m_transport->glissement())),
      m_preparation(
          std::make_unique<core::TrackPreparation>(core::TrackPreparation::Missing::PlayMeanwhile)),
      m_design(mainDesignTable()) {
    setObjectName(QStringLiteral("F1"));
    setWindowTitle(QStringLiteral("Varonel"));
    buildParts();
    buildStatusLine();
    buildMenus();
    applyMainStyle(this);
    m_design.applyTo(m_centre);
    m_centre->setMinimumSize(m_design.extentOn(m_centre));

    m_keys = std::make_unique<TransportKeys>(this);
    m_timer3->setKeyboard(m_keys.get());
    m_transport->setRequette([this] { Requette(); });
    m_transport->setFollowPfl([this] { m_preListening->follow(); });
    m_transport->setPlanner(m_preparation.get());
    m_preListening->setGain([this](const QString& path) { return m_preparation->gainFor(path); });
    prepareTracksAhead();
    connect(m_transport.get(), &core::Transport::playlistChanged, m_commands,
            &PlaylistCommands::syncPlaylist);
    core::followAir(*m_transport, m_history, *m_clock, this);
    m_browser->setRound(m_round.get(), [this] { return m_transport->RequetteAuto(); });
}

MainWindow::~MainWindow() {
    // The parts, the log and the transport hold references to the chain, the
    // playlist, the clock and the players: they go first.
    delete m_journal;
    delete m_centre;
    delete m_asRunLog;
    m_timer3.reset();
    m_transport.reset();
    m_preListening.reset();
}

// --- Building ---

void MainWindow::buildParts() {
    m_centre = new QWidget(this);
    m_centre->setObjectName(QStringLiteral("Centre"));
    setCentralWidget(m_centre);

    makeLabel(QStringLiteral("LblSortie"), QStringLiteral("Sortie principale"), m_centre);
    m_outputs = new OutputLists(m_centre, {"Output", " Choix de la sortie principale "},
                                {"PFL", " Choix de la PFL "}, m_dialogs,
                                OutputLists::BadFile::TellAndDelete, this);
    connect(m_outputs, &OutputLists::entryChosen, this, &MainWindow::outputChosen);

    m_commands = new PlaylistCommands(
        m_centre, m_playlist, m_dialogs, *m_statusLine, lengthReader(),
        [this] { return m_cheminAppli; }, [this] { CalculTiming(); });
    m_browser = new MixerBrowser(m_centre, m_playlist, *m_commands, *m_preListening, *m_statusLine,
                                 lengthReader(), [this] { CalculTiming(); });
    m_transportPanel = new TransportPanel(m_centre, *m_transport, *m_timer3, *m_chain,
                                          m_outputs->list(0), m_browser->browser().view());
    m_preListeningPanel = new PreListeningPanel(m_centre, *m_preListening, m_outputs->list(1));
    buildLostOutputMarks();

    constexpr int kP3PictureSize = 28;
    QPushButton* p3 = makePictureButton(QStringLiteral("P3"), QStringLiteral(" Catalogue "),
                                        kP3PictureSize, m_centre);
    p3->setIcon(makeCataloguePicture(kP3PictureSize));
    connect(p3, &QPushButton::clicked, this, &MainWindow::P3_Click);
}

// The status line sits in the window's status bar, under the design table's
// controls and outside them: the screen rules never move it, and it spans the
// window's whole width at every screen size.
void MainWindow::buildStatusLine() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("BarreEtat"));
    bar->setSizeGripEnabled(false);
    bar->addWidget(new StatusLineView(*m_statusLine, bar), 1);
    // A skipped track's reason names its file; the air goes on meanwhile.
    connect(m_transport.get(), &core::Transport::trackSkipped, m_statusLine.get(),
            [this](const QString&, const QString& reason) {
                m_statusLine->post(QStringLiteral("Piste sautée : ") + reason);
            });
    connect(
        m_transport.get(), &core::Transport::deadAir, m_statusLine.get(),
        [this](const QString& path) {
            m_statusLine->post(QStringLiteral("Silence à l'antenne depuis 15 s, titre suivant : ") +
                               QDir::toNativeSeparators(path));
        });
}

// A lost output shows on air (the main output) and on the pre-listening caption,
// beside the mark of its list.
void MainWindow::buildLostOutputMarks() {
    auto* onAir = makeLabel(QStringLiteral("LblSortiePerdue"), QString(),
                            m_centre->findChild<QWidget*>(QStringLiteral("Picture1")));
    onAir->setAlignment(Qt::AlignCenter);
    onAir->setWordWrap(true);
    onAir->hide();
    m_outputs->watch(0, m_chain->output.get());
    m_outputs->watch(1, &m_wavePfl->output());
    connect(m_outputs, &OutputLists::routeChanged, this,
            [this, onAir](int list, audio::OutputRoute route) {
                const QString mark = OutputLists::lostMark(route);
                if (list == 0) {
                    onAir->setText(mark);
                    onAir->setVisible(!mark.isEmpty());
                    showLost(QStringLiteral("LblSortie"), QStringLiteral("Sortie principale"),
                             mark);
                } else {
                    showLost(QStringLiteral("Label2"), QStringLiteral("Pré-écoute (PFL)"), mark);
                }
            });
}

// A caption above an output list says when its output has lost the device.
void MainWindow::showLost(const QString& caption, const QString& text, const QString& mark) {
    auto* label = m_centre->findChild<QLabel*>(caption);
    if (label == nullptr) {
        return;
    }
    label->setText(mark.isEmpty() ? text : text + QStringLiteral(" : sortie perdue"));
    label->setProperty("perdue", !mark.isEmpty());
    label->style()->unpolish(label);
    label->style()->polish(label);
}

void MainWindow::buildMenus() {
    struct Item {
        const char* name;
        const char* text;
        std::function<void()> handler;
    };
    const Item items[] = {
        {"mnuNouvelle", "Nouvelle", [this] { m_commands->mnuNouvelle_Click(); }},
        {"MnuOuvrir", "Ouvrir", [this] { m_commands->MnuOuvrir_Click(); }},
        {"MnuSauver", "Sauver", [this] { m_commands->MnuSauver_Click(); }},
        {"mnuRequette", "Requette", [this] { Requette(); }},
        {"mnuQuitter", "Quitter", [this] { mnuQuitter_Click(); }},
    };
    for (const Item& item : items) {
        QAction* action = menuBar()->addAction(QString::fromUtf8(item.text));
        action->setObjectName(QString::fromUtf8(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }
    m_soundOptions = new SoundOptionsMenu(menuBar(), *m_preparation, *m_statusLine, this);
    buildHelpMenu();
}

void MainWindow::buildHelpMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("?"));
    menu->setObjectName(QStringLiteral("mnuinterog"));
    QAction* about = menu->addAction(QStringLiteral("A propos de DJ Orval"));
    about->setObjectName(QStringLiteral("mnuapropos"));
    connect(about, &QAction::triggered, this, [this] {
        if (!m_about) {
            m_about = new SplashWindow(this);
        }
        m_about->show();
        m_about->raise();
    });
    menu->addSeparator()->setObjectName(QStringLiteral("mnusep"));
    QAction* links = menu->addAction(QStringLiteral("Création des raccourcis"));
    links->setObjectName(QStringLiteral("mnulinks"));
    connect(links, &QAction::triggered, this, [this] {
        QString error;
        // The launchers start the executables, wherever the settings live.
        if (!CreationRaccourcis(m_desktopFolder, core::programLayout().programFolder, &error)) {
            m_dialogs.message({QStringLiteral("Les raccourcis n'ont pas pu être créés : ") + error,
                               QString(), core::MessageIcon::Exclamation,
                               core::MessageButtons::Ok});
        }
    });
}

// The playlist's files are analysed ahead of their turn, and then those of the
// folder the browser shows, which the request and the operator draw from.
void MainWindow::prepareTracksAhead() {
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("TimerAnalyse"));
    timer->setInterval(kPrepareEveryMs);
    connect(timer, &QTimer::timeout, this,
            [this] { m_preparation->prepare(m_playlist.paths(), true); });
    timer->start();
    connect(&m_browser->model(), &core::BrowserModel::fillFinished, this, [this] {
        const core::BrowserModel& model = m_browser->model();
        QStringList paths;
        for (int i = 0; i < model.count(); ++i) {
            paths.append(model.row(i).path);
        }
        m_preparation->prepare(paths, false);
    });
}

// --- Load, settings and close ---

// Each activation paints the two top panels' shading again.
void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        for (const char* name : {"Picture1", "Picture2"}) {
            if (auto* panel = m_centre->findChild<QWidget*>(QLatin1String(name))) {
                paintPanelShading(panel);
            }
        }
    }
}

bool MainWindow::Form_Load(const LoadOptions& options) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = options.screenWidth >= 0 ? options.screenWidth
                            : screen                 ? screen->geometry().width()
                                                     : 0;
    if (core::screenTooNarrow(float(screenWidth))) {
        m_dialogs.message({QStringLiteral("Le programme ne fonctione pas en dessous de 800x600"),
                           QString(), core::MessageIcon::None, core::MessageButtons::Ok});
        return false;
    }
    m_cheminAppli = core::withTrailingSeparator(
        options.cheminAppli.isEmpty() ? core::CheminAppli() : options.cheminAppli);
    m_fichierIni = core::FichierIni(m_cheminAppli);
    m_desktopFolder = options.desktopFolder.isEmpty()
                          ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)
                          : options.desktopFolder;
    m_fichierCatalogue = core::FichierCatalogue(m_cheminAppli);
    m_fichierReprise = core::resumeFile(m_cheminAppli);
    const core::RequestRules rules =
        core::RequestRules::load(core::RequestRules::confFile(m_cheminAppli));
    m_round->setRules(rules);
    m_round->setCatalogueFile(m_fichierCatalogue);
    m_history.keepFor(rules);
    // The as-run log lives in the settings folder, beside Varonel.Ini.
    if (m_asRunLog == nullptr) {
        m_asRunLog = bindAsRunLog(*m_transport, *m_clock, m_cheminAppli, *m_statusLine, this);
    }

    m_soundOptions->load(core::FichierOptions(m_cheminAppli));
    m_preparation->useCacheFile(core::FichierCachePistes(m_cheminAppli));
    applyOptions(core::FichierOptions(m_cheminAppli));

    m_browser->browser().startAtVolumeOf(QDir::currentPath());
    setWindowState(windowState() | Qt::WindowMaximized);
    adaptToScreen(this, m_centre, m_design, screenSize(options.screenWidth),
                  core::CheckScreenSizeMixer);
    fillDeviceLists();
    LSOutputPlayer(QStringLiteral("Load"));
    m_transportPanel->load();
    restorePreviousSession();
    if (options.splash) {
        options.splash->hide();
    }
    return true;
}

// The options go to the outputs before the settings open their devices.
void MainWindow::applyOptions(const QString& fichierOptions) {
    QString error;
    if (!core::createProgramOptionsIfMissing(fichierOptions, &error)) {
        m_dialogs.message({QStringLiteral("Les options n'ont pas pu être écrites dans %1 :\r\n%2")
                               .arg(fichierOptions, error),
                           QStringLiteral("Alerte"), core::MessageIcon::Exclamation,
                           core::MessageButtons::Ok});
    }
    const core::ProgramOptions options = core::readProgramOptions(fichierOptions);
    m_chain->output->setBufferFrames(core::framesOfMs(options.tamponMs));
    m_wavePfl->output().setBufferFrames(core::framesOfMs(options.tamponMs));
}

// The file left by a session that did not close cleanly: its playlist and
// switches come back at once; whether to resume its broadcast is asked once
// the window shows. A file that cannot be trusted is set aside, never read
// half.
void MainWindow::restorePreviousSession() {
    const core::ResumeRead previous = core::readResumeState(m_fichierReprise);
    if (previous.status == core::ResumeFileStatus::Damaged) {
        const QString aside = m_fichierReprise + QStringLiteral(".endommage");
        QFile::remove(aside);
        QFile::rename(m_fichierReprise, aside);
        m_statusLine->post(
            QStringLiteral("La session précédente n'a pas pu être rétablie, son fichier de "
                           "reprise est endommagé (%1) ; il est mis de côté : %2")
                .arg(previous.error, QDir::toNativeSeparators(aside)));
        return;
    }
    if (previous.status != core::ResumeFileStatus::Read) {
        return;
    }
    const core::ResumeState& state = previous.state;
    core::restoreSession(state, m_playlist, *m_transport);
    m_commands->syncPlaylist();
    m_statusLine->post(QStringLiteral("Session précédente rétablie après un arrêt imprévu : %1 "
                                      "titre(s) dans la playlist")
                           .arg(state.rows.size()),
                       core::StatusLine::Kind::Information);
    if (state.onAir) {
        // Its as-run line was lost with the program: it is written now.
        m_asRunLog->writeInterrupted(state.trackStart,
                                     state.track.artist + QStringLiteral(" - ") + state.track.title,
                                     state.track.path, state.positionMs);
        m_interrupted = state;
        m_resumePending = true;
    }
}

void MainWindow::offerResume() {
    if (m_resumePending) {
        m_resumePending = false;
        const core::ResumeChoice choice = core::askResume(m_interrupted, m_dialogs);
        core::resumeBroadcast(choice, m_interrupted, m_playlist, *m_transport);
        m_commands->syncPlaylist();
    }
    if (m_journal == nullptr) {
        m_journal =
            new core::ResumeJournal(*m_transport, m_playlist, *m_clock, m_fichierReprise, this);
        connect(m_journal, &core::ResumeJournal::cannotWrite, m_statusLine.get(),
                [this](const QString& message) { m_statusLine->post(message); });
        m_journal->poll();
    }
}

void MainWindow::fillDeviceLists() {
    const QStringList entries = core::buildDeviceEntries(
        [this](int index) { return QString::fromStdString(m_chain->output->deviceName(index)); });
    m_outputs->fill(entries, entries);
}

void MainWindow::LSOutputPlayer(const QString& cmd) {
    m_outputs->LSOutputPlayer(cmd, m_fichierIni);
}

void MainWindow::outputChosen(int list, int entry) {
    if (list == 0) {
        Output_Click(entry);
    } else {
        m_preListening->PFL_Click(entry);
    }
}

void MainWindow::Output_Click(int entry) {
    // The list is disabled on air; this guard keeps a broadcast from being cut
    // should a selection still arrive.
    if (m_transport->EnDiffusion()) {
        return;
    }
    m_chain->output->stop();
    m_chain->output->close();
    m_chain->output->setDeviceIndex(core::deviceIndexForEntry(entry));
    // Opened now, so that the start is heard at once and a loss shows before
    // it. A device that cannot open is marked lost and looked for again.
    m_chain->output->open();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_transport->EnDiffusion()) {
        event->ignore();
        return;
    }
    if (m_catalogue) {
        m_catalogue->close();  // a walk under way ends with it
    }
    m_chain->output->stop();
    m_chain->output->close();
    for (audio::FileSource& source : m_chain->sources) {
        source.setFileName(std::string());
    }
    LSOutputPlayer(QStringLiteral("Save"));
    if (m_journal) {
        m_journal->closeCleanly();  // nothing to resume at the next start
    }
    event->accept();
    emit programEnded();
}

void MainWindow::mnuQuitter_Click() {
    if (m_transport->EnDiffusion()) {
        m_dialogs.message({QStringLiteral("Impossible de quitter\narrêtez le DJ Orval en premier"),
                           QStringLiteral("Varonel"), core::MessageIcon::Information,
                           core::MessageButtons::Ok});
        return;
    }
    close();
}

// --- Shared by the parts ---

void MainWindow::CalculTiming() {
    m_transport->CalculTiming();
}

void MainWindow::Requette() {
    m_browser->Requette();
}

core::TrackLengthReader MainWindow::lengthReader() {
    return core::sourceLengthReader(m_chain->sources[2]);
}

void MainWindow::refreshLevels() {
    m_transportPanel->refreshLevels();
}

// --- The catalogue window ---

void MainWindow::P3_Click() {
    const BusyCursor busy;
    if (m_catalogue && m_catalogue->isOpen()) {
        m_catalogue->showOnTop();
        return;
    }
    core::CatalogueHost host;
    host.fichierCatalogue = m_fichierCatalogue;
    host.browserFolder = [this] { return m_browser->browser().folder(); };
    // The row goes in as from the browser: through AudioFile 2, which reads
    // its length, with the milliseconds left out of the total time.
    host.addToPlaylist = [this](const core::PlaylistRow& row, QString* error) {
        return m_commands->addRow(row, 0, core::MillisecondsCell::Empty, error);
    };
    host.dialogs = &m_dialogs;
    m_catalogue = new CatalogueWindow(std::move(host), this);
    m_catalogue->Form_Load();
}

CatalogueWindow* MainWindow::catalogueWindow() const {
    return m_catalogue && m_catalogue->isOpen() ? m_catalogue.data() : nullptr;
}

}  // namespace varonel::ui
