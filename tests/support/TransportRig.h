#pragma once
// The main window's transport without its window: the main audio chain on an
// offline output, the playlist, a virtual clock and its ticks, the clock and
// key timer with keys the test holds, and the scripted dialogs, driven in
// virtual time. Each start is recorded with the moment it came.

#include <QObject>
#include <QSet>
#include <QTime>

#include "ScriptedDialogs.h"
#include "audio/OfflineOutput.h"
#include "core/automix/MainAudioChain.h"
#include "core/automix/Timer3.h"
#include "core/automix/Transport.h"
#include "core/playlist/RowFiller.h"
#include "core/playlist/SourceLengthReader.h"
#include "core/render/VirtualDriver.h"
#include "core/render/VirtualTicks.h"
#include "core/shared/TrackNaming.h"

namespace transportrig {

using namespace varonel;
using namespace varonel::core;

class HeldKeys final : public KeyboardState {
public:
    bool isHeld(TransportKey key) const override { return held.contains(int(key)); }
    bool mainWindowActive() const override { return true; }
    void tickRead() override {}
    QSet<int> held;
};

// A main window's worth of transport, with an offline output and a virtual clock.
struct OnAir {
    explicit OnAir(QTime start = QTime(12, 0)) : clock(start) {
        timer3.setKeyboard(&keys);
        QObject::connect(
            &transport, &Transport::trackStarted, [this](const QString& label, const QString&) {
                // The outgoing track is now on the source to come next.
                const auto& outgoing = chain.sources[size_t(transport.SourceSuivante())];
                started.append({label, clock.monotonicMs(), outgoing.positionMs()});
                labels.append(label);
            });
    }

    // Appends a row for the file, its length read as the window does; an
    // unreadable file still gets its row, as a hand-edited list would.
    void add(const QString& path) {
        PlaylistRow row;
        if (!fillRowFromPath(path, sourceLengthReader(chain.sources[2]), MillisecondsCell::Filled,
                             &row)) {
            row.path = path;
            row.artist = Artiste(path);
            row.title = Titre(path);
        }
        playlist.append(row);
    }

    struct Start {
        QString label;
        int64_t atMs;
        int32_t outgoingPosition;  // position of the track on air when it was chained
    };

    VirtualClock clock;
    VirtualTicks ticks{clock};
    ScriptedDialogs dialogs;
    PlaylistModel playlist;
    MainAudioChain chain{std::make_unique<audio::OfflineOutput>(44100)};
    audio::OfflineOutput& output = static_cast<audio::OfflineOutput&>(*chain.output);
    Transport transport{chain, playlist, clock, ticks, dialogs};
    Timer3 timer3{transport, clock, ticks};
    VirtualDriver driver{chain, clock, ticks};
    HeldKeys keys;
    QList<Start> started;
    QStringList labels;  // of the starts, in order
};

}  // namespace transportrig
