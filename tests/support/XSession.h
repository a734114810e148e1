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
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>

#include "WaitUntil.h"

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
        QElapsedTimer timer;
        timer.start();
        while (!m_server->canReadLine() && timer.elapsed() < 15000 &&
               m_server->state() != QProcess::NotRunning) {
            m_server->waitForReadyRead(200);
        }
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
        waituntil::waitUntil(
            [&] {
                xdotool({"get_num_desktops"}, &managed);
                return managed || m_windowManager->state() == QProcess::NotRunning;
            },
            15000, 50);
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

    // The shown windows whose title matches the regular expression.
    QStringList windows(const QString& title) const {
        return xdotool({"search", "--onlyvisible", "--name", title})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool shown(const Window& window, const QString& title) const {
        return windows(title).contains(window);
    }
    // Waits for a shown window whose title matches and that is not one of
    // `known`; empty when none came within `ms`.
    Window waitForWindow(const QString& title, const QStringList& known = {},
                         int ms = 20000) const {
        Window found;
        waituntil::waitUntil(
            [&] {
                const QStringList all = windows(title);
                const auto it = std::ranges::find_if(
                    all, [&](const Window& window) { return !known.contains(window); });
                found = it == all.end() ? Window() : *it;
                return !found.isEmpty();
            },
            ms, 50);
        return found;
    }
    bool waitUntilGone(const Window& window, const QString& title, int ms = 10000) const {
        return waituntil::waitUntil([&] { return !shown(window, title); }, ms, 50);
    }

    // The window that has the keyboard; empty when none.
    Window activeWindow() const { return xdotool({"getactivewindow"}).trimmed(); }

    // The size of a window's inside, without the frame the manager adds.
    QSize size(const Window& window) const {
        const QStringList lines = xdotool({"getwindowgeometry", "--shell", window}).split('\n');
        auto value = [&lines](const QString& name) {
            for (const QString& line : lines) {
                if (line.startsWith(name + QLatin1Char('='))) {
                    return line.mid(name.size() + 1).toInt();
                }
            }
            return -1;
        };
        return {value(QStringLiteral("WIDTH")), value(QStringLiteral("HEIGHT"))};
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
        const QStringList lines =
            xdotool({"mousemove", "--window", window, "0", "0", "getmouselocation", "--shell"})
                .split('\n');
        QPoint at(-1, -1);
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1String("X="))) {
                at.setX(line.mid(2).toInt());
            } else if (line.startsWith(QLatin1String("Y="))) {
                at.setY(line.mid(2).toInt());
            }
        }
        return at;
    }

    void click(const Window& window, QPoint at, int count = 1) const {
        xdotool({"mousemove", "--window", window, QString::number(at.x()), QString::number(at.y()),
                 "sleep", "0.05", "click", "--repeat", QString::number(count), "--delay", "80",
                 "1"});
    }
    // Presses the left button at the first point, moves through the others in
    // small steps, as a hand would, and releases it at the last.
    void drag(const Window& window, const QList<QPoint>& path) const {
        QStringList arguments;
        auto moveTo = [&](QPoint at) {
            arguments << "mousemove"
                      << "--window" << window << QString::number(at.x()) << QString::number(at.y())
                      << "sleep"
                      << "0.02";
        };
        moveTo(path.first());
        arguments << "sleep"
                  << "0.1"
                  << "mousedown"
                  << "1";
        for (qsizetype i = 1; i < path.size(); ++i) {
            const QPoint from = path[i - 1];
            const QPoint to = path[i];
            const int steps =
                std::max(1, int(std::hypot(to.x() - from.x(), to.y() - from.y())) / 12);
            for (int step = 1; step <= steps; ++step) {
                moveTo(from + (to - from) * step / steps);
            }
        }
        arguments << "sleep"
                  << "0.3"
                  << "mouseup"
                  << "1";
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

    // An XWD file (a Z pixmap of 24 or 32 bits a pixel) as an image.
    static QImage fromXwd(const QByteArray& bytes) {
        constexpr int kHeaderWords = 25;
        if (bytes.size() < kHeaderWords * 4) {
            return {};
        }
        auto word = [&bytes](int i) { return qFromBigEndian<quint32>(bytes.constData() + 4 * i); };
        const quint32 headerSize = word(0);
        const quint32 format = word(2);
        const int width = int(word(4));
        const int height = int(word(5));
        const bool mostFirst = word(7) != 0;
        const quint32 bitsPerPixel = word(11);
        const qint64 bytesPerLine = word(12);
        const quint32 masks[3] = {word(14), word(15), word(16)};
        const qint64 colours = word(19);
        const qint64 start = qint64(headerSize) + colours * 12;
        constexpr quint32 kZPixmap = 2;
        if (format != kZPixmap || (bitsPerPixel != 32 && bitsPerPixel != 24) ||
            start + bytesPerLine * height > bytes.size()) {
            return {};
        }
        const int pixelBytes = int(bitsPerPixel / 8);
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            const auto* line =
                reinterpret_cast<const uchar*>(bytes.constData() + start + bytesPerLine * y);
            for (int x = 0; x < width; ++x) {
                const uchar* p = line + x * pixelBytes;
                quint32 value = 0;
                for (int b = 0; b < pixelBytes; ++b) {
                    const int shift = mostFirst ? 8 * (pixelBytes - 1 - b) : 8 * b;
                    value |= quint32(p[b]) << shift;
                }
                int rgb[3];
                for (int c = 0; c < 3; ++c) {
                    const quint32 mask = masks[c];
                    const int low = mask == 0 ? 0 : std::countr_zero(mask);
                    const quint32 top = mask >> low;
                    rgb[c] = top == 0 ? 0 : int((value & mask) >> low) * 255 / int(top);
                }
                image.setPixel(x, y, qRgb(rgb[0], rgb[1], rgb[2]));
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
