#pragma once
// One copy of each program per user: two copies would fight over the same
// settings files and sound devices. The first start holds a lock in the user's
// runtime folder and listens on a local socket beside it; a later start finds
// the lock held, asks the first copy to bring its window forward, and ends. No
// session bus is needed. A copy that died leaves a lock that the next start
// takes over.

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;
class QWidget;

namespace varonel::ui {

class SingleInstance final : public QObject {
    Q_OBJECT

public:
    // `program` names the lock and the socket; `folder` empty: the user's
    // runtime folder.
    explicit SingleInstance(const QString& program, const QString& folder = QString(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // This start is the program's only copy. Also true when no lock can be
    // made at all (no runtime folder): the program then runs as it always did.
    bool isFirst() const { return m_first; }
    // For a later start: asks the first copy to raise its window, waiting at
    // most `timeoutMs` for it to listen. False when it could not be reached.
    bool askFirstToRaise(int timeoutMs = 3000) const;
    // The first copy raises `window` at each request of a later start.
    void raiseOnRequest(QWidget* window);

signals:
    void raiseRequested();

private:
    void listen();
    void readRequest();

    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_first = true;
};

// Brings a window forward: out of the task bar if minimised, above the
// others, active.
void raiseWindow(QWidget* window);

}  // namespace varonel::ui
