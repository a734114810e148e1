#pragma once
// What the desktop's media keys and "now playing" widgets see of the automatic
// mixer, and what they may ask of it. The state follows the transport's signals;
// each command is the very command of one of the window's transport buttons, so
// the transport's own rules hold (a start during the stop's fade is refused).
// It knows nothing of the bus that carries it. Main thread only.

#include <QObject>
#include <QString>
#include <cstdint>

#include "core/automix/MainAudioChain.h"
#include "core/automix/Transport.h"

namespace varonel::core {

class NowPlaying : public QObject {
    Q_OBJECT

public:
    struct Track {
        QString artist;
        QString title;
        QString path;
        int32_t lengthMs = 0;
        int number = 0;  // counts the tracks put on air; 0 while none is
    };

    NowPlaying(Transport& transport, const MainAudioChain& chain, QObject* parent = nullptr);

    // On air: between a start and the stop command.
    bool playing() const { return m_playing; }
    // The track on air; number 0 when there is none.
    const Track& track() const { return m_track; }
    // Position of the track on air; 0 when there is none.
    int32_t positionMs() const;

    // The start button.
    void play() { m_transport.CmdPlay_Click(); }
    // The stop button (a pause of a broadcast is a stop).
    void stop() { m_transport.CmdStop_Click(); }
    // The chain-now button.
    void next() { m_transport.CmdStopImmediat_Click(); }
    // The stop button on air, the start button otherwise.
    void playPause();

signals:
    void playingChanged();
    void trackChanged();

private:
    void started(const QString& artisteTitre, const QString& path);
    void ended();
    void followState();

    Transport& m_transport;
    const MainAudioChain& m_chain;
    bool m_playing = false;
    Track m_track;
    int m_count = 0;
};

}  // namespace varonel::core
