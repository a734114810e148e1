#include "MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "AppPaths.h"
#include "BusyCursor.h"
#include "ButtonPictures.h"
#include "DeviceList.h"
#include "LevelMeterWidget.h"
#include "OutputSettings.h"
#include "PlaylistFile.h"
#include "PlaylistView.h"
#include "RowFiller.h"
#include "SourceLengthReader.h"
#include "TransportKeys.h"

namespace varonel::ui {

namespace {

const QString kPlaylistFilter = QStringLiteral("Playlist DJ Orval *.pls (*.pls)");
constexpr int kPictureSize = 44;

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* makePictureButton(const QString& name, const QString& toolTip, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setIconSize(QSize(kPictureSize, kPictureSize));
    button->setFixedSize(kPictureSize + 12, kPictureSize + 12);
    // The keys of the transport are read by its tick; a focused button would
    // also take Space or Enter as its own click.
    button->setFocusPolicy(Qt::NoFocus);
    button->setFlat(true);
    return button;
}

QSlider* makeSlider(const QString& name, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setFocusPolicy(Qt::NoFocus);
    return slider;
}

// Sets a property that the style sheet reads and makes the widget take it on.
void setLook(QWidget* widget, const char* property, bool value) {
    widget->setProperty(property, value);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

const char* const kStyleSheet = R"(
QWidget#Centre { background: #15181c; }
QFrame#Picture1 {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #262c34, stop:1 #1c2026);
    border: 1px solid #2e353e; border-left: 6px solid #343c46; border-radius: 6px;
}
QFrame#Picture1[onAir="true"] { border-left: 6px solid #e0463a; }
QFrame#Picture2 { background: #1a1d22; border: 1px solid #2a3038; border-radius: 6px; }
QLabel { color: #c9d1da; }
QLabel#LblArtiste { font-size: 21pt; font-weight: 600; color: #8b96a3; }
QLabel#LblArtiste[onAir="true"] { color: #f4f6f8; }
QLabel#LblPo, QLabel#LblReste {
    font-size: 24pt; font-weight: 600; font-family: "DejaVu Sans Mono", monospace;
    color: #dfe5eb;
}
QLabel#LblReste[onAir="true"] { color: #ffb547; }
QLabel#LblTime {
    font-size: 20pt; font-family: "DejaVu Sans Mono", monospace; color: #8fb4d8;
}
QLabel#LblPS, QLabel#LblPourCent {
    font-size: 12pt; font-weight: 600; color: #e7ecf1; background: #14171b;
    border: 1px solid #343c46; border-radius: 4px; padding: 2px 6px;
}
QLabel#LblTemps { font-size: 12pt; font-weight: 600; color: #8fb4d8; padding: 2px 6px; }
QCheckBox { color: #c9d1da; font-weight: 600; }
QPushButton { border: none; background: transparent; border-radius: 28px; }
QPushButton:hover { background: #2f3742; }
QPushButton:pressed { background: #3b4552; }
QToolButton#P1 { border: none; background: transparent; border-radius: 6px; }
QToolButton#P1:hover { background: #2f3742; }
QTreeWidget {
    font-size: 10pt; background: #1b1f24; alternate-background-color: #20252b; color: #d6dbe1;
    border: 1px solid #2d333b; selection-background-color: #2f5d8a; selection-color: #ffffff;
}
QTreeWidget::item { padding: 2px 0px; }
QHeaderView::section {
    background: #252b33; color: #9aa5b1; border: none; border-right: 1px solid #1b1f24;
    padding: 4px 3px;
}
QMenuBar { background: #1b1f24; color: #d6dbe1; }
QMenuBar::item { padding: 4px 12px; background: transparent; }
QMenuBar::item:selected { background: #2f5d8a; }
QComboBox { color: #e2e7ec; background: #252b33; border: 1px solid #3a434e;
            border-radius: 4px; padding: 3px 8px; }
QComboBox:disabled { color: #6c7580; background: #1e2329; }
QComboBox QAbstractItemView { background: #252b33; color: #e2e7ec;
                              selection-background-color: #2f5d8a; }
QSplitter::handle { background: #15181c; }
)";

}  // namespace

MainWindow::MainWindow(std::unique_ptr<core::MainAudioChain> chain,
                       std::unique_ptr<core::Clock> clock, core::Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      m_chain(std::move(chain)),
      m_clock(std::move(clock)),
      m_dialogs(dialogs),
      m_transport(std::make_unique<core::Transport>(*m_chain, m_playlist, *m_clock, dialogs)) {
    setObjectName(QStringLiteral("F1"));
    setWindowTitle(QStringLiteral("Varonel"));
    m_btn = makeTransportPictures(kPictureSize);
    m_p1Pictures = makeRequestPictures(kPictureSize - 8);

    buildWidgets();
    buildMenus();
    applyStyle();

    m_keys = std::make_unique<TransportKeys>(this);
    m_transport->setKeyboard(m_keys.get());
    m_transport->setRequette([this] { Requette(); });

    connectTransport();
    buildTimers();
    applyDisplay();
}

MainWindow::~MainWindow() {
    // The transport holds references to the chain and the playlist: it goes first.
    m_transport.reset();
}

// --- Building ---

void MainWindow::buildWidgets() {
    auto* centre = new QWidget(this);
    centre->setObjectName(QStringLiteral("Centre"));
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(buildTopPanel());
    layout->addWidget(buildBottomPanel(), 1);
    setCentralWidget(centre);
    setMinimumSize(800, 540);
    resize(1024, 600);
}

QWidget* MainWindow::buildTopPanel() {
    m_picture1 = new QFrame(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    auto* grid = new QGridLayout(m_picture1);
    grid->setContentsMargins(14, 8, 12, 8);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);

    m_lblArtiste = makeLabel(QStringLiteral("LblArtiste"), QString(), m_picture1);
    // A long name is cut at the window's edge instead of widening the window.
    m_lblArtiste->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblTime = makeLabel(QStringLiteral("LblTime"), QString(), m_picture1);
    m_lblTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_lblArtiste, 0, 0, 1, 3);
    grid->addWidget(m_lblTime, 0, 3);

    m_lblPo = makeLabel(QStringLiteral("LblPo"), QString(), m_picture1);
    m_trackBar = makeSlider(QStringLiteral("TrackBar"), m_picture1);
    m_lblReste = makeLabel(QStringLiteral("LblReste"), QString(), m_picture1);
    m_lblReste->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_lblPo, 1, 0);
    grid->addWidget(m_trackBar, 1, 1, 1, 2);
    grid->addWidget(m_lblReste, 1, 3);

    auto* meters = new QVBoxLayout;
    meters->setSpacing(3);
    m_levelLeft = new LevelMeterWidget(m_picture1);
    m_levelLeft->setObjectName(QStringLiteral("MMLevelX1"));
    m_levelRight = new LevelMeterWidget(m_picture1);
    m_levelRight->setObjectName(QStringLiteral("MMLevelX2"));
    meters->addWidget(m_levelLeft);
    meters->addWidget(m_levelRight);
    grid->addLayout(meters, 2, 0, 1, 4);

    auto* controls = new QHBoxLayout;
    controls->setSpacing(6);
    m_cmdPlay = makePictureButton(QStringLiteral("CmdPlay"),
                                  QStringLiteral(" démarrage de la diffusion "), m_picture1);
    m_cmdStop = makePictureButton(QStringLiteral("CmdStop"),
                                  QStringLiteral(" Arrêt de la diffusion "), m_picture1);
    m_cmdStopImmediat = makePictureButton(QStringLiteral("CmdStopImmediat"),
                                          QStringLiteral(" Enchainement "), m_picture1);
    m_cmdStopImmediat->setIcon(makeChainPicture(kPictureSize));
    controls->addWidget(m_cmdPlay);
    controls->addWidget(m_cmdStop);
    controls->addWidget(m_cmdStopImmediat);
    controls->addSpacing(18);

    m_ps = makeSlider(QStringLiteral("PS"), m_picture1);
    m_ps->setRange(1, 30);
    m_ps->setValue(4);
    m_ps->setPageStep(1);
    m_ps->setToolTip(QStringLiteral(" Point de sortie "));
    m_ps->setFixedWidth(150);
    m_lblPs = makeLabel(QStringLiteral("LblPS"), QString(), m_picture1);
    m_lblPs->setAlignment(Qt::AlignCenter);
    m_lblPs->setMinimumWidth(36);
    m_lblPs->setToolTip(QStringLiteral(" Point de sortie "));
    controls->addWidget(m_ps);
    controls->addWidget(m_lblPs, 0, Qt::AlignVCenter);
    controls->addSpacing(18);

    m_checkAutoMix = new QCheckBox(QStringLiteral(" Mix intelligent "), m_picture1);
    m_checkAutoMix->setObjectName(QStringLiteral("CheckAutoMix"));
    m_checkAutoMix->setFocusPolicy(Qt::NoFocus);
    m_mixagePourCent = new QComboBox(m_picture1);
    m_mixagePourCent->setObjectName(QStringLiteral("MixagePourCent"));
    m_mixagePourCent->setFocusPolicy(Qt::NoFocus);
    m_lblPourCent = makeLabel(QStringLiteral("LblPourCent"), QString(), m_picture1);
    m_lblPourCent->setAlignment(Qt::AlignCenter);
    m_lblPourCent->setMinimumWidth(68);
    controls->addWidget(m_checkAutoMix);
    controls->addWidget(m_mixagePourCent);
    controls->addWidget(m_lblPourCent, 0, Qt::AlignVCenter);
    controls->addSpacing(18);

    m_p1 = new QToolButton(m_picture1);
    m_p1->setObjectName(QStringLiteral("P1"));
    m_p1->setToolTip(QStringLiteral(" Active le mode requette automatique "));
    m_p1->setIconSize(QSize(kPictureSize - 8, kPictureSize - 8));
    m_p1->setFocusPolicy(Qt::NoFocus);
    m_p1->setAutoRaise(true);
    controls->addWidget(m_p1);
    controls->addStretch(1);

    m_output = new QComboBox(m_picture1);
    m_output->setObjectName(QStringLiteral("Output"));
    m_output->setToolTip(QStringLiteral(" Choix de la sortie principale "));
    m_pfl = new QComboBox(m_picture1);
    m_pfl->setObjectName(QStringLiteral("PFL"));
    m_pfl->setToolTip(QStringLiteral(" Choix de la PFL "));
    for (QComboBox* list : {m_output, m_pfl}) {
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(14);
        list->setFocusPolicy(Qt::NoFocus);
    }
    auto* outputs = new QVBoxLayout;
    outputs->setSpacing(4);
    outputs->addWidget(m_output);
    outputs->addWidget(m_pfl);
    controls->addLayout(outputs);
    grid->addLayout(controls, 3, 0, 1, 4);

    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    return m_picture1;
}

QWidget* MainWindow::buildBottomPanel() {
    m_picture2 = new QFrame(this);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    auto* layout = new QHBoxLayout(m_picture2);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* splitter = new QSplitter(Qt::Horizontal, m_picture2);
    layout->addWidget(splitter);

    auto* browserSide = new QWidget(splitter);
    auto* browserLayout = new QVBoxLayout(browserSide);
    browserLayout->setContentsMargins(0, 0, 0, 0);
    browserLayout->setSpacing(4);
    m_listRech = new QTreeWidget(browserSide);
    m_listRech->setObjectName(QStringLiteral("ListRech"));
    m_listRech->setHeaderLabels({QStringLiteral("Artiste"), QStringLiteral("Titre"),
                                 QStringLiteral("Durée"), QStringLiteral("Fichier")});
    m_listRech->setColumnWidth(0, 150);
    m_listRech->setColumnWidth(1, 150);
    m_listRech->setColumnWidth(2, 47);
    m_listRech->setRootIsDecorated(false);
    m_listRech->setUniformRowHeights(true);
    m_listRech->setAlternatingRowColors(true);
    m_listRech->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listRech->setDragEnabled(true);
    m_listRech->setDragDropMode(QAbstractItemView::DragOnly);
    m_listRech->setDefaultDropAction(Qt::CopyAction);
    m_trackBarPfl = makeSlider(QStringLiteral("TrackBarPFL"), browserSide);
    browserLayout->addWidget(m_listRech, 1);
    browserLayout->addWidget(m_trackBarPfl);

    auto* playlistSide = new QWidget(splitter);
    auto* playlistLayout = new QVBoxLayout(playlistSide);
    playlistLayout->setContentsMargins(0, 0, 0, 0);
    playlistLayout->setSpacing(4);
    m_pl = new PlaylistView(playlistSide);
    m_pl->setBrowser(m_listRech);
    m_lblTemps = makeLabel(QStringLiteral("LblTemps"), QString(), playlistSide);
    m_lblTemps->setToolTip(QStringLiteral(" Temps total de la playlist "));
    m_lblTemps->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    playlistLayout->addWidget(m_pl, 1);
    playlistLayout->addWidget(m_lblTemps);

    splitter->addWidget(browserSide);
    splitter->addWidget(playlistSide);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setChildrenCollapsible(false);

    connect(m_pl, &PlaylistView::deleteReleased, this, &MainWindow::PL_DeleteReleased);
    connect(m_pl, &PlaylistView::reorderDropped, this, &MainWindow::PL_ReorderDropped);
    connect(m_pl, &PlaylistView::browserDropped, this, &MainWindow::PL_BrowserDropped);
    return m_picture2;
}

void MainWindow::buildMenus() {
    struct Item {
        const char* name;
        const char* text;
        void (MainWindow::*handler)();
    };
    const Item items[] = {
        {"mnuNouvelle", "Nouvelle", &MainWindow::mnuNouvelle_Click},
        {"MnuOuvrir", "Ouvrir", &MainWindow::MnuOuvrir_Click},
        {"MnuSauver", "Sauver", &MainWindow::MnuSauver_Click},
        {"mnuRequette", "Requette", &MainWindow::mnuRequette_Click},
        {"mnuQuitter", "Quitter", &MainWindow::mnuQuitter_Click},
    };
    for (const Item& item : items) {
        QAction* action = menuBar()->addAction(QString::fromUtf8(item.text));
        action->setObjectName(QString::fromUtf8(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }
}

void MainWindow::buildTimers() {
    auto makeTimer = [this](const QString& name, int ms) {
        auto* timer = new QTimer(this);
        timer->setObjectName(name);
        timer->setInterval(ms);
        return timer;
    };
    m_timer1 = makeTimer(QStringLiteral("Timer1"), core::Transport::kTimer1PeriodMs);
    // Timer2 runs while pre-listening plays; the pre-listening player starts it.
    m_timer2 = makeTimer(QStringLiteral("Timer2"), core::Transport::kTimer2PeriodMs);
    m_timer3 = makeTimer(QStringLiteral("Timer3"), core::Transport::kTimer3PeriodMs);
    m_waitTimer = makeTimer(QStringLiteral("TimerAttente"), kWaitPollMs);
    m_levelTimer = makeTimer(QStringLiteral("TimerNiveaux"), kLevelRefreshMs);
    connect(m_timer1, &QTimer::timeout, this,
            [this] { forward([this] { m_transport->Timer1_Timer(); }); });
    connect(m_timer2, &QTimer::timeout, this,
            [this] { forward([this] { m_transport->Timer2_Timer(); }); });
    connect(m_timer3, &QTimer::timeout, this,
            [this] { forward([this] { m_transport->Timer3_Timer(); }); });
    connect(m_waitTimer, &QTimer::timeout, this,
            [this] { forward([this] { m_transport->pollWaits(); }); });
    connect(m_levelTimer, &QTimer::timeout, this, &MainWindow::refreshLevels);
    m_timer3->start();
    m_waitTimer->start();
    m_levelTimer->start();
    syncTimer1();
}

void MainWindow::connectTransport() {
    core::Transport* transport = m_transport.get();
    connect(transport, &core::Transport::displayChanged, this, &MainWindow::applyDisplay);
    connect(transport, &core::Transport::playlistChanged, this, &MainWindow::syncPlaylist);
    connect(transport, &core::Transport::focusBrowser, this,
            [this] { m_listRech->setFocus(Qt::OtherFocusReason); });

    connect(m_cmdPlay, &QPushButton::clicked, this,
            [this] { forward([this] { m_transport->CmdPlay_Click(); }); });
    connect(m_cmdStop, &QPushButton::clicked, this,
            [this] { forward([this] { m_transport->CmdStop_Click(); }); });
    connect(m_cmdStopImmediat, &QPushButton::clicked, this,
            [this] { forward([this] { m_transport->CmdStopImmediat_Click(); }); });
    connect(m_p1, &QToolButton::clicked, this,
            [this] { forward([this] { m_transport->P1_Click(); }); });
    connect(m_checkAutoMix, &QCheckBox::clicked, this, [this](bool checked) {
        forward([this, checked] { m_transport->CheckAutoMix_Click(checked); });
    });
    connect(m_mixagePourCent, &QComboBox::currentIndexChanged, this, [this](int entry) {
        if (entry >= 0) {
            forward([this, entry] { m_transport->MixagePourCent_Click(entry); });
        }
    });
    connect(m_ps, &QSlider::valueChanged, this, [this](int seconds) {
        m_lblPs->setText(QString::number(seconds));
        forward([this, seconds] { m_transport->PS_Change(seconds); });
    });

    connect(m_trackBar, &QSlider::sliderPressed, this, [this] { m_transport->TrackBar_Press(); });
    connect(m_trackBar, &QSlider::sliderReleased, this, [this] {
        forward([this] { m_transport->TrackBar_Release(m_trackBar->sliderPosition()); });
    });
    // A click beside the handle moves the slider by a page without pressing
    // it: it seeks all the same, as a press and a release at the new value.
    connect(m_trackBar, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove && action != QAbstractSlider::SliderNoAction &&
            !m_trackBar->isSliderDown()) {
            m_transport->TrackBar_Press();
            forward([this] { m_transport->TrackBar_Release(m_trackBar->sliderPosition()); });
        }
    });
    connect(m_trackBarPfl, &QSlider::sliderPressed, this,
            [this] { m_transport->TrackBarPFL_Press(); });
    connect(m_trackBarPfl, &QSlider::sliderReleased, this,
            [this] { m_transport->TrackBarPFL_Release(); });

    connect(m_output, &QComboBox::currentIndexChanged, this, &MainWindow::Output_Click);
}

void MainWindow::applyStyle() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x1a, 0x1d, 0x22));
    palette.setColor(QPalette::WindowText, QColor(0xd6, 0xdb, 0xe1));
    palette.setColor(QPalette::Base, QColor(0x1b, 0x1f, 0x24));
    palette.setColor(QPalette::AlternateBase, QColor(0x20, 0x25, 0x2b));
    palette.setColor(QPalette::Text, QColor(0xd6, 0xdb, 0xe1));
    palette.setColor(QPalette::Button, QColor(0x29, 0x2f, 0x37));
    palette.setColor(QPalette::ButtonText, QColor(0xd6, 0xdb, 0xe1));
    palette.setColor(QPalette::Highlight, QColor(0x3d, 0x8b, 0xd4));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0x25, 0x2b, 0x33));
    palette.setColor(QPalette::ToolTipText, QColor(0xe2, 0xe7, 0xec));
    setPalette(palette);
    setStyleSheet(QString::fromUtf8(kStyleSheet));
}

