#pragma once
// Pre-listening: a browser track heard on the second output (headphones) with
// its own player `WavePFL`, while the playlist plays on the main output. The
// operator loads a track by clicking a browser row, starts and stops it, and
// follows or moves it on its slider `TrackBarPFL`. It owns `Timer2`, which runs
// every second while the player plays and moves the slider; the transport's
// Timer1 moves it too (follow()). The one thing it shares with the transport is
// `GlissementEnCours`: while either slider is held, neither moves.
//
// Main thread only.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

#include <memory>

#include "audio/Player.h"
#include "core/shared/Dialogs.h"
#include "core/shared/SliderHold.h"
#include "core/shared/Ticks.h"

namespace varonel::core {

// What the window shows of pre-listening.
struct PreListeningDisplay {
    bool buttonsEnabled = false;  // btnPlay and btnStop
    bool outputEnabled = true;    // PFL: locked while the player plays
    int32_t barMaximum = 0;       // TrackBarPFL
    int32_t barValue = 0;         // where the player stands, unless a slider is held
};

class PreListening final : public QObject {
    Q_OBJECT

public:
    static constexpr int kTimer2PeriodMs = 1000;

    PreListening(audio::Player& wavePfl, Dialogs& dialogs, TickSource& ticks,
                 SliderHold& glissement, QObject* parent = nullptr);
    ~PreListening() override;

    // A browser row was clicked: the player stops, then loads the row's file
    // (when the browser has rows); it does not start.
    void rowClicked(const QString& path);
    void btnPlay_Click();
    void btnStop_Click();
    void TrackBarPFL_Press() { m_glissement.held = true; }
    // The operator let go of TrackBarPFL at `value` milliseconds: the player seeks
    // there, and the slider shows it at once.
    void TrackBarPFL_Release(int32_t value);
    // The slider takes where the player stands now, unless a slider is held.
    void follow();
    // Entry chosen in PFL: the player stops and moves to that entry's device.
    void PFL_Click(int entry);

    int32_t position() const { return m_player.positionMs(); }
    const PreListeningDisplay& display() const { return m_display; }
    audio::Player& player() { return m_player; }
    // The gain of each file, so that a track is heard as it will go on air.
    void setGain(std::function<float(const QString& path)> gain) { m_gain = std::move(gain); }

signals:
    // What display() holds changed, or the player was loaded, started,
    // stopped or sought.
    void displayChanged();

private:
    bool startPlaying();
    // Gives m_path to the player and keeps the reason when it does not open.
    void openFile();
    void shown();

    audio::Player& m_player;
    Dialogs& m_dialogs;
    SliderHold& m_glissement;
    std::unique_ptr<Tick> m_timer2;
    std::function<float(const QString& path)> m_gain;
    QString m_path;       // the row clicked last, opened or not
    QString m_openError;  // why it did not open; "" when it did
    PreListeningDisplay m_display;
};

}  // namespace varonel::core
