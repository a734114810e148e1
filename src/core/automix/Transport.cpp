#include "core/automix/Transport.h"

#include <algorithm>
#include <cmath>

#include "core/playlist/PlaylistTiming.h"
#include "core/shared/FileError.h"
#include "core/shared/FileNames.h"
#include "core/shared/TrackNaming.h"

namespace varonel::core {

class Transport::TickHold {
public:
    explicit TickHold(Transport& transport) : m_transport(transport) {
        ++m_transport.m_tickHolds;
        m_transport.syncTimer1();
    }
    ~TickHold() {
        --m_transport.m_tickHolds;
        m_transport.syncTimer1();
    }
    TickHold(const TickHold&) = delete;
    TickHold& operator=(const TickHold&) = delete;

private:
    Transport& m_transport;
};

Transport::Transport(MainAudioChain& chain, PlaylistModel& playlist, Clock& clock,
                     TickSource& ticks, Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      m_chain(chain),
      m_playlist(playlist),
      m_clock(clock),
      m_dialogs(dialogs),
      m_timer1(
          ticks.makeTick(QStringLiteral("Timer1"), kTimer1PeriodMs, [this] { Timer1_Timer(); })),
      m_poll(
          ticks.makeTick(QStringLiteral("TimerAttente"), kPollPeriodMs, [this] { pollWaits(); })) {
    m_poll->start();
}

Transport::~Transport() = default;

// ---------------------------------------------------------------------------
// The phases

// Every move of the transport goes through here: idle to on air (a start) or to
// stopping (the stop's sequence runs even when idle), on air to a transition or
// to stopping, a transition back on air or to stopping, and stopping to idle.
// Any other move is a fault of the caller and is refused.
void Transport::moveTo(Phase next) {
    constexpr int kPhases = 4;
    constexpr bool kAllowed[kPhases][kPhases] = {
        // to:  Idle   OnAir  Trans. Stopping
        {false, true, false, true},   // from Idle
        {false, false, true, true},   // from OnAir
        {false, true, false, true},   // from Transition
        {true, false, false, false},  // from Stopping
    };
    if (!kAllowed[int(m_phase)][int(next)]) {
        Q_ASSERT_X(false, "Transport::moveTo", "a move the transport does not make");
        return;
    }
    m_phase = next;
    syncTimer1();
}

// Timer1 runs exactly while on air, unless a request holds it still.
void Transport::syncTimer1() {
    const bool wanted = m_phase == Phase::OnAir && m_tickHolds == 0;
    if (wanted && !m_timer1->isActive()) {
        m_timer1->start();
    } else if (!wanted && m_timer1->isActive()) {
        m_timer1->stop();
    }
}

int Transport::SourceActive() const {
    if (m_onAir >= 0) {
        return m_onAir;
    }
    return m_chain.mixer.inputFinished(0) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Start

void Transport::CmdPlay_Click() {
    // A start during the stop's fade would find the output about to stop under
    // it: it is refused until the stop has finished.
    if (m_phase != Phase::Idle) {
        return;
    }
    m_statistics.reset();
    m_EnchainerMaintenant = false;
    if (m_playlist.isEmpty()) {
        m_dialogs.message({QStringLiteral("Le réservoir est vide"), {}, MessageIcon::None});
    } else if (startFirstTrack()) {
        moveTo(Phase::OnAir);
        CalculTiming();
    }
    MajBouton();
}

void Transport::resumeAt(int32_t positionMs) {
    m_resumeAtMs = std::max(positionMs, 0);
    CmdPlay_Click();
    m_resumeAtMs = 0;
}

// Loads row 1 into source 0 and starts the output. A failing step is shown to
// the operator, who may try it again or give up; unattended, an unreadable row
// is dropped and the next one tried.
bool Transport::startFirstTrack() {
    using LoadState = audio::FileSource::LoadState;
    audio::FileSource& source = m_chain.sources[0];
    m_chain.sources[2].load({});
    for (;;) {
        if (m_playlist.isEmpty()) {
            return false;
        }
        m_chain.mixer.setInputFinished(0, true);
        const PlaylistRow row = m_playlist.row(1);
        const std::string path = systemPath(row.path);
        // A retry after a file that did not answer goes on waiting for it.
        if (source.fileName() != path || source.loadState() != LoadState::Loading) {
            source.load(path, planFor(0, row.path));
        }
        const bool answered = source.waitForLoad(m_unattended ? -1 : kStartLoadWaitMs);
        if (answered && source.loadState() == LoadState::Ready) {
            if (m_resumeAtMs > 0) {
                source.setPositionMs(m_resumeAtMs);
            }
            break;
        }
        const QString error =
            answered ? fileErrorText(row.path, QString::fromStdString(source.lastError()))
                     : QStringLiteral("Le fichier ne répond pas : ") + row.path;
        // A row that names no file can never start: asking again would be
        // asked for ever, so it goes the way of an unattended skip.
        if (m_unattended || isBlankPath(row.path)) {
            emit trackSkipped(row.path, error);
            m_playlist.removeAt(1);
            emit playlistChanged();
            continue;
        }
        if (m_dialogs.message({error, QStringLiteral("Alerte"), MessageIcon::Critical,
                               MessageButtons::RetryCancel}) != MessageAnswer::Retry) {
            source.load({});
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
            source.load({});
            return false;
        }
    }
    m_onAir = 0;
    showOnAir(m_playlist.row(1), 0);
    m_playlist.removeAt(1);
    emit playlistChanged();
    m_display.trackBarMaximum = source.lengthMs();
    m_display.trackBarValue = m_resumeAtMs;
    m_display.outputEnabled = false;
    return true;
}

// Where `source`'s next track starts and how loud, from the planner; without
// one, the whole file at its own level.
audio::TrackCues Transport::planFor(int source, const QString& path) {
    const PlayPlan plan = m_planner ? m_planner->plan(path) : PlayPlan();
    m_audioStartMs[size_t(source)] = plan.cues.startMs;
    m_audioEndMs[size_t(source)] = plan.audioEndMs;
    return plan.cues;
}

// Where the audio of the track on `source` ends: the end of the file until its
// analysis says otherwise (a track put on air before it was analysed learns it
// on the way).
int32_t Transport::audioEnd(int source) {
    int32_t& end = m_audioEndMs[size_t(source)];
    if (end <= 0 && m_planner && !m_airPath[size_t(source)].isEmpty()) {
        end = m_planner->audioEndMs(m_airPath[size_t(source)]);
    }
    return end > 0 ? std::min(end, m_DureeMs) : m_DureeMs;
}

// ---------------------------------------------------------------------------
// The 100 ms tick

void Transport::Timer1_Timer() {
    if (m_MixIntelligent) {
        m_statistics.addSample(m_chain.output->levelLeft() + m_chain.output->levelRight());
        m_display.pourCent = m_statistics.LblPourCent();
    }
    const int active = SourceActive();
    audio::FileSource& source = m_chain.sources[size_t(active)];
    m_DureeMs = source.lengthMs();
    m_PositionMs = source.positionMs();
    // What is left to be heard: up to the end of the track's audio.
    const int32_t end = audioEnd(active);
    m_display.position = FTime(m_PositionMs);
    m_display.reste = FTime(end - m_PositionMs);
    // A file still opening when its transition ended gets its length late.
    if (m_display.trackBarMaximum == 0 && m_DureeMs > 0) {
        m_display.trackBarMaximum = m_DureeMs;
    }
    const bool silent = deadAirHeard();
    if (silent) {
        emit deadAir(m_airPath[size_t(active)]);
        m_EnchainerMaintenant = true;
    }
    const bool asked = m_EnchainerMaintenant;
    if (m_EnchainerMaintenant) {
        source.fadeOut(kFadeMs);
    }
    // Without a known length no transition is made, not even a requested one,
    // except once the track has really ended, or silence has lasted: the air is
    // never left silent. A track that ended is ended whatever its position says.
    if (onAirEnded()) {
        transition(active, asked ? howChainNow() : howEnded());
    } else if (silent) {
        transition(active, howDeadAir());
    } else if (m_DureeMs >= 1) {
        QString how = asked ? howChainNow() : howExitPoint();
        // The smart mix counts from where the track's audio starts and ends.
        const int32_t start = m_audioStartMs[size_t(active)];
        if (m_MixIntelligent &&
            m_statistics.shouldChainEarly(m_PositionMs - start, end - start, m_mixagePourCent)) {
            if (!asked) {
                how = howSmartMix(m_statistics.NiveauPourCent(), m_mixagePourCent);
            }
            m_EnchainerMaintenant = true;
        }
        if (m_display.exitPointSeconds * 1000 + m_PositionMs >= end || m_EnchainerMaintenant) {
            transition(active, how);
        }
    }
    if (!m_GlissementEnCours.held) {
        m_display.trackBarValue = source.positionMs();
        if (m_followPfl) {
            m_followPfl();
        }
    }
    changed();
}

// The main output has carried nothing audible for kDeadAirMs, all of it while
// this track was on air: a track of silence, or a decoder that yields nothing
// but silence. A track's own quiet passages are shorter.
bool Transport::deadAirHeard() const {
    return m_chain.output->quietMs() >= kDeadAirMs &&
           m_clock.monotonicMs() - m_onAirSinceMs >= kDeadAirMs;
}

// With the request switch on, the air never stops for want of rows: the request
// runs once more before an empty playlist ends the broadcast. False when the
// operator stopped meanwhile (the request lets window events run).
bool Transport::refillWhenDry() {
    if (m_playlist.isEmpty() && m_RequetteAuto && m_requette) {
        // The tick must not run inside the request.
        const TickHold hold(*this);
        m_requette();
    }
    return EnDiffusion();
}

// Starts the next track on the other source while the one on air fades out. The
// wait for the outgoing input to finish is ended by pollWaits().
void Transport::transition(int active, const QString& how) {
    m_statistics.reset();
    m_endHow[size_t(active)] = how;
    if (!refillWhenDry()) {
        return;
    }
    if (m_playlist.isEmpty()) {
        CmdStop_Click();
        return;
    }
    moveTo(Phase::Transition);
    m_outgoingSource = active;
    m_deadlineMs = m_clock.monotonicMs() + kTransitionSafetyMs;
    loadIncoming(1 - active);
}

// The track on air has been heard to its end (or could not be played at all).
// A file still opening has not ended.
bool Transport::onAirEnded() const {
    return m_onAir >= 0 &&
           m_chain.sources[size_t(m_onAir)].loadState() != audio::FileSource::LoadState::Loading &&
           m_chain.mixer.inputFinished(m_onAir);
}

// A track shorter than the fade (a jingle) can end while the track before it
// still fades out: the next row then follows it at once on the same source,
// and the fade goes on.
void Transport::followEndedIncoming() {
    if (m_incomingSource >= 0 || m_onAir == m_outgoingSource || !onAirEnded()) {
        return;
    }
    m_endHow[size_t(m_onAir)] = howEnded();
    endHeard(m_onAir);
    if (!refillWhenDry()) {
        return;
    }
    if (m_playlist.isEmpty()) {
        CmdStop_Click();
        return;
    }
    loadIncoming(m_onAir, false);
}

// Each track is told ended as soon as its input is no longer heard, so the
// as-run log has every track, however short, with the time it was heard.
void Transport::endSilencedTracks() {
    for (int source = 0; source < 2; ++source) {
        if (m_chain.mixer.inputFinished(source)) {
            endHeard(source);
        }
    }
}

// Gives row 1 to `source` and starts it on top of the outgoing track, which fades
// from the moment it is heard. A row whose file cannot be opened is dropped at
// the next poll and the next one tried (the outgoing track plays on meanwhile),
// so an unreadable file never leaves the air silent; with nothing left, the stop
// runs.
void Transport::loadIncoming(int source, bool crossFade) {
    m_onAir = source;
    m_incomingSource = -1;
    if (m_playlist.isEmpty() && !refillWhenDry()) {
        return;
    }
    if (m_playlist.isEmpty()) {
        CmdStop_Click();
        return;
    }
    m_incomingRow = m_playlist.row(1);
    m_playlist.removeAt(1);
    emit playlistChanged();
    m_chain.mixer.setInputFinished(source, true);
    m_chain.sources[size_t(source)].load(systemPath(m_incomingRow.path),
                                         planFor(source, m_incomingRow.path));
    m_chain.mixer.setInputFinished(source, false);
    if (crossFade && m_outgoingSource >= 0) {
        m_chain.mixer.fadeOutWhenStarted(m_outgoingSource, source, kFadeMs);
    }
    // Whether it opened is seen at the next poll, on air as in virtual time,
    // where the driver waits for the file first: every run is the same.
    m_incomingSource = source;
}

// Looks at the incoming file: on air once open, reported when it cannot be
// opened (true: the caller tries the next row). Still opening: nothing yet.
bool Transport::incomingFailed() {
    using LoadState = audio::FileSource::LoadState;
    audio::FileSource& incoming = m_chain.sources[size_t(m_incomingSource)];
    switch (incoming.loadState()) {
        case LoadState::Loading:
            return false;
        case LoadState::Ready:
            showOnAir(m_incomingRow, m_incomingSource);
            m_incomingSource = -1;
            return false;
        case LoadState::Empty:
        case LoadState::Failed:
            break;
    }
    emit trackSkipped(
        m_incomingRow.path,
        fileErrorText(m_incomingRow.path, QString::fromStdString(incoming.lastError())));
    return true;
}

// Every 10 ms: the incoming file that opened or failed, the tracks no longer
// heard, and the end of the phase's wait.
void Transport::pollWaits() {
    const int64_t now = m_clock.monotonicMs();
    if (m_incomingSource >= 0 && incomingFailed()) {
        loadIncoming(m_incomingSource,
                     m_outgoingSource >= 0 && !m_chain.mixer.inputFinished(m_outgoingSource));
    }
    endSilencedTracks();
    switch (m_phase) {
        case Phase::Transition:
            waitTransition(now);
            break;
        case Phase::OnAir:
            // A track that ended by itself is followed now rather than at the next
            // tick (unless a request holds the tick, and lets this poll run inside it).
            if (m_tickHolds == 0 && onAirEnded()) {
                transition(m_onAir, m_EnchainerMaintenant ? howChainNow() : howEnded());
            }
            break;
        case Phase::Stopping:
            if (now >= m_deadlineMs) {
                finishStop();
            }
            break;
        case Phase::Idle:
            break;
    }
}

void Transport::waitTransition(int64_t now) {
    followEndedIncoming();
    if (m_phase != Phase::Transition) {
        return;
    }
    // The safety bound counts from the moment the next file is open: a slow
    // disk must not cut the outgoing track short.
    if (m_chain.sources[size_t(m_onAir)].loadState() == audio::FileSource::LoadState::Loading) {
        m_deadlineMs = now + kTransitionSafetyMs;
    }
    if (m_chain.mixer.inputFinished(m_outgoingSource) || now >= m_deadlineMs) {
        finishTransition();
    }
}

void Transport::finishTransition() {
    if (!m_chain.mixer.inputFinished(m_outgoingSource)) {
        // The outgoing input never reported the end of its fade: release it.
        m_chain.mixer.setInputFinished(m_outgoingSource, true);
        m_chain.sources[size_t(m_outgoingSource)].load({});
    }
    endHeard(m_outgoingSource);
    m_outgoingSource = -1;
    m_display.trackBarMaximum = m_chain.sources[size_t(m_onAir)].lengthMs();
    m_statistics.reset();
    moveTo(Phase::OnAir);
    m_EnchainerMaintenant = false;
    CalculTiming();
}

void Transport::endHeard(int source) {
    QString& path = m_airPath[size_t(source)];
    if (path.isEmpty()) {
        return;
    }
    const QString ended = path;
    // A track nobody chained has played to its end by itself.
    const QString how = m_endHow[size_t(source)].isEmpty() ? howEnded() : m_endHow[size_t(source)];
    path.clear();
    emit trackEnded(ended, how);
}

// ---------------------------------------------------------------------------
// Stop

void Transport::CmdStop_Click() {
    if (stopping()) {
        return;
    }
    // A stop in the middle of a transition ends it: both tracks fade together,
    // and the transition's end can no longer bring the tick back.
    moveTo(Phase::Stopping);
    m_display.stopPicture = kStopInProgress;
    m_incomingSource = -1;
    for (int input = 0; input < 2; ++input) {
        if (input == SourceActive() || !m_chain.mixer.inputFinished(input)) {
            m_chain.sources[size_t(input)].fadeOut(kFadeMs);
        }
        if (m_endHow[size_t(input)].isEmpty()) {
            m_endHow[size_t(input)] = howStop();
        }
    }
    m_deadlineMs = m_clock.monotonicMs() + kStopWaitMs;
    emit stopBegun();
    changed();
}

void Transport::finishStop() {
    moveTo(Phase::Idle);
    endHeard(0);
    endHeard(1);
    m_chain.output->stop();
    for (int input = 0; input < audio::Mixer::kInputs; ++input) {
        m_chain.mixer.setInputFinished(input, true);
        m_chain.sources[size_t(input)].load({});
    }
    m_onAir = -1;
    m_outgoingSource = -1;
    m_onAirRow = {};
    m_display.outputEnabled = true;
    MajBouton();
    // The automatic request is always left switched off.
    m_RequetteAuto = true;
    P1_Click();
}

void Transport::MajBouton() {
    m_display.playPicture = EnDiffusion() ? kPlayOnAir : kPlayIdle;
    m_display.stopPicture = EnDiffusion() ? kStopOnAir : kStopIdle;
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
    m_GlissementEnCours.held = false;
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

void Transport::setRequetteAuto(bool on) {
    m_RequetteAuto = on;
    m_display.requetteAuto = on;
    changed();
}

int32_t Transport::onAirPositionMs() const {
    return m_onAir >= 0 ? m_chain.sources[size_t(m_onAir)].positionMs() : 0;
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

// ---------------------------------------------------------------------------
// The automatic refill, at Timer3's rhythm

void Transport::refillTick(const QTime& now) {
    if (EnDiffusion() && m_RequetteAuto && now.second() % 10 == 0 && m_playlist.count() < 2 &&
        m_requette) {
        m_requette();
    }
}

void Transport::showOnAir(const PlaylistRow& row, int source) {
    endHeard(source);  // a track this source played before is over
    m_display.artiste = row.artist + QStringLiteral(" - ") + row.title;
    m_airPath[size_t(source)] = row.path;
    m_endHow[size_t(source)].clear();
    m_onAirRow = row;
    m_onAirSinceMs = m_clock.monotonicMs();
    emit trackStarted(m_display.artiste, row.path);
    changed();
}

}  // namespace varonel::core