// --- Load, settings and close ---

bool MainWindow::Form_Load(const LoadOptions& options) {
    const int screenWidth = options.screenWidth >= 0 ? options.screenWidth
                            : QGuiApplication::primaryScreen()
                                ? QGuiApplication::primaryScreen()->geometry().width()
                                : 0;
    if (!screenWideEnough(screenWidth)) {
        m_dialogs.message({QStringLiteral("Le programme ne fonctione pas en dessous de 800x600"),
                           QString(), core::MessageIcon::None, core::MessageButtons::Ok});
        return false;
    }

    m_cheminAppli = options.cheminAppli.isEmpty() ? core::CheminAppli() : options.cheminAppli;
    if (!m_cheminAppli.endsWith(QLatin1Char('/')) && !m_cheminAppli.endsWith(QDir::separator())) {
        m_cheminAppli += QLatin1Char('/');
    }
    m_fichierIni = core::FichierIni(m_cheminAppli);
    m_fichierCatalogue = core::FichierCatalogue(m_cheminAppli);

    fillDeviceLists();
    m_lblPs->setText(QString::number(m_ps->value()));
    LSOutputPlayer(QStringLiteral("Load"));

    {
        const QSignalBlocker blocker(m_mixagePourCent);
        m_mixagePourCent->clear();
        m_mixagePourCent->addItems(core::mixagePourCentEntries());
    }
    m_mixagePourCent->setCurrentIndex(core::kMixagePourCentDefaultEntry);

    if (options.splash) {
        options.splash->hide();
    }
    m_checkAutoMix->setChecked(true);
    forward([this] { m_transport->CheckAutoMix_Click(true); });
    return true;
}

