#include "Transport.h"

#include <algorithm>
#include <cmath>

#include "PlaylistTiming.h"
#include "TrackNaming.h"

namespace varonel::core {
namespace {

double secondsOfDay(const QTime& time) {
    return time.msecsSinceStartOfDay() / 1000.0;
}

}  // namespace

Transport::Transport(MainAudioChain& chain, PlaylistModel& playlist, Clock& clock, Dialogs& dialogs,
                     QObject* parent)
    : QObject(parent), m_chain(chain), m_playlist(playlist), m_clock(clock), m_dialogs(dialogs) {}

int Transport::SourceActive() const {
    return m_chain.mixer.inputFinished(0) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Start

void Transport::CmdPlay_Click() {
    // A start during the stop's fade would find the output about to stop under
    // it: it is refused until the stop has finished.
    if (m_EnDiffusion || stopping()) {
        return;
    }
    m_statistics.reset();
    m_EnchainerMaintenant = false;
    if (m_playlist.isEmpty()) {
        m_dialogs.message({QStringLiteral("Le réservoir est vide"), {}, MessageIcon::None});
    } else if (startFirstTrack()) {
        m_EnDiffusion = true;
        CalculTiming();
    }
    MajBouton();
}

// Loads row 1 into source 0 and starts the output. A failing step is shown to
// the operator, who may try it again or give up; unattended, an unreadable row
// is dropped and the next one tried.
bool Transport::startFirstTrack() {
    audio::FileSource& source = m_chain.sources[0];
    m_chain.sources[2].setFileName({});
    for (;;) {
        if (m_playlist.isEmpty()) {
            return false;
        }
        m_chain.mixer.setInputFinished(0, true);
        const PlaylistRow row = m_playlist.row(1);
        if (source.setFileName(row.path.toStdString())) {
            break;
        }
        const QString error = QString::fromStdString(source.lastError());
        if (m_unattended) {
            emit trackSkipped(row.path, error);
            m_playlist.removeAt(1);
            emit playlistChanged();
            continue;
        }
        if (m_dialogs.message({error, QStringLiteral("Alerte"), MessageIcon::Critical,
                               MessageButtons::RetryCancel}) != MessageAnswer::Retry) {
            return false;
        }
    }
    m_chain.mixer.setPaused(false);
    m_chain.mixer.setInputFinished(0, false);
    std::string error;
    while (!m_chain.output->start(&error)) {
        if (m_unattended ||
            m_dialogs.message({QString::fromStdString(error), QStringLiteral("Alerte"),
                               MessageIcon::Critical, MessageButtons::RetryCancel}) !=
                MessageAnswer::Retry) {
            m_chain.mixer.setInputFinished(0, true);
            source.setFileName({});
            return false;
        }
    }
    setTimer1(true);
    showOnAir(m_playlist.row(1));
    m_playlist.removeAt(1);
    emit playlistChanged();
    m_display.trackBarMaximum = source.lengthMs();
    m_display.trackBarValue = 0;
    m_display.outputEnabled = false;
    return true;
}

// ---------------------------------------------------------------------------
// The 100 ms tick

void Transport::Timer1_Timer() {
    if (!m_timer1Enabled) {
        return;
    }
    if (m_MixIntelligent) {
        m_statistics.addSample(m_chain.output->levelLeft() + m_chain.output->levelRight());
        m_display.pourCent = m_statistics.LblPourCent();
    }
    const int active = SourceActive();
    audio::FileSource& source = m_chain.sources[size_t(active)];
    m_DureeMs = source.lengthMs();
    m_PositionMs = source.positionMs();
    m_display.position = FTime(m_PositionMs);
    m_display.reste = FTime(m_DureeMs - m_PositionMs);
    if (m_EnchainerMaintenant) {
        source.fadeOut(kFadeMs);
    }
    // Without a known length no transition is made, not even a requested one,
    // except once the track has really ended: the air is never left silent.
    const bool endedUnmeasured = m_DureeMs < 1 && m_chain.mixer.inputFinished(active);
    if (endedUnmeasured) {
        transition(active);
    } else if (m_DureeMs >= 1) {
        if (m_MixIntelligent &&
            m_statistics.shouldChainEarly(m_PositionMs, m_DureeMs, m_mixagePourCent)) {
            m_EnchainerMaintenant = true;
        }
        if (m_display.exitPointSeconds * 1000 + m_PositionMs >= m_DureeMs ||
            m_EnchainerMaintenant) {
            transition(active);
        }
    }
    if (!m_GlissementEnCours) {
        m_display.trackBarValue = source.positionMs();
        m_display.pflBarValue = m_pflPosition ? m_pflPosition() : 0;
    }
    changed();
}

// Starts the next track on the other source while the one on air fades out. The
// wait for the outgoing input to finish is ended by pollWaits().
void Transport::transition(int active) {
    const int next = 1 - active;
    m_statistics.reset();
    audio::FileSource& incoming = m_chain.sources[size_t(next)];
    // A row whose file cannot be opened is dropped and the next one tried at
    // once, so an unreadable file never leaves the air silent.
    for (;;) {
        if (m_playlist.isEmpty()) {
            CmdStop_Click();
            return;
        }
        m_chain.mixer.setInputFinished(next, true);
        const PlaylistRow& row = m_playlist.row(1);
        if (incoming.setFileName(row.path.toStdString())) {
            break;
        }
        emit trackSkipped(row.path, QString::fromStdString(incoming.lastError()));
        m_playlist.removeAt(1);
        emit playlistChanged();
    }
    m_chain.mixer.setInputFinished(next, false);
    m_chain.sources[size_t(active)].fadeOut(kFadeMs);
    showOnAir(m_playlist.row(1));
    m_playlist.removeAt(1);
    emit playlistChanged();
    setTimer1(false);
    m_outgoingSource = active;
    m_transitionDeadline = m_clock.monotonicMs() + kTransitionSafetyMs;
}

void Transport::pollWaits() {
    const int64_t now = m_clock.monotonicMs();
    if (inTransition() &&
        (m_chain.mixer.inputFinished(m_outgoingSource) || now >= m_transitionDeadline)) {
        finishTransition();
    }
    if (stopping() && now >= m_stopDeadline) {
        finishStop();
    }
}

void Transport::finishTransition() {
    m_transitionDeadline = -1;
    if (!m_chain.mixer.inputFinished(m_outgoingSource)) {
        // The outgoing input never reported the end of its fade: release it.
        m_chain.mixer.setInputFinished(m_outgoingSource, true);
        m_chain.sources[size_t(m_outgoingSource)].setFileName({});
    }
    m_display.trackBarMaximum = m_chain.sources[size_t(1 - m_outgoingSource)].lengthMs();
    m_statistics.reset();
    setTimer1(true);
    m_EnchainerMaintenant = false;
    CalculTiming();
}

// ---------------------------------------------------------------------------
// Stop

void Transport::CmdStop_Click() {
    if (stopping()) {
        return;
    }
    m_EnDiffusion = false;
    m_display.stopPicture = kStopInProgress;
    setTimer1(false);
    // A stop in the middle of a transition ends it: both tracks fade together,
    // and the transition's end can no longer bring the tick back.
    m_transitionDeadline = -1;
    for (int input = 0; input < 2; ++input) {
        if (input == SourceActive() || !m_chain.mixer.inputFinished(input)) {
            m_chain.sources[size_t(input)].fadeOut(kFadeMs);
        }
    }
    m_stopDeadline = m_clock.monotonicMs() + kStopWaitMs;
    emit stopBegun();
    changed();
}

void Transport::finishStop() {
    m_stopDeadline = -1;
    m_chain.output->stop();
    for (int input = 0; input < audio::Mixer::kInputs; ++input) {
        m_chain.mixer.setInputFinished(input, true);
        m_chain.sources[size_t(input)].setFileName({});
    }
    m_display.outputEnabled = true;
    MajBouton();
    // The automatic request is always left switched off.
    m_RequetteAuto = true;
    P1_Click();
}

void Transport::MajBouton() {
    m_display.playPicture = m_EnDiffusion ? kPlayOnAir : kPlayIdle;
    m_display.stopPicture = m_EnDiffusion ? kStopOnAir : kStopIdle;
    changed();
    emit focusBrowser();
}

// ---------------------------------------------------------------------------
// Other commands

void Transport::CmdStopImmediat_Click() {
    m_EnchainerMaintenant = true;
    emit focusBrowser();
}

void Transport::TrackBar_Release(int32_t value) {
    m_chain.sources[size_t(SourceActive())].setPositionMs(value);
    m_GlissementEnCours = false;
}

void Transport::PS_Change(int seconds) {
    m_display.exitPointSeconds = std::clamp(seconds, 1, 30);
    changed();
}

void Transport::CheckAutoMix_Click(bool checked) {
    m_MixIntelligent = checked;
    m_display.mixIntelligent = checked;
    if (checked) {
        m_display.exitPointSeconds = 2;
    }
    changed();
}

void Transport::MixagePourCent_Click(int entry) {
    const QStringList entries = mixagePourCentEntries();
    if (entry >= 0 && entry < entries.size()) {
        m_mixagePourCent = entries[entry].toInt();
    }
}

void Transport::P1_Click() {
    m_RequetteAuto = !m_RequetteAuto;
    m_display.requetteAuto = m_RequetteAuto;
    changed();
    // Switching the mode on tops the playlist up at once, not only at the next
    // refill: the operator sees at the click that the mode works.
    if (m_RequetteAuto && m_requette) {
        m_requette();
    }
}

void Transport::CalculTiming() {
    m_display.temps = core::CalculTiming(m_playlist);
    changed();
}

void Transport::Timer2_Timer() {
    if (!m_GlissementEnCours) {
        m_display.pflBarValue = m_pflPosition ? m_pflPosition() : 0;
        changed();
    }
}

// ---------------------------------------------------------------------------
// The 80 ms tick: clock, keys, automatic refill

void Transport::Timer3_Timer() {
    const QTime now = m_clock.timeOfDay();
    m_display.time = now.toString(QStringLiteral("HH:mm:ss"));
    if (m_keyboard && m_keyboard->mainWindowActive()) {
        if (m_keyboard->isHeld(TransportKey::Numpad0)) {
            m_EnchainerMaintenant = true;
        }
        if (m_keyboard->isHeld(TransportKey::Space)) {
            spaceKey(secondsOfDay(now));
        }
        if (m_keyboard->isHeld(TransportKey::Enter)) {
            CmdPlay_Click();
        }
    }
    if (m_keyboard) {
        m_keyboard->tickRead();
    }
    if (m_EnDiffusion && m_RequetteAuto && now.second() % 10 == 0 && m_playlist.count() < 2 &&
        m_requette) {
        m_requette();
    }
    changed();
}

// Space toggles start and stop at most once every 2 seconds while held.
void Transport::spaceKey(double now) {
    if (now - m_DernierEspace < 0) {
        m_DernierEspace = now - 3;  // midnight has passed
    }
    if (now - m_DernierEspace > 2) {
        m_DernierEspace = std::floor(now);
        if (m_EnDiffusion) {
            CmdStop_Click();
        } else {
            CmdPlay_Click();
        }
    }
}

void Transport::showOnAir(const PlaylistRow& row) {
    m_display.artiste = row.artist + QStringLiteral(" - ") + row.title;
    emit trackStarted(m_display.artiste, row.path);
}

}  // namespace varonel::core
