#pragma once
// The transport of the automatic mixer: it plays the playlist from the top,
// chaining each track into the next at its exit point (or at once when asked, or
// when the smart mix hears it fade) with a 1.6 s fade of the outgoing track, and
// stops with a 2.5 s fade.
//
// Its state is one phase, idle, on air, in a transition or stopping, with the
// moves between them in one place (moveTo). It owns its ticks, made by the
// tick source it is given (the window's timers, or virtual ones): Timer1 runs
// exactly while on air, and the waits of a transition and of a stop are phases
// that a poll every 10 ms ends, so no event loop ever runs inside a tick and no
// caller ever starts or stops a tick for it.
//
// A transition never waits for the disk: the next file opens on its source's own
// thread, the mixer starts it as soon as its first audio is decoded and begins
// the outgoing fade in that same block. pollWaits() learns whether the file
// opened: an opened track goes on air (trackStarted), an unreadable one is
// dropped and the next row tried. The start waits for its file at most
// kStartLoadWaitMs before it asks the operator.
//
// A track that has ended is followed at once, whatever its position and length
// say: a short item, a damaged file that stops decoding early, a jingle that
// ends while the track before it still fades. The transport remembers which
// source is on air rather than reading it back from the mixer's flags, which
// cannot tell once both inputs have ended.
//
// Unattended air: with the request switch on, a transition that finds the
// playlist empty runs the request once more before it decides to stop; and a
// main output that has carried nothing audible for kDeadAirMs chains to the
// next track (the dead-air guard).
// Main thread only.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include <memory>

#include "core/automix/LevelStatistics.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/PlayPlan.h"
#include "core/automix/TransportDisplay.h"
#include "core/playlist/PlaylistModel.h"
#include "core/shared/Clock.h"
#include "core/shared/Dialogs.h"
#include "core/shared/SliderHold.h"
#include "core/shared/Ticks.h"

namespace varonel::core {

class Transport : public QObject {
    Q_OBJECT

public:
    static constexpr int32_t kFadeMs = 1600;
    static constexpr int32_t kStopWaitMs = 2500;
    // The outgoing source is released this long after a transition began even
    // if its input never reads finished, so a fault can never freeze the air.
    static constexpr int32_t kTransitionSafetyMs = kFadeMs + 3000;
    static constexpr int kTimer1PeriodMs = 100;
    // The waits are looked at this often (one block of audio in virtual time).
    static constexpr int kPollPeriodMs = 10;
    // How long the start waits for its file before it reports it as not answering.
    static constexpr int kStartLoadWaitMs = 1000;
    // Silence on air for this long, whatever its cause, chains to the next track.
    static constexpr int64_t kDeadAirMs = 15000;

    // How each track left the air, as the as-run log writes it.
    static QString howExitPoint() { return QStringLiteral("point de sortie"); }
    static QString howChainNow() { return QStringLiteral("enchaînement"); }
    static QString howStop() { return QStringLiteral("arrêt"); }
    static QString howEnded() { return QStringLiteral("fin de piste"); }
    static QString howDeadAir() { return QStringLiteral("silence de 15 s à l'antenne"); }
    static QString howSmartMix(int level, int threshold) {
        return QStringLiteral("mix intelligent %1 % < %2 %").arg(level).arg(threshold);
    }

    enum class Phase { Idle, OnAir, Transition, Stopping };

    Transport(MainAudioChain& chain, PlaylistModel& playlist, Clock& clock, TickSource& ticks,
              Dialogs& dialogs, QObject* parent = nullptr);
    ~Transport() override;

    // --- Collaborators that may be absent ---
    // Requette: tops the playlist up (the browser's random request).
    void setRequette(std::function<void()> requette) { m_requette = std::move(requette); }
    // Moves pre-listening's slider with the track on air's, at each tick.
    void setFollowPfl(std::function<void()> follow) { m_followPfl = std::move(follow); }
    // Where each track starts and ends on air and how loud (the silences skipped,
    // one loudness); without a planner every track plays whole at its own level.
    void setPlanner(PlayPlanner* planner) { m_planner = planner; }
    // Unattended (the offline render): an unreadable first track is skipped like
    // any other instead of asking the operator, and the start waits for its file
    // as long as it takes.
    void setUnattended(bool unattended) { m_unattended = unattended; }

    // --- Commands and events of the main window ---
    void CmdPlay_Click();
    // The start, with the first track from `positionMs` on (a broadcast resumed
    // after a crash).
    void resumeAt(int32_t positionMs);
    void CmdStop_Click();
    void CmdStopImmediat_Click();
    // Numpad 0: a transition at the next tick, the focus left where it is.
    void requestChain() { m_EnchainerMaintenant = true; }
    void TrackBar_Press() { m_GlissementEnCours.held = true; }
    void TrackBar_Release(int32_t value);
    void PS_Change(int seconds);
    void CheckAutoMix_Click(bool checked);
    // Entry of MixagePourCent ("10" to "70").
    void MixagePourCent_Click(int entry);
    void P1_Click();
    // Sets the request switch without running a request (a session restored).
    void setRequetteAuto(bool on);
    void CalculTiming();