void MainWindow::fillDeviceLists() {
    const QStringList entries = core::buildDeviceEntries(
        [this](int index) { return QString::fromStdString(m_chain->output->deviceName(index)); });
    for (QComboBox* list : {m_output, m_pfl}) {
        const QSignalBlocker blocker(list);
        list->clear();
        list->addItems(entries);
        list->setCurrentIndex(0);
    }
}

void MainWindow::LSOutputPlayer(const QString& cmd) {
    if (cmd == QLatin1String("Load")) {
        const core::OutputSelection selection = core::chooseOutputs(
            core::readOutputSettings(m_fichierIni), m_output->count(), m_pfl->count());
        if (selection.showMessage) {
            mauvaisChoixDeSortie();
            return;
        }
        m_output->setCurrentIndex(selection.first);
        // Selecting the entry that is already shown emits nothing; the device
        // must still become the one chosen.
        Output_Click(m_output->currentIndex());
        m_pfl->setCurrentIndex(selection.second);
    } else if (cmd == QLatin1String("Save")) {
        const core::OutputChoice choice{int16_t(m_output->currentIndex()),
                                        int16_t(m_pfl->currentIndex())};
        if (!core::writeOutputSettings(m_fichierIni, choice)) {
            mauvaisChoixDeSortie();
        }
    }
}

