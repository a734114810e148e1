#include "ui/varonel/MixerBrowser.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPushButton>

#include "core/request/Requette.h"
#include "core/shared/TrackNaming.h"
#include "core/shared/TwipRect.h"
#include "ui/shared/BusyCursor.h"
#include "ui/varonel/PlaylistCommands.h"

namespace varonel::ui {

namespace {

// Widths of the browser's columns in twips; the duration column shows only
// while durations are on.
constexpr int kDureeOnTwips = 700;
QList<int> columnTwips(bool durations) {
    return {3000, 3000, durations ? kDureeOnTwips : 0, 6000};
}

}  // namespace

MixerBrowser::MixerBrowser(QWidget* host, core::PlaylistModel& playlist, PlaylistCommands& commands,
                           core::PreListening& preListening, core::StatusLine& status,
                           core::TrackLengthReader reader, std::function<void()> calculTiming)
    : QObject(host),
      m_model({core::Artiste, true}),
      m_browser(host, &m_model),
      m_playlist(playlist),
      m_commands(commands),
      m_preListening(preListening),
      m_status(status),
      m_reader(std::move(reader)),
      m_calculTiming(std::move(calculTiming)),
      m_checkDuree(new QPushButton(host)) {
    m_durations.serve(&m_model);
    m_checkDuree->setObjectName(QStringLiteral("CheckDuree"));
    m_checkDuree->setCheckable(true);
    m_checkDuree->setFocusPolicy(Qt::NoFocus);
    m_checkDuree->setToolTip(QStringLiteral(" Lecture des durées du navigateur "));
    showDureeState();
    commands.setBrowser(m_browser.view());
    connect(m_checkDuree, &QPushButton::clicked, this, &MixerBrowser::CheckDuree_Click);
    connect(m_browser.view(), &BrowserView::rowClicked, this, &MixerBrowser::ListRech_Click);
    connect(m_browser.view(), &BrowserView::rowDoubleClicked, this,
            &MixerBrowser::ListRech_DblClick);
}

void MixerBrowser::Requette() {
    core::RequetteContext context{m_model,
                                  m_playlist,
                                  m_reader,
                                  m_clock,
                                  [] { QCoreApplication::processEvents(); },
                                  [](bool on) {
                                      on ? QGuiApplication::setOverrideCursor(Qt::WaitCursor)
                                         : QGuiApplication::restoreOverrideCursor();
                                  },
                                  [this] { m_commands.syncPlaylist(); },
                                  [this](const QString& text) { m_status.post(text); }};
    context.round = m_round;
    context.neverDry = m_switchOn && m_switchOn();
    core::Requette(context);
    m_calculTiming();
}

// The request runs first, whatever the mode; then the switch shows its state.
// Rows already listed keep what they have: durations come with the next fill.
void MixerBrowser::CheckDuree_Click() {
    Requette();
    m_browser.setDurationsOn(m_checkDuree->isChecked());
    showDureeState();
}

void MixerBrowser::showDureeState() {
    const bool on = m_checkDuree->isChecked();
    m_checkDuree->setText(on ? QStringLiteral("Durée On") : QStringLiteral("Durée Off"));
    m_browser.view()->setColumnTwips(columnTwips(on));
}

void MixerBrowser::ListRech_Click(int row) {
    if (row >= 0 && row < m_model.count()) {
        m_preListening.rowClicked(m_model.row(row).path);
    }
}

void MixerBrowser::ListRech_DblClick(int row) {
    const int selected = m_browser.view()->selectedRow();
    if (selected >= 0 || row >= 0) {
        m_commands.addFromBrowser(m_model.row(selected >= 0 ? selected : row), 0,
                                  core::MillisecondsCell::Empty);
    }
}

}  // namespace varonel::ui