    // The 100 ms tick, run by Timer1 while on air (public for the benchmark that
    // times one tick).
    void Timer1_Timer();
    // The automatic refill of Timer3 (every 80 ms): on air with the request
    // switch on, a playlist of fewer than 2 rows is topped up in the seconds that
    // are multiples of 10.
    void refillTick(const QTime& now);

    // --- State ---
    Phase phase() const { return m_phase; }
    // The views of the phase that the window and the other parts read.
    bool EnDiffusion() const { return m_phase == Phase::OnAir || m_phase == Phase::Transition; }
    bool stopping() const { return m_phase == Phase::Stopping; }
    bool inTransition() const { return m_phase == Phase::Transition; }
    bool EnchainerMaintenant() const { return m_EnchainerMaintenant; }
    bool GlissementEnCours() const { return m_GlissementEnCours.held; }
    // The flag both position sliders share (pre-listening holds it too).
    SliderHold& glissement() { return m_GlissementEnCours; }
    bool MixIntelligent() const { return m_MixIntelligent; }
    bool RequetteAuto() const { return m_RequetteAuto; }
    // The source on air: the one that took the last track, from the moment it was
    // given to it.
    int SourceActive() const;
    int SourceSuivante() const { return 1 - SourceActive(); }
    // The row of the track on air (the last that went on air); empty when idle.
    const PlaylistRow& onAirRow() const { return m_onAirRow; }
    // Where the track on air is, in milliseconds; 0 when idle.
    int32_t onAirPositionMs() const;
    const TransportDisplay& display() const { return m_display; }
    const LevelStatistics& statistics() const { return m_statistics; }
    int mixagePourCent() const { return m_mixagePourCent; }

signals:
    // Something of display() changed.
    void displayChanged();
    // Rows were removed from the top of the playlist.
    void playlistChanged();
    // A track went on air: its file is open and its source starts.
    void trackStarted(const QString& artisteTitre, const QString& path);
    // A track that went on air is no longer heard; `how` says why (howExitPoint()
    // and the others).
    void trackEnded(const QString& path, const QString& how);
    // A row was dropped because its file could not be opened.
    void trackSkipped(const QString& path, const QString& error);
    // The stop's fade began.
    void stopBegun();
    // The dead-air guard chains the track of `path`: nothing was heard for kDeadAirMs.
    void deadAir(const QString& path);
    // The keyboard focus goes back to the browser.
    void focusBrowser();

private:
    // Holds Timer1 still while a request lets window events run.
    class TickHold;

    void moveTo(Phase next);
    void syncTimer1();
    void pollWaits();
    void waitTransition(int64_t now);
    bool startFirstTrack();
    bool refillWhenDry();
    bool deadAirHeard() const;
    void transition(int active, const QString& how);
    void loadIncoming(int source, bool crossFade = true);
    audio::TrackCues planFor(int source, const QString& path);
    int32_t audioEnd(int source);
    bool onAirEnded() const;
    void followEndedIncoming();
    void endSilencedTracks();
    bool incomingFailed();
    void finishTransition();
    void finishStop();
    void endHeard(int source);
    void MajBouton();
    void showOnAir(const PlaylistRow& row, int source);
    void changed() { emit displayChanged(); }

    MainAudioChain& m_chain;
    PlaylistModel& m_playlist;
    Clock& m_clock;
    Dialogs& m_dialogs;
    std::function<void()> m_requette;
    std::function<void()> m_followPfl;
    PlayPlanner* m_planner = nullptr;
    bool m_unattended = false;

    Phase m_phase = Phase::Idle;
    // The end of the phase's wait, monotonic ms: a transition's safety bound, the
    // stop's 2.5 s.
    int64_t m_deadlineMs = 0;
    int m_tickHolds = 0;
    std::unique_ptr<Tick> m_timer1;
    std::unique_ptr<Tick> m_poll;

    bool m_EnchainerMaintenant = false;
    SliderHold m_GlissementEnCours;
    bool m_MixIntelligent = false;
    bool m_RequetteAuto = false;
    int32_t m_PositionMs = 0;
    int32_t m_DureeMs = 0;
    int m_mixagePourCent = 50;
    int32_t m_resumeAtMs = 0;
    PlaylistRow m_onAirRow;
    int64_t m_onAirSinceMs = 0;
    int m_onAir = -1;  // source 0 or 1 that holds the track on air; -1 when idle
    int m_outgoingSource = -1;
    int m_incomingSource = -1;  // a source whose file is still opening; -1 when none
    PlaylistRow m_incomingRow;
    // Per source 0 and 1: the track on air there, and how it is leaving.
    std::array<QString, 2> m_airPath;
    std::array<QString, 2> m_endHow;
    // Per source 0 and 1: where the audio of its track starts and ends, from the
    // planner (0 for an end not known yet).
    std::array<int32_t, 2> m_audioStartMs{};
    std::array<int32_t, 2> m_audioEndMs{};
    LevelStatistics m_statistics;
    TransportDisplay m_display;
};

}  // namespace varonel::core