void MainWindow::mauvaisChoixDeSortie() {
    m_dialogs.message({QString::fromUtf16(core::kMauvaisChoixMessage),
                       QString::fromUtf16(core::kMauvaisChoixTitle), core::MessageIcon::Exclamation,
                       core::MessageButtons::Ok});
    core::removeOutputSettings(m_fichierIni);
    m_output->setCurrentIndex(0);
    Output_Click(0);
    m_pfl->setCurrentIndex(0);
}

void MainWindow::Output_Click(int entry) {
    // The list is disabled on air; this guard keeps a broadcast from being cut
    // should a selection still arrive.
    if (entry < 0 || m_transport->EnDiffusion()) {
        return;
    }
    m_chain->output->stop();
    m_chain->output->close();
    m_chain->output->setDeviceIndex(core::deviceIndexForEntry(entry));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_transport->EnDiffusion()) {
        event->ignore();
        return;
    }
    m_timer1->stop();
    m_chain->output->stop();
    m_chain->output->close();
    for (audio::FileSource& source : m_chain->sources) {
        source.setFileName(std::string());
    }
    LSOutputPlayer(QStringLiteral("Save"));
    event->accept();
    emit programEnded();
}

// --- Transport display ---

void MainWindow::syncTimer1() {
    const bool wanted = m_transport->timer1Enabled();
    if (wanted && !m_timer1->isActive()) {
        m_timer1->start();
    } else if (!wanted && m_timer1->isActive()) {
        m_timer1->stop();
    }
}

