#include "ui/varonel/MprisService.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QUrl>

#include "ui/shared/SingleInstance.h"
#include "ui/varonel/MainWindow.h"
#include "ui/varonel/MprisAdaptors.h"

namespace varonel::ui {

namespace {

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

}  // namespace

MprisService::MprisService(core::Transport& transport, const core::MainAudioChain& chain,
                           WindowActions actions, QObject* parent)
    : QObject(parent),
      m_nowPlaying(transport, chain),
      m_actions(std::move(actions)),
      m_connection(QString()) {
    new MprisApplicationAdaptor(this);
    new MprisPlayerAdaptor(this);
    connect(&m_nowPlaying, &core::NowPlaying::playingChanged, this, [this] {
        announce({{QStringLiteral("PlaybackStatus"), playbackStatus()},
                  {QStringLiteral("CanGoNext"), m_nowPlaying.playing()}});
    });
    connect(&m_nowPlaying, &core::NowPlaying::trackChanged, this, [this] {
        announce({{QStringLiteral("Metadata"), metadata()}});
    });
}

MprisService::~MprisService() {
    if (m_connection.isConnected()) {
        m_connection.unregisterObject(QLatin1String(kObjectPath));
        if (!m_serviceName.isEmpty()) {
            m_connection.unregisterService(m_serviceName);
        }
    }
}

bool MprisService::publish(const QDBusConnection& connection) {
    if (!connection.isConnected()) {
        return false;
    }
    m_connection = connection;
    if (!m_connection.registerObject(QLatin1String(kObjectPath), this,
                                     QDBusConnection::ExportAdaptors)) {
        return false;
    }
    // The name is the suite's own; should another player hold it, the
    // process's number tells this one apart, as the interface allows.
    const QString name = QLatin1String(kServiceName);
    for (const QString& candidate :
         {name, name + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid())}) {
        if (m_connection.registerService(candidate)) {
            m_serviceName = candidate;
            return true;
        }
    }
    m_connection.unregisterObject(QLatin1String(kObjectPath));
    return false;
}

QString MprisService::playbackStatus() const {
    return m_nowPlaying.playing() ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

QVariantMap MprisService::metadata() const {
    const core::NowPlaying::Track& track = m_nowPlaying.track();
    QVariantMap map;
    if (track.number == 0) {
        map[QStringLiteral("mpris:trackid")] = QVariant::fromValue(
            QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")));
        return map;
    }
    map[QStringLiteral("mpris:trackid")] = QVariant::fromValue(
        QDBusObjectPath(QStringLiteral("/org/varonel/Varonel/piste%1").arg(track.number)));
    if (track.lengthMs > 0) {
        map[QStringLiteral("mpris:length")] = qlonglong(track.lengthMs) * 1000;
    }
    if (!track.artist.isEmpty()) {
        map[QStringLiteral("xesam:artist")] = QStringList{track.artist};
    }
    map[QStringLiteral("xesam:title")] = track.title;
    map[QStringLiteral("xesam:url")] = QUrl::fromLocalFile(track.path).toString(QUrl::FullyEncoded);
    return map;
}

// A message box or a file dialog waits for the operator: as the buttons
// behind it, the keys do nothing until it is answered. Run inside its loop, a
// start would begin again a start that is waiting for "Réessayer".
void MprisService::later(std::function<void()> command) {
    if (!command) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [command = std::move(command)] {
            if (QApplication::activeModalWidget() == nullptr) {
                command();
            }
        },
        Qt::QueuedConnection);
}

// Property changes are announced by the standard properties signal; the
// position is not, as the interface asks: listeners read it when they need it.
void MprisService::announce(const QVariantMap& changed) {
    if (m_serviceName.isEmpty()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    m_connection.send(signal);
}

std::unique_ptr<MprisService> publishOnSessionBus(MainWindow& window) {
    MprisService::WindowActions actions;
    actions.raise = [&window] { raiseWindow(&window); };
    actions.quit = [&window] { window.close(); };
    auto service =
        std::make_unique<MprisService>(window.transport(), window.chain(), std::move(actions));
    if (!service->publish(QDBusConnection::sessionBus())) {
        return nullptr;
    }
    return service;
}

}  // namespace varonel::ui
