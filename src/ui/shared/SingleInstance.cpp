#include "ui/shared/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

namespace varonel::ui {

namespace {

const QByteArray kRaise = QByteArrayLiteral("raise\n");

}  // namespace

SingleInstance::SingleInstance(const QString& program, const QString& folder, QObject* parent)
    : QObject(parent) {
    // The runtime folder belongs to the user alone: the lock and the socket are
    // per user, and nobody else can talk to them.
    const QString base = folder.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                             : folder;
    if (base.isEmpty()) {
        return;
    }
    const QString stem = QDir(base).filePath(QStringLiteral("varonel-") + program);
    m_socketPath = stem + QStringLiteral(".socket");
    m_lock = std::make_unique<QLockFile>(stem + QStringLiteral(".lock"));
    // Only a lock whose process is gone is stale, however long the first copy
    // has been running.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen();
    } else {
        m_first = m_lock->error() != QLockFile::LockFailedError;
    }
}

SingleInstance::~SingleInstance() = default;

void SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a copy that died is in the way; the lock says it is ours.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readRequest);
}

void SingleInstance::readRequest() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                return;
            }
            if (socket->readLine() == kRaise) {
                emit raiseRequested();
            }
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::askFirstToRaise(int timeoutMs) const {
    if (m_socketPath.isEmpty()) {
        return false;
    }
    // The first copy may still be starting: it holds the lock before it listens.
    constexpr int kRetryMs = 100;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(kRetryMs)) {
            socket.write(kRaise);
            const bool sent = socket.waitForBytesWritten(timeoutMs);
            socket.disconnectFromServer();
            return sent;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(kRetryMs);
    }
}

void SingleInstance::raiseOnRequest(QWidget* window) {
    connect(this, &SingleInstance::raiseRequested, window, [window] { raiseWindow(window); });
}

void raiseWindow(QWidget* window) {
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace varonel::ui