void MainWindow::applyDisplay() {
    const core::TransportDisplay& display = m_transport->display();
    m_lblArtiste->setText(display.artiste);
    m_lblArtiste->setToolTip(display.artiste);
    m_lblPo->setText(display.position);
    m_lblReste->setText(display.reste);
    m_lblTemps->setText(display.temps);
    m_lblTime->setText(display.time);
    m_lblPourCent->setText(display.pourCent);
    m_lblPourCent->setVisible(display.mixIntelligent);
    m_mixagePourCent->setVisible(display.mixIntelligent);
    m_checkAutoMix->setChecked(display.mixIntelligent);
    m_output->setEnabled(display.outputEnabled);

    // A slider held by the operator is left where the hand puts it.
    if (!m_trackBar->isSliderDown()) {
        const QSignalBlocker blocker(m_trackBar);
        m_trackBar->setMaximum(std::max(display.trackBarMaximum, 0));
        m_trackBar->setValue(display.trackBarValue);
    }
    if (!m_trackBarPfl->isSliderDown()) {
        const QSignalBlocker blocker(m_trackBarPfl);
        m_trackBarPfl->setValue(display.pflBarValue);
    }
    if (m_ps->value() != display.exitPointSeconds) {
        const QSignalBlocker blocker(m_ps);
        m_ps->setValue(display.exitPointSeconds);
    }
    m_lblPs->setText(QString::number(m_ps->value()));

    if (display.playPicture != m_shownPlayPicture && display.playPicture >= 0 &&
        display.playPicture < m_btn.size()) {
        m_shownPlayPicture = display.playPicture;
        m_cmdPlay->setIcon(m_btn[display.playPicture]);
    }
    if (display.stopPicture != m_shownStopPicture && display.stopPicture >= 0 &&
        display.stopPicture < m_btn.size()) {
        m_shownStopPicture = display.stopPicture;
        m_cmdStop->setIcon(m_btn[display.stopPicture]);
    }
    const int p1Picture = display.requetteAuto ? 1 : 0;
    if (p1Picture != m_shownP1Picture) {
        m_shownP1Picture = p1Picture;
        m_p1->setIcon(m_p1Pictures[p1Picture]);
    }
    setOnAirLook(m_transport->EnDiffusion());
    syncTimer1();
}

