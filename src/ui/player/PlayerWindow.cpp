#include "ui/player/PlayerWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include "audio/DeviceOutput.h"
#include "core/browser/BrowserModel.h"
#include "core/shared/AppPaths.h"
#include "core/shared/DeviceList.h"
#include "core/shared/FolderSeparator.h"
#include "core/shared/ProgramOptions.h"
#include "core/shared/TrackNaming.h"
#include "core/shared/TwipRect.h"
#include "ui/player/DeckKeys.h"
#include "ui/player/DeckPanel.h"
#include "ui/player/PlayerDesign.h"
#include "ui/player/PlayerStyle.h"
#include "ui/player/SdlJoystick.h"
#include "ui/shared/OutputLists.h"
#include "ui/shared/PaintedSurface.h"
#include "ui/shared/ScreenAdaptation.h"
#include "ui/shared/TrackBrowser.h"

namespace varonel::ui {

namespace {

// Widths of the status bar's five panels, in twips.
constexpr int kPanelTwips[] = {3000, 3000, 2000, 1200, 1440};

// The decks given (by tests), the program's own on the system's devices otherwise.
PlayerWindow::DeckPlayers decksOr(std::unique_ptr<audio::Player> deckA,
                                  std::unique_ptr<audio::Player> deckB) {
    if (!deckA || !deckB) {
        PlayerWindow::DeckPlayers own = PlayerWindow::deckPlayers(audio::systemBackend());
        deckA = deckA ? std::move(deckA) : std::move(own[0]);
        deckB = deckB ? std::move(deckB) : std::move(own[1]);
    }
    return {std::move(deckA), std::move(deckB)};
}

QLabel* makeLabel(const QString& name, const QString& text, const QString& toolTip,
                  QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setToolTip(toolTip);
    return label;
}

}  // namespace

PlayerWindow::PlayerWindow(std::unique_ptr<core::Clock> clock, core::Dialogs& dialogs,
                           std::unique_ptr<audio::Player> deckA,
                           std::unique_ptr<audio::Player> deckB, QWidget* parent)
    : QMainWindow(parent),
      m_clock(std::move(clock)),
      m_dialogs(dialogs),
      m_players(decksOr(std::move(deckA), std::move(deckB))),
      m_decks(std::make_unique<core::PlayerDecks>(*m_players[0], *m_players[1], dialogs)),
      m_joystick(std::make_unique<core::JoystickControl>(*m_decks)),
      m_browserModel(std::make_unique<core::BrowserModel>(
          core::BrowserColumns{core::ArtisteSansDossier, false})),
      m_design(playerDesignTable()) {
    setObjectName(QStringLiteral("F1"));
    setWindowTitle(QStringLiteral("DJ Orval Player"));
    buildParts();
    buildStatusBar();
    applyPlayerStyle(this);
    m_design.applyTo(m_centre);
    m_centre->setMinimumSize(m_design.extentOn(m_centre));

    m_keys = std::make_unique<DeckKeys>(this);
    m_mainTimer = std::make_unique<core::PlayerMainTimer>(*m_decks, *m_clock, m_keys.get());
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(core::PlayerMainTimer::kPeriodMs);
    connect(m_timer1, &QTimer::timeout, this, &PlayerWindow::tick);
    connect(m_decks.get(), &core::PlayerDecks::displayChanged, this, &PlayerWindow::applyDisplay);
    m_timer1->start();
    applyDisplay();
}

PlayerWindow::DeckPlayers PlayerWindow::deckPlayers(audio::DeviceBackend& backend) {
    const auto group = std::make_shared<audio::OutputGroup>();
    return {std::make_unique<audio::Player>(std::make_unique<audio::DeviceOutput>(backend, group)),
            std::make_unique<audio::Player>(std::make_unique<audio::DeviceOutput>(backend, group))};
}

PlayerWindow::~PlayerWindow() {
    // The parts hold references to the decks and their players: they go first.
    delete m_centre;
    m_decks.reset();
}

// --- Building ---

void PlayerWindow::buildParts() {
    m_centre = new QWidget(this);
    m_centre->setObjectName(QStringLiteral("Centre"));
    setCentralWidget(m_centre);
    m_tags = std::make_unique<core::DurationReader>(core::DurationReader::exactLength, 1);
    m_tags->serve(m_browserModel.get());
    m_browser = new TrackBrowser(m_centre, m_browserModel.get(), this);
    m_browser->view()->setColumnTwips({3000, 3000, 0, 6000});
    connect(m_browser->view(), &BrowserView::rowDragged, this,
            [this](int row) { m_decks->setMorceauGlisse(m_browserModel->row(row)); });
    for (int d = 0; d < core::kDeckCount; ++d) {
        m_deckPanels[size_t(d)] = new DeckPanel(m_centre, *m_decks, d, m_browserModel.get());
    }
    makeLabel(QStringLiteral("Label3"), QStringLiteral("Cue"), QString(), m_centre);
    makeLabel(QStringLiteral("Label4"), QStringLiteral("Cue"), QString(), m_centre);
    m_lblBtn = makeLabel(QStringLiteral("LblBtn"), QString(),
                         QStringLiteral(" Dernier bouton du joystick "), m_centre);
    m_x = makeLabel(QStringLiteral("X"), QString(), QStringLiteral(" Position X "), m_centre);
    m_y = makeLabel(QStringLiteral("Y"), QString(), QStringLiteral(" Position Y "), m_centre);
    m_ecart =
        makeLabel(QStringLiteral("Ecart"), QString(), QStringLiteral(" Écart de X "), m_centre);
    m_info = makeLabel(QStringLiteral("Info"), QString(),
                       QStringLiteral(" État du lecteur de la platine choisie "), m_centre);
    m_outputs = new OutputLists(m_centre, {"Output0", " Sortie de la platine A "},
                                {"Output1", " Sortie de la platine B "}, m_dialogs,
                                OutputLists::BadFile::FallBackQuietly, this);
    connect(m_outputs, &OutputLists::entryChosen, m_decks.get(), &core::PlayerDecks::Output_Click);
    buildLostOutputMarks();
    m_joystickInput = new SdlJoystick(*m_joystick, this);
}

// A deck whose output lost its device says so in its time panel, beside the
// mark of its list.
void PlayerWindow::buildLostOutputMarks() {
    std::array<QLabel*, core::kDeckCount> marks{};
    for (int d = 0; d < core::kDeckCount; ++d) {
        auto* panel = m_centre->findChild<QWidget*>(QStringLiteral("Picture1%1").arg(d));
        marks[size_t(d)] =
            makeLabel(QStringLiteral("SortiePerdue%1").arg(d), QString(), QString(), panel);
        marks[size_t(d)]->setAlignment(Qt::AlignCenter);
        marks[size_t(d)]->hide();
        m_outputs->watch(d, &m_players[size_t(d)]->output());
    }
    connect(m_outputs, &OutputLists::routeChanged, this,
            [marks](int deck, audio::OutputRoute route) {
                QLabel* mark = marks[size_t(deck)];
                mark->setText(OutputLists::lostMark(route));
                mark->setVisible(!mark->text().isEmpty());
            });
}

void PlayerWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        m_panels[i]->setFixedWidth(kPanelTwips[i] / core::kTwipsPerPixel);
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        bar->addWidget(m_panels[i]);
    }
}

