// The automatic mixer's media-key service on a private session bus: dbus-send
// calls Play, Next, Stop and PlayPause and reads what a desktop's "now playing"
// widget reads, while the transport runs in virtual time on an offline output.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDialog>
#include <QTemporaryDir>
#include <QtTest>

#include "SessionBus.h"
#include "TestTracks.h"
#include "TransportRig.h"
#include "ui/varonel/MprisService.h"

using namespace varonel;

namespace {

const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

// The transport of a main window, without the window, published on `bus`.
struct Rig : transportrig::OnAir {
    explicit Rig(const QDBusConnection& bus) {
        ui::MprisService::WindowActions actions;
        actions.raise = [this] { ++raised; };
        service = std::make_unique<ui::MprisService>(transport, chain, std::move(actions));
        published = service->publish(bus);
    }

    std::unique_ptr<ui::MprisService> service;
    bool published = false;
    int raised = 0;
};

}  // namespace

// The titles that the player's announced Metadata held, in order.
class TitleListener : public QObject {
    Q_OBJECT

public:
    QStringList titles;

public slots:
    void changed(const QString& /*interface*/, const QVariantMap& properties,
                 const QStringList& /*invalidated*/) {
        if (properties.contains("Metadata")) {
            const auto metadata =
                qdbus_cast<QVariantMap>(properties["Metadata"].value<QDBusArgument>());
            titles.append(metadata.value("xesam:title").toString());
        }
    }
};

class MprisTest : public QObject {
    Q_OBJECT

    // A property, as dbus-send prints it; of the player's interface unless told.
    QString player(const QString& name, const QString& interface = kPlayer) const {
        return m_bus.property(ui::MprisService::kServiceName, ui::MprisService::kObjectPath,
                              interface, name);
    }
    // Calls a method of the player's interface, or `interface`; whether it answered.
    bool command(const QString& member, const QString& interface = kPlayer) const {
        return !m_bus
                    .call(ui::MprisService::kServiceName, ui::MprisService::kObjectPath,
                          interface + '.' + member)
                    .isNull();
    }
    SessionBus m_bus;
    QTemporaryDir m_tracks{QDir::tempPath() + QStringLiteral("/varonelmpris_XXXXXX")};
    QStringList m_paths;

private slots:
    void initTestCase() {
        QString why;
        if (!m_bus.start(&why)) {
            QSKIP(qPrintable("no private session bus: " + why));
        }
        for (const char* name : {"Alpha - Premier.wav", "Beta - Second.wav", "Gamma - Trois.wav"}) {
            m_paths.append(testtracks::write(m_tracks.filePath(name), {20.0, 0.5f}));
        }
    }

    // What the service says of itself while stopped (the name of its desktop
    // entry, nothing to chain to, no track); then the keys act as
    // the buttons: Play starts, Next chains now, Stop fades out; the track on
    // air is told at each transition.
    void identityThenKeysDriveTheBroadcast() {
        QDBusConnection bus = QDBusConnection::connectToBus(m_bus.address(), "keys");
        Rig rig(bus);
        QVERIFY(rig.published);
        const QString root = QStringLiteral("org.mpris.MediaPlayer2");
        for (const auto& [interface, name, told] :
             {std::tuple{root, "DesktopEntry", "\"org.varonel.Varonel\""},
              {kPlayer, "CanGoNext", "boolean false"},
              {kPlayer, "PlaybackStatus", "\"Stopped\""},
              {kPlayer, "Metadata", "/org/mpris/MediaPlayer2/TrackList/NoTrack"}}) {
            QVERIFY2(player(name, interface).contains(told), name);
        }
        QVERIFY(command("Raise", root));
        QTRY_COMPARE(rig.raised, 1);

        for (const QString& path : m_paths) {
            rig.add(path);
        }
        // A widget of the desktop, on its own connection, hears each change.
        QDBusConnection widget = QDBusConnection::connectToBus(m_bus.address(), "widget");
        TitleListener listener;
        QVERIFY(widget.connect(QString(), ui::MprisService::kObjectPath,
                               "org.freedesktop.DBus.Properties", "PropertiesChanged", &listener,
                               SLOT(changed(QString, QVariantMap, QStringList))));

        QVERIFY(command("Play"));
        QVERIFY(rig.transport.EnDiffusion());
        QVERIFY(player("CanGoNext").contains("boolean true"));
        // (The status and the track's address are read from the running
        // program in the acceptance run.)
        QString metadata = player("Metadata");
        QVERIFY2(metadata.contains("\"Premier\"") && metadata.contains("\"Alpha\""),
                 qPrintable(metadata));
        QVERIFY2(metadata.section("mpris:length", 1)
                     .contains(QRegularExpression("^\\W+variant\\s+int64 20000000\\b")),
                 qPrintable(metadata));

        rig.driver.advanceMs(5000);
        // dbus-send prints "variant int64 <microseconds>".
        const qlonglong position = player("Position").section("int64 ", 1).trimmed().toLongLong();
        QVERIFY2(position > 4800000 && position <= 5000000, qPrintable(QString::number(position)));

        QVERIFY(command("Next"));
        QVERIFY(rig.driver.advanceUntil(
            [&] { return rig.transport.onAirRow().title == QStringLiteral("Second"); }, 200));
        metadata = player("Metadata");
        QVERIFY2(metadata.contains("\"Second\"") && metadata.contains("\"Beta\""),
                 qPrintable(metadata));
        QVERIFY(rig.driver.advanceUntil([&] { return !rig.transport.inTransition(); }, 3000));

        QVERIFY(command("Stop"));
        QVERIFY(player("PlaybackStatus").contains("\"Stopped\""));
        rig.driver.advanceMs(3000);
        QVERIFY(!rig.transport.EnDiffusion());
        QVERIFY(player("Metadata").contains("NoTrack"));

        // A dialog waiting for the operator holds the keys, as it holds the buttons.
        {
            QDialog dialog;
            dialog.setModal(true);
            dialog.show();
            QVERIFY(command("Play"));
            QVERIFY(!rig.transport.EnDiffusion());
        }
        // PlayPause toggles: Gamma on air, then stopped.
        QVERIFY(command("PlayPause"));
        QVERIFY(player("Metadata").contains("\"Trois\""));
        QVERIFY(command("PlayPause"));
        QVERIFY(rig.transport.stopping());
        QTRY_COMPARE(listener.titles, QStringList({"Premier", "Second", "", "Trois"}));
    }
};

QTEST_MAIN(MprisTest)
#include "tst_mpris.moc"