void MainWindow::setOnAirLook(bool onAir) {
    if (int(onAir) == m_shownOnAir) {
        return;
    }
    m_shownOnAir = int(onAir);
    setLook(m_picture1, "onAir", onAir);
    setLook(m_lblArtiste, "onAir", onAir);
    setLook(m_lblReste, "onAir", onAir);
}

void MainWindow::refreshLevels() {
    m_levelLeft->setLevel(m_chain->output->levelLeft());
    m_levelRight->setLevel(m_chain->output->levelRight());
}

void MainWindow::CalculTiming() {
    forward([this] { m_transport->CalculTiming(); });
}

// --- Playlist ---

void MainWindow::syncPlaylist() {
    m_pl->syncFrom(m_playlist);
}

core::TrackLengthReader MainWindow::lengthReader() {
    return core::sourceLengthReader(m_chain->sources[2]);
}

bool MainWindow::addBrowserRow(const QStringList& cells, int insertBefore, bool fromDrop) {
    core::PlaylistRow row;
    for (int column = 0; column <= core::PlaylistRow::kPathColumn && column < cells.size();
         ++column) {
        row.setCell(column, cells[column]);
    }
    const BusyCursor busy;
    const core::MillisecondsCell ms =
        fromDrop ? core::MillisecondsCell::Filled : core::MillisecondsCell::Empty;
    if (!core::refreshRowLength(lengthReader(), ms, &row)) {
        return false;
    }
    const bool added =
        insertBefore > 0 ? m_playlist.insertAt(insertBefore, row) : (m_playlist.append(row), true);
    syncPlaylist();
    return added;
}