// --- Load, settings and close ---

bool PlayerWindow::Form_Load(const LoadOptions& options) {
    m_cheminAppli = core::withTrailingSeparator(
        options.cheminAppli.isEmpty() ? core::CheminAppli() : options.cheminAppli);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = options.screenWidth >= 0 ? options.screenWidth
                            : screen                 ? screen->geometry().width()
                                                     : 0;
    if (core::screenTooNarrow(float(screenWidth))) {
        m_dialogs.message({QStringLiteral("Le programme ne fonctione pas en dessous de 800x600"),
                           QString(), core::MessageIcon::None, core::MessageButtons::Ok});
        return false;
    }
    m_fichierIni = core::FichierIniPlayer(m_cheminAppli);
    applyOptions(core::FichierOptionsPlayer(m_cheminAppli));
    m_browser->startAtVolumeOf(QDir::currentPath());
    setWindowState(windowState() | Qt::WindowMaximized);
    const core::WindowRule rule = adaptToScreen(
        this, m_centre, m_design, screenSize(options.screenWidth), core::CheckScreenSizePlayer);
    if (rule.statusBarVisible) {
        statusBar()->show();
    }
    fillDeviceLists();
    LSOutputPlayer(QStringLiteral("Load"));
    m_joystickInput->start();
    return true;
}

