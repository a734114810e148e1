#pragma once
// A private X display for tests that drive the real programs as a person
// would: Xvfb on a display nobody uses, the openbox window manager, xdotool
// for the mouse and the keyboard (through XTEST, as the devices would) and xwd
// for the picture of a window, read through netpbm's xwdtopnm. Everything it started stops with it.
// Where a tool is missing or the server does not start, start() says why and the caller skips.
//
// Windows are named by xdotool's decimal window ids; points are in a window's
// own coordinates (xdotool places the pointer relative to the window).

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

#include "ChildProcess.h"
#include "WaitUntil.h"

class XSession {
public:
    using Window = QString;

    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    ~XSession() {
        childprocess::stop(m_windowManager);
        childprocess::stop(m_server);
    }

    bool start(QString* why) {
        if (childprocess::missing({"Xvfb", "openbox", "xdotool", "xwd", "xwdtopnm"}, why)) {
            return false;
        }
        // -displayfd: the server takes the first free display and prints its number.
        m_server.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0",
                                                QStringLiteral("%1x%2x24").arg(kWidth).arg(kHeight),
                                                "-dpi", "96", "-nolisten", "tcp", "-noreset"});
        poll(15000, [&] {
            m_server.waitForReadyRead(200);
            return m_server.canReadLine() || m_server.state() == QProcess::NotRunning;
        });
        const QString number = QString::fromLatin1(m_server.readLine()).trimmed();
        if (number.isEmpty()) {
            *why = QStringLiteral("Xvfb did not start: ") +
                   QString::fromLocal8Bit(m_server.readAllStandardError()).trimmed().right(300);
            return false;
        }
        m_display = QLatin1Char(':') + number;

        QProcessEnvironment managerEnvironment = environment();
        managerEnvironment.insert(QStringLiteral("HOME"), m_home.path());
        m_windowManager.setProcessEnvironment(managerEnvironment);
        m_windowManager.setProcessChannelMode(QProcess::MergedChannels);
        m_windowManager.start(QStringLiteral("openbox"), {"--sm-disable"});
        // openbox tells a number of desktops once it manages the screen.
        const bool managed = poll(15000, [&] {
            return m_windowManager.state() == QProcess::NotRunning ||
                   xdotool({"get_num_desktops"}).trimmed().toInt() > 0;
        });
        if (!managed || m_windowManager.state() == QProcess::NotRunning) {
            *why = QStringLiteral("openbox did not start: ") +
                   QString::fromLocal8Bit(m_windowManager.readAll()).trimmed().right(300);
            return false;
        }
        return true;
    }

    // The environment of a program shown on this display.
    QProcessEnvironment environment() const {
        QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
        base.insert(QStringLiteral("DISPLAY"), m_display);
        base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        base.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return base;
    }

    // Runs xdotool with `arguments`; its output.
    QString xdotool(const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral("xdotool"), arguments);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
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
    // Asks `done` every 50 ms until it holds or `ms` have passed; whether it held.
    template <typename Done>
    static bool poll(int ms, Done done) {
        return waituntil::waitUntil(done, ms, 50);
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
        return poll(ms, [&] { return !windows(title).contains(window); });
    }

    // The size of a window's inside, without the frame the manager adds.
    QSize size(const Window& window) const {
        const auto values = shell({"getwindowgeometry", "--shell", window});
        return {values.value("WIDTH", -1), values.value("HEIGHT", -1)};
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

    // The picture of a window's inside as the screen shows it; null when it
    // cannot be taken.
    QImage picture(const Window& window) const {
        QProcess xwd;
        QProcess toPnm;
        xwd.setProcessEnvironment(environment());
        xwd.setStandardOutputProcess(&toPnm);
        xwd.start(QStringLiteral("xwd"), {"-id", window, "-silent"});
        toPnm.start(QStringLiteral("xwdtopnm"), {"-quiet"});
        // The converter first: waiting on it drains the picture from the pipe.
        if (!toPnm.waitForFinished(20000) || !xwd.waitForFinished(5000) || toPnm.exitCode() != 0) {
            return {};
        }
        return QImage::fromData(toPnm.readAllStandardOutput(), "PPM");
    }

private:
    QTemporaryDir m_home;  // the window manager's own settings and cache
    QProcess m_server;
    QProcess m_windowManager;
    QString m_display;
};
