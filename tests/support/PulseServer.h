#pragma once
// A private PulseAudio server for tests and benchmarks: started in a temporary
// folder with its own socket and its null sinks ("VaronelA" and "VaronelB" unless
// told otherwise), recorded through their monitors with parecord, stopped and
// cleaned up on destruction. Nothing of the machine's own sound set-up is touched.
//
// PulseAudio warns when it runs as root (as CI does) but runs; where it cannot
// start at all, start() says why and the caller skips.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <vector>

#include <sndfile.h>

#include "ChildProcess.h"
#include "WaitUntil.h"

class PulseServer {
public:
    explicit PulseServer(QStringList sinks = {"VaronelA", "VaronelB"})
        : m_sinks(std::move(sinks)) {}
    ~PulseServer() {
        for (auto& [name, recorder] : m_recorders) {
            childprocess::stop(*recorder, 3000);
        }
        childprocess::stop(m_server, 3000);
    }

    // Starts the server and its sinks, the first one the default; false with *why
    // set when it cannot.
    bool start(QString* why) {
        if (childprocess::missing({"pulseaudio", "pactl", "parecord"}, why)) {
            return false;
        }
        m_socket = m_dir.filePath("native");
        m_server.setProcessEnvironment(environment());
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start("pulseaudio",
                       {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=false",
                        "--disallow-module-loading=false", "--log-target=stderr", "-L",
                        "module-native-protocol-unix socket=" + m_socket + " auth-anonymous=1"});
        const auto running = [this] { return m_server.state() == QProcess::Running; };
        if (!m_server.waitForStarted(5000) ||
            !waituntil::waitUntil([&] { return !running() || pactl({"info"}) == 0; }, 8000, 50) ||
            !running()) {
            *why = "pulseaudio did not start or answer: " + m_server.errorString() + ' ' +
                   QString::fromLocal8Bit(m_server.readAll()).trimmed().right(300);
            return false;
        }
        for (const QString& sink : m_sinks) {
            if (!addSink(sink)) {
                *why = "the null sink " + sink + " could not be loaded";
                return false;
            }
        }
        setDefaultSink(m_sinks.value(0));
        return true;
    }

    // Adds a null sink (again, after removeSink(), as a card plugged back in).
    bool addSink(const QString& sink) {
        QString index;
        if (pactl({"load-module", "module-null-sink", "sink_name=" + sink,
                   "sink_properties=device.description=" + sink},
                  &index) != 0) {
            return false;
        }
        m_modules[sink] = index.trimmed();
        return true;
    }
    // Makes `sink` the default, and its monitor the default source: where the
    // server moves the recording of a sink that is removed.
    bool setDefaultSink(const QString& sink) {
        return pactl({"set-default-sink", sink}) == 0 &&
               pactl({"set-default-source", sink + ".monitor"}) == 0;
    }

    // What SDL and the clients must be told to use this server.
    QString serverAddress() const { return "unix:" + m_socket; }

    // Records the monitor of `sink` until stopRecording().
    bool record(const QString& sink) {
        auto recorder = std::make_unique<QProcess>();
        recorder->setProcessEnvironment(environment());
        recorder->start("parecord", {"--server=" + serverAddress(), "--device=" + sink + ".monitor",
                                     "--format=float32le", "--rate=44100", "--channels=2",
                                     "--file-format=wav", wavPath(sink)});
        if (!recorder->waitForStarted(3000)) {
            return false;
        }
        m_recorders[sink] = std::move(recorder);
        return true;
    }
    // Waits until the recording of `sink` holds `frames` more than it did when
    // asked (at most `ms`): an idle null sink hands its monitor sound in large
    // blocks, late. False when it did not.
    bool awaitRecorded(const QString& sink, int64_t frames, int ms) const {
        const auto recorded = [&] { return QFileInfo(wavPath(sink)).size() / 8; };
        const int64_t target = recorded() + frames;
        return waituntil::waitUntil([&] { return recorded() >= target; }, ms, 20);
    }
    // Stops the recording of `sink` and returns its samples, interleaved stereo.
    std::vector<float> stopRecording(const QString& sink) {
        auto it = m_recorders.find(sink);
        if (it == m_recorders.end()) {
            return {};
        }
        childprocess::stop(*it->second, 3000);
        m_recorders.erase(it);
        SF_INFO info{};
        SNDFILE* file = sf_open(wavPath(sink).toLocal8Bit().constData(), SFM_READ, &info);
        if (!file) {
            return {};
        }
        std::vector<float> samples(size_t(info.frames) * size_t(info.channels));
        sf_readf_float(file, samples.data(), info.frames);
        sf_close(file);
        return samples;
    }

    // How many playback streams the server plays on `sink` now.
    // (pactl's short lists: a sink's index, then its name; a stream's index,
    // then its sink's.)
    int streamsOn(const QString& sink) const {
        QString sinks;
        QString inputs;
        pactl({"list", "short", "sinks"}, &sinks);
        pactl({"list", "short", "sink-inputs"}, &inputs);
        const QString index =
            sinks.split('\n').filter('\t' + sink + '\t').value(0).section('\t', 0, 0);
        const QRegularExpression onSink("^\\d+\t" + index + '\t');
        return index.isEmpty() ? 0 : int(inputs.split('\n').filter(onSink).size());
    }

    // Removes a sink, as when a card is unplugged.
    bool removeSink(const QString& sink) { return pactl({"unload-module", m_modules[sink]}) == 0; }

private:
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_dir.path());
        env.insert("XDG_RUNTIME_DIR", m_dir.path());
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        env.insert("PULSE_SERVER", "unix:" + m_socket);
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        return env;
    }
    QString wavPath(const QString& sink) const { return m_dir.filePath(sink + ".wav"); }

    int pactl(const QStringList& arguments, QString* output = nullptr) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start("pactl", QStringList{"--server=" + serverAddress()} + arguments);
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        if (output) {
            *output = QString::fromLocal8Bit(process.readAllStandardOutput());
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QStringList m_sinks;
    QTemporaryDir m_dir;
    QString m_socket;
    QProcess m_server;
    std::map<QString, std::unique_ptr<QProcess>> m_recorders;
    std::map<QString, QString> m_modules;
};