// The options go to the decks' outputs before the settings open their devices.
void PlayerWindow::applyOptions(const QString& fichierOptions) {
    QString error;
    if (!core::createProgramOptionsIfMissing(fichierOptions, &error)) {
        m_dialogs.message({QStringLiteral("Les options n'ont pas pu être écrites dans %1 :\r\n%2")
                               .arg(fichierOptions, error),
                           QStringLiteral("Alerte"), core::MessageIcon::Exclamation,
                           core::MessageButtons::Ok});
    }
    const core::ProgramOptions options = core::readProgramOptions(fichierOptions);
    for (const auto& player : m_players) {
        player->output().setBufferFrames(core::framesOfMs(options.tamponMs));
    }
}

void PlayerWindow::fillDeviceLists() {
    auto name = [this](int deck, int index) {
        return QString::fromStdString(m_players[size_t(deck)]->deviceName(index));
    };
    // Entry 0 from each deck's own player; the others from deck A's, kept as
    // they are named.
    const QStringList named = core::buildDeviceEntries([&](int index) { return name(0, index); },
                                                       core::DeviceEntryNames::AsReported);
    QStringList second = named;
    second[0] = name(1, core::kDefaultDeviceIndex);
    m_outputs->fill(named, second);
}

void PlayerWindow::LSOutputPlayer(const QString& cmd) {
    m_outputs->LSOutputPlayer(cmd, m_fichierIni);
}

void PlayerWindow::closeEvent(QCloseEvent* event) {
    if (m_decks->anyPlaying()) {
        event->ignore();
        return;
    }
    LSOutputPlayer(QStringLiteral("Save"));
    event->accept();
    emit programEnded();
}

// Each activation makes deck A the selected deck and paints the decks' shading.
void PlayerWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_decks->selectDeck(0);
        for (const char* name : {"PlatineA0", "PlatineA1", "Picture10", "Picture11"}) {
            if (auto* panel = m_centre->findChild<QWidget*>(QLatin1String(name))) {
                paintPanelShading(panel);
            }
        }
    }
}

// --- Tick and display ---

void PlayerWindow::tick() {
    m_mainTimer->Timer1_Timer();
    for (DeckPanel* panel : m_deckPanels) {
        panel->refreshLevels();
    }
}

void PlayerWindow::applyDisplay() {
    const core::PlayerDisplay& display = m_decks->display();
    for (DeckPanel* panel : m_deckPanels) {
        panel->applyDisplay();
    }
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i]->setText(display.statusPanels[i]);
    }
    m_info->setText(display.info);
    m_lblBtn->setText(display.lblBtn);
    m_x->setText(display.x);
    m_y->setText(display.y);
    m_ecart->setText(display.ecart);
    for (int d = 0; d < core::kDeckCount; ++d) {
        m_outputs->list(d)->setEnabled(display.decks[size_t(d)].outputEnabled);
    }
}

}  // namespace varonel::ui