void MainWindow::PL_DeleteReleased() {
    const int row = m_pl->selectedRow();
    if (m_playlist.removeAt(row)) {
        syncPlaylist();
    }
}

void MainWindow::PL_ReorderDropped(int from, int to) {
    if (m_playlist.moveRow(from, to)) {
        syncPlaylist();
        m_pl->setCurrentItem(m_pl->topLevelItem(to - 1));
    }
}

void MainWindow::PL_BrowserDropped(int insertBefore) {
    QTreeWidgetItem* item = m_listRech->currentItem();
    if (m_listRech->topLevelItemCount() == 0 || item == nullptr || !item->isSelected()) {
        return;
    }
    QStringList cells;
    for (int column = 0; column <= core::PlaylistRow::kPathColumn; ++column) {
        cells.append(item->text(column));
    }
    addBrowserRow(cells, insertBefore, true);
}

void MainWindow::mnuNouvelle_Click() {
    m_playlist.clear();
    syncPlaylist();
}

void MainWindow::MnuOuvrir_Click() {
    const QString file = m_dialogs.openFileName(m_cheminAppli, kPlaylistFilter);
    if (file.isEmpty()) {
        return;  // cancelled: the playlist stays as it was
    }
    core::PlaylistLoadReport report;
    {
        const BusyCursor busy;
        report = core::loadPlaylistFile(file, lengthReader(), &m_playlist);
        syncPlaylist();
    }
    // A load that stopped at an unreadable track keeps the rows before it;
    // the total then counts what is really there.
    if (report.fileRead) {
        CalculTiming();
    }
}

void MainWindow::MnuSauver_Click() {
    const QString file =
        m_dialogs.saveFileName(m_cheminAppli, kPlaylistFilter, QStringLiteral("pls"));
    if (file.isEmpty()) {
        return;
    }
    const BusyCursor busy;
    core::savePlaylistFile(file, m_playlist);
}

void MainWindow::mnuRequette_Click() {
    forward([this] { Requette(); });
}

void MainWindow::Requette() {
    if (m_requetteHook) {
        m_requetteHook();
        syncPlaylist();
    }
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

}  // namespace varonel::ui
