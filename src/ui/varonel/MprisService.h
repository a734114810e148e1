#pragma once
// The automatic mixer as an MPRIS 2 media player on a D-Bus connection (the
// session bus in the program), so that the desktop's media keys drive the
// broadcast and its "now playing" widgets show the track on air. What it shows
// and does is NowPlaying's; this file only carries it over the bus. Every
// command is run from the event loop after the call has been answered, so a
// message box that a command raises never holds a caller waiting; while a
// message box or dialog waits for the operator, commands are ignored, as the
// buttons behind it are.

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <functional>
#include <memory>

#include "core/automix/NowPlaying.h"

namespace varonel::ui {

class MainWindow;

class MprisService : public QObject {
    Q_OBJECT

public:
    static constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
    static constexpr char kServiceName[] = "org.mpris.MediaPlayer2.varonel";

    // What the bus may ask of the window.
    struct WindowActions {
        std::function<void()> raise;
        std::function<void()> quit;  // as the window's close: refused on air
    };

    MprisService(core::Transport& transport, const core::MainAudioChain& chain,
                 WindowActions actions, QObject* parent = nullptr);
    ~MprisService() override;

    // Exports the player on `connection` and takes the suite's name there (a
    // name with this process's number when another player holds it). False
    // when the connection cannot carry it: the program goes on without it.
    bool publish(const QDBusConnection& connection);
    QString serviceName() const { return m_serviceName; }

    core::NowPlaying& nowPlaying() { return m_nowPlaying; }
    QVariantMap metadata() const;
    QString playbackStatus() const;
    // Runs `command` from the event loop, unless a modal window is open then.
    void later(std::function<void()> command);
    void raise() { later(m_actions.raise); }
    void quit() { later(m_actions.quit); }

private:
    void announce(const QVariantMap& changed);

    core::NowPlaying m_nowPlaying;
    WindowActions m_actions;
    QDBusConnection m_connection;
    QString m_serviceName;
};

// Publishes `window`'s transport on the session bus; null when there is no
// session bus, and the program runs as before.
std::unique_ptr<MprisService> publishOnSessionBus(MainWindow& window);

}  // namespace varonel::ui
