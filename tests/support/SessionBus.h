#pragma once
// A private D-Bus session bus for one test: its own dbus-daemon, ended with the
// object, and dbus-send to call it as a desktop's media keys would. Nothing of
// the machine's own session is touched. Where the daemon cannot start, start()
// says why and the caller skips.

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "ChildProcess.h"

class SessionBus {
public:
    ~SessionBus() { childprocess::stop(m_daemon); }

    bool start(QString* why) {
        if (childprocess::missing({"dbus-daemon", "dbus-send"}, why)) {
            return false;
        }
        m_daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        if (m_address.isEmpty()) {
            *why = "dbus-daemon did not start: " + m_daemon.errorString() + ' ' +
                   QString::fromUtf8(m_daemon.readAllStandardError());
            return false;
        }
        return true;
    }

    const QString& address() const { return m_address; }

    // Calls `method` (interface.Member) of `object` at `destination` with
    // dbus-send's typed arguments, letting this process's events run meanwhile
    // so that a service of the test itself answers. The reply as dbus-send
    // prints it; empty when the call failed.
    QString call(const QString& destination, const QString& object, const QString& method,
                 const QStringList& arguments = {}) const {
        QProcess send;
        send.start("dbus-send",
                   QStringList{"--bus=" + m_address, "--print-reply", "--reply-timeout=10000",
                               "--dest=" + destination, object, method} +
                       arguments);
        while (send.state() != QProcess::NotRunning && !send.waitForFinished(5)) {
            QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        return send.exitCode() == 0 ? QString::fromUtf8(send.readAllStandardOutput()) : QString();
    }

    // A property as dbus-send prints it.
    QString property(const QString& destination, const QString& object, const QString& interface,
                     const QString& name) const {
        return call(destination, object, "org.freedesktop.DBus.Properties.Get",
                    {"string:" + interface, "string:" + name});
    }

private:
    QProcess m_daemon;
    QString m_address;
};
