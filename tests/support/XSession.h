#pragma once
// A private X display for tests that drive the real programs as a person
// would: Xvfb on a display nobody uses, the openbox window manager, xdotool
// for the mouse and the keyboard (through XTEST, as the devices would) and xwd
// for the picture of a window. Everything it started stops with it. Where a
// tool is missing or the server does not start, start() says why and the
// caller skips.
//
// Windows are named by xdotool's decimal window ids; points are in a window's
// own coordinates (xdotool places the pointer relative to the window).

#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <memory>

class XSession {
public:
    using Window = QString;

    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    ~XSession() {
        stopProcess(m_windowManager);
        stopProcess(m_server);
    }

    bool start(QString* why) {
        for (const char* tool : {"Xvfb", "openbox", "xdotool", "xwd"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
                *why = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
                return false;
            }
        }
        if (!m_home.isValid()) {
            *why = QStringLiteral("no temporary folder");
            return false;
        }
        // -displayfd: the server takes the first free display and prints its number.
        m_server = std::make_unique<QProcess>();
        m_server->setProcessChannelMode(QProcess::SeparateChannels);
        m_server->start(
            QStringLiteral("Xvfb"),
            {"-displayfd", "1", "-screen", "0", QStringLiteral("%1x%2x24").arg(kWidth).arg(kHeight),
             "-dpi", "96", "-nolisten", "tcp", "-noreset"});
        poll(15000, [&] {
            m_server->waitForReadyRead(200);
            return m_server->canReadLine() || m_server->state() == QProcess::NotRunning;
        });
        const QString number = QString::fromLatin1(m_server->readLine()).trimmed();
        if (number.isEmpty()) {
            *why = QStringLiteral("Xvfb did not start: ") +
                   QString::fromLocal8Bit(m_server->readAllStandardError()).trimmed().right(300);
            return false;
        }
        m_display = QLatin1Char(':') + number;

        m_windowManager = std::make_unique<QProcess>();
        QProcessEnvironment managerEnvironment = environment();
        managerEnvironment.insert(QStringLiteral("HOME"), m_home.path());
        m_windowManager->setProcessEnvironment(managerEnvironment);
        m_windowManager->setProcessChannelMode(QProcess::MergedChannels);
        m_windowManager->start(QStringLiteral("openbox"), {"--sm-disable"});
        // openbox names the desktops once it manages the screen.
        bool managed = false;
        poll(15000, [&] {
            xdotool({"get_num_desktops"}, &managed);
            return managed || m_windowManager->state() == QProcess::NotRunning;
        });
        if (!managed) {
            *why = QStringLiteral("openbox did not start: ") +
                   QString::fromLocal8Bit(m_windowManager->readAll()).trimmed().right(300);
            return false;
        }
        return true;
    }

