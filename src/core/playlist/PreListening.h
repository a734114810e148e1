#pragma once
// Pre-listening: a browser track heard on the second output (headphones) with
// its own player `WavePFL`, while the playlist plays on the main output. The
// operator loads a track by clicking a browser row, starts and stops it, and
// follows or moves it on its slider `TrackBarPFL`, whose value the transport's
// ticks move (Timer1 and Timer2, see Transport).
//
// Main thread only.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

#include "Dialogs.h"
#include "Player.h"

namespace varonel::core {

// What the window shows of pre-listening.
struct PreListeningDisplay {
    bool buttonsEnabled = false;  // btnPlay and btnStop
    bool outputEnabled = true;    // PFL: locked while the player plays
    bool timer2Enabled = false;   // Timer2 runs exactly while playing
    int32_t barMaximum = 0;       // TrackBarPFL
    bool barReset = false;        // set TrackBarPFL's value to 0 (once)
};

class PreListening final : public QObject {
    Q_OBJECT

public:
    PreListening(audio::Player& wavePfl, Dialogs& dialogs, QObject* parent = nullptr);

    // A browser row was clicked: the player stops, then loads the row's file
    // (when the browser has rows); it does not start.
    void rowClicked(const QString& path);
    void btnPlay_Click();
    void btnStop_Click();
    // The operator let go of TrackBarPFL at `value` milliseconds.
    void TrackBarPFL_Release(int32_t value);
    // Entry chosen in PFL: the player stops and moves to that entry's device.
    void PFL_Click(int entry);

    int32_t position() const { return m_player.positionMs(); }
    const PreListeningDisplay& display() const { return m_display; }
    // Reads and clears the one-time slider reset.
    bool takeBarReset();
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

    audio::Player& m_player;
    Dialogs& m_dialogs;
    std::function<float(const QString& path)> m_gain;
    QString m_path;       // the row clicked last, opened or not
    QString m_openError;  // why it did not open; "" when it did
    PreListeningDisplay m_display;
};

}  // namespace varonel::core