    // The environment of a program shown on this display, from `base`.
    QProcessEnvironment environment(
        QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const {
        base.insert(QStringLiteral("DISPLAY"), m_display);
        base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        base.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return base;
    }

    // Runs xdotool with `arguments`; its output.
    QString xdotool(const QStringList& arguments, bool* ok = nullptr) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral("xdotool"), arguments);
        const bool finished = process.waitForFinished(30000);
        if (!finished) {
            process.kill();
            process.waitForFinished();
        }
        if (ok != nullptr) {
            *ok =
                finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        }
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    }

    // The NAME=number lines that xdotool's --shell prints.
    QHash<QString, int> shell(const QStringList& arguments) const {
        QHash<QString, int> values;
        for (const QString& line : xdotool(arguments).split(QLatin1Char('\n'))) {
            values.insert(line.section(QLatin1Char('='), 0, 0),
                          line.section(QLatin1Char('='), 1).toInt());
        }
        return values;
    }

    // The shown windows whose title matches the regular expression.
    QStringList windows(const QString& title) const {
        return xdotool({"search", "--onlyvisible", "--name", title})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool shown(const Window& window, const QString& title) const {
        return windows(title).contains(window);
    }
    // Asks `done` every 50 ms until it holds or `ms` have passed; whether it held.
    template <typename Done>
    static bool poll(int ms, Done done) {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > ms) {
                return false;
            }
            QThread::msleep(50);
        }
        return true;
    }
    // Waits for a shown window whose title matches and that is not one of
    // `known`; empty when none came within `ms`.
    Window waitForWindow(const QString& title, const QStringList& known = {},
                         int ms = 20000) const {
        Window found;
        poll(ms, [&] {
            for (const Window& window : windows(title)) {
                found = known.contains(window) ? found : window;
            }
            return !found.isEmpty();
        });
        return found;
    }
    bool waitUntilGone(const Window& window, const QString& title, int ms = 10000) const {
        return poll(ms, [&] { return !shown(window, title); });
    }

    // The window that has the keyboard; empty when none.
    Window activeWindow() const { return xdotool({"getactivewindow"}).trimmed(); }

    // The size of a window's inside, without the frame the manager adds.
    QSize size(const Window& window) const {
        const auto values = shell({"getwindowgeometry", "--shell", window});
        return {values.value("WIDTH", -1), values.value("HEIGHT", -1)};
    }
    // Waits until a window keeps the same size for a moment (the manager has
    // placed and maximised it); that size.
    QSize settledSize(const Window& window, int ms = 10000) const {
        QElapsedTimer timer;
        timer.start();
        QSize last = size(window);
        while (timer.elapsed() < ms) {
            QThread::msleep(250);
            const QSize now = size(window);
            if (now == last && now.isValid()) {
                return now;
            }
            last = now;
        }
        return last;
    }
    // Where a window's inside starts on the screen (moves the pointer there).
    QPoint origin(const Window& window) const {
        const auto values =
            shell({"mousemove", "--window", window, "0", "0", "getmouselocation", "--shell"});
        return {values.value("X", -1), values.value("Y", -1)};
    }
    void click(const Window& window, QPoint at, int count = 1) const {
        xdotool({"mousemove", "--window", window, QString::number(at.x()), QString::number(at.y()),
                 "sleep", "0.05", "click", "--repeat", QString::number(count), "--delay", "80",
                 "1"});
    }
    // Presses the left button at the first point, moves through the others in
    // steps of some 12 pixels, as a hand would, and releases it at the last.
    void drag(const Window& window, const QList<QPoint>& path) const {
        QStringList arguments;
        auto moveTo = [&](QPoint at) {
            arguments +=
                {"mousemove", "--window", window, QString::number(at.x()), QString::number(at.y()),
                 "sleep",     "0.02"};
        };
        moveTo(path.first());
        arguments += {"sleep", "0.1", "mousedown", "1"};
        for (qsizetype i = 1; i < path.size(); ++i) {
            const QPoint step = path[i] - path[i - 1];
            const int steps = std::max(1, int(std::hypot(step.x(), step.y())) / 12);
            for (int k = 1; k <= steps; ++k) {
                moveTo(path[i - 1] + step * k / steps);
            }
        }
        arguments += {"sleep", "0.3", "mouseup", "1"};
        xdotool(arguments);
    }

    // A quick tap of each key in turn (X key names: Return, space, KP_Insert).
    void tap(const QString& key) const { xdotool({"key", key}); }
    void keyDown(const QString& key) const { xdotool({"keydown", key}); }
    void keyUp(const QString& key) const { xdotool({"keyup", key}); }
    void type(const QString& text) const { xdotool({"type", "--delay", "20", text}); }
    // NumLock is off on a new server; tapping it changes the lock.
    void setNumLock(bool on) {
        if (on != m_numLock) {
            tap(QStringLiteral("Num_Lock"));
            m_numLock = on;
        }
    }

    // The picture of a window's inside as the screen shows it; null when it
    // cannot be taken.
    QImage picture(const Window& window) const {
        QProcess xwd;
        xwd.setProcessEnvironment(environment());
        xwd.start(QStringLiteral("xwd"), {"-id", window, "-silent"});
        if (!xwd.waitForFinished(20000) || xwd.exitCode() != 0) {
            return {};
        }
        return fromXwd(xwd.readAllStandardOutput());
    }

    // An XWD file as an image: the Z pixmap of 32 bits a pixel, least
    // significant byte first, 8 bits a colour, that Xvfb's 24-bit screen gives;
    // null for any other.
    static QImage fromXwd(const QByteArray& bytes) {
        auto word = [&bytes](int i) { return qFromBigEndian<quint32>(bytes.constData() + 4 * i); };
        if (bytes.size() < 100 || word(2) != 2 || word(7) != 0 || word(11) != 32 ||
            word(14) != 0xff0000 || word(15) != 0xff00 || word(16) != 0xff) {
            return {};
        }
        const int width = int(word(4));
        const int height = int(word(5));
        const qint64 perLine = word(12);
        const qint64 start = qint64(word(0)) + qint64(word(19)) * 12;
        if (start + perLine * height > bytes.size()) {
            return {};
        }
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            const auto* from =
                reinterpret_cast<const quint32*>(bytes.constData() + start + perLine * y);
            auto* to = reinterpret_cast<quint32*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                to[x] = qFromLittleEndian(from[x]) | 0xff000000U;
            }
        }
        return image;
    }

private:
    static void stopProcess(std::unique_ptr<QProcess>& process) {
        if (!process || process->state() == QProcess::NotRunning) {
            return;
        }
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    QTemporaryDir m_home;  // the window manager's own settings and cache
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_windowManager;
    QString m_display;
    bool m_numLock = false;
};
