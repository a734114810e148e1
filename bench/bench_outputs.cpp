// The outputs on a live night, on a private PulseAudio server with four null
// sinks: A for the programme, B for a deck, C for paplay, D free.
//  - Holes in 30 s of air while eight busy processes run on the machine: the
//    main output (an MP3 through the mixer) on A, a deck (an MP3 through a
//    player) on B and paplay with its default buffer on C, at the same time,
//    each sink recorded with parecord. A hole is a run of 1 ms or more of
//    silence inside a steady tone.
//  - How soon the first start of a deck opened at start-up is heard on its
//    sink's monitor (by the clock, through a small recording client of this
//    benchmark's own), beside paplay's start on the same server; the stop; the
//    latency the outputs report (what positions are set back by).
//  - The programme's sink removed mid-play with D as the default: how soon the
//    programme plays on D, and on A again once A is back; then removed with B
//    (the deck's) as the default: how much of the programme reaches B.
// The buffer is the programs' default (Varonel.conf); `--buffer-ms N` tries
// another; BENCH_NO_LOAD=1 leaves out the 30 s under load.
//
//     bench_outputs [--buffer-ms N]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <pulse/pulseaudio.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PulseServer.h"
#include "Synth.h"
#include "audio/DeviceOutput.h"
#include "audio/FileSource.h"
#include "audio/Mixer.h"
#include "audio/OutputGroup.h"
#include "audio/Player.h"
#include "core/shared/ProgramOptions.h"

using namespace varonel;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 44100;
constexpr float kTone = 0.3f;
constexpr float kSilent = 0.001f;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

template <typename Done>
bool waitFor(Done done, int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (Clock::now() > end) {
            return false;
        }
        sleepMs(2);
    }
    return true;
}

// Holes: runs of at least 1 ms of silence between the first and the last sound.
int countHoles(const std::vector<float>& stereo) {
    size_t first = 0;
    while (first < stereo.size() && std::fabs(stereo[first]) < 0.01f) {
        ++first;
    }
    size_t last = stereo.size();
    while (last > first && std::fabs(stereo[last - 1]) < 0.01f) {
        --last;
    }
    int holes = 0;
    size_t run = 0;
    for (size_t i = first; i + 1 < last; i += 2) {
        if (std::max(std::fabs(stereo[i]), std::fabs(stereo[i + 1])) < kSilent) {
            ++run;
        } else {
            holes += run >= kRate / 1000 ? 1 : 0;
            run = 0;
        }
    }
    return holes;
}

// Processes that spin on the processor until killed.
class BusyProcesses {
public:
    explicit BusyProcesses(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                volatile unsigned spin = 0;
                for (;;) {
                    spin = spin + 1;
                }
            }
            m_pids.push_back(pid);
        }
    }
    ~BusyProcesses() {
        for (const pid_t pid : m_pids) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;

private:
    std::vector<pid_t> m_pids;
};

// Records a sink's monitor in small fragments and notes, by the clock, when
// each one arrived and how loud it was.
class MonitorProbe {
public:
    explicit MonitorProbe(const std::string& sink) : m_loop(pa_threaded_mainloop_new()) {
        m_fragments.reserve(20000);
        pa_threaded_mainloop_start(m_loop);
        pa_threaded_mainloop_lock(m_loop);
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "bench probe");
        pa_context_set_state_callback(m_context, &MonitorProbe::signal, m_loop);
        pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
        while (pa_context_get_state(m_context) != PA_CONTEXT_READY &&
               PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context))) {
            pa_threaded_mainloop_wait(m_loop);
        }
        const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, kRate, 2};
        m_stream = pa_stream_new(m_context, "bench probe", &format, nullptr);
        pa_buffer_attr attributes{};
        attributes.maxlength = uint32_t(-1);
        attributes.fragsize = 256 * 8;
        pa_stream_set_read_callback(m_stream, &MonitorProbe::onRead, this);
        pa_stream_connect_record(m_stream, (sink + ".monitor").c_str(), &attributes,
                                 pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE));
        pa_threaded_mainloop_unlock(m_loop);
    }
    ~MonitorProbe() {
        pa_threaded_mainloop_lock(m_loop);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        pa_threaded_mainloop_unlock(m_loop);
        pa_threaded_mainloop_stop(m_loop);
        pa_threaded_mainloop_free(m_loop);
    }
    MonitorProbe(const MonitorProbe&) = delete;
    MonitorProbe& operator=(const MonitorProbe&) = delete;

    // When a sound above `level` was first heard after `from`; nothing yet: max().
    Clock::time_point firstAbove(float level, Clock::time_point from) const {
        std::lock_guard lock(m_mutex);
        for (const Fragment& f : m_fragments) {
            if (f.end >= from && f.peak > level) {
                return f.end;
            }
        }
        return Clock::time_point::max();
    }
    // When a sound above `level` was last heard before `until`.
    Clock::time_point lastAbove(float level, Clock::time_point until) const {
        std::lock_guard lock(m_mutex);
        Clock::time_point last = Clock::time_point::min();
        for (const Fragment& f : m_fragments) {
            if (f.end <= until && f.peak > level) {
                last = f.end;
            }
        }
        return last;
    }

private:
    struct Fragment {
        Clock::time_point end;
        float peak = 0;
        int frames = 0;
    };
    static void signal(pa_context* /*context*/, void* loop) {
        pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
    }
    static void onRead(pa_stream* stream, size_t /*bytes*/, void* user) {
        auto* self = static_cast<MonitorProbe*>(user);
        const void* data = nullptr;
        size_t length = 0;
        while (pa_stream_peek(stream, &data, &length) == 0 && length > 0) {
            Fragment fragment{Clock::now(), 0.0f, int(length / 8)};
            if (data) {
                const auto* samples = static_cast<const float*>(data);
                for (size_t i = 0; i < length / 4; ++i) {
                    fragment.peak = std::max(fragment.peak, std::fabs(samples[i]));
                }
            }
            {
                std::lock_guard lock(self->m_mutex);
                self->m_fragments.push_back(fragment);
            }
            pa_stream_drop(stream);
        }
    }

    pa_threaded_mainloop* m_loop;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    mutable std::mutex m_mutex;
    std::vector<Fragment> m_fragments;
};

int deviceIndex(const audio::AudioOutput& output, const std::string& name) {
    for (int i = 0; i < 32; ++i) {
        if (output.deviceName(i) == name) {
            return i;
        }
    }
    return -100;
}

// The programme's chain and a deck, in one group as the programs make them.
struct Outputs {
    std::shared_ptr<audio::OutputGroup> group = std::make_shared<audio::OutputGroup>();
    audio::FileSource source;
    audio::Mixer mixer;
    audio::DeviceOutput main{audio::systemBackend(), group};
    audio::Player deck{std::make_unique<audio::DeviceOutput>(audio::systemBackend(), group)};

    Outputs(int bufferFrames, const std::string& programme, const std::string& track) {
        mixer.setSource(0, &source);
        main.setSource(&mixer);
        main.setBufferFrames(bufferFrames);
        deck.output().setBufferFrames(bufferFrames);
        main.setDeviceIndex(deviceIndex(main, "VaronelA"));
        main.open();
        deck.setDeviceIndex(deviceIndex(main, "VaronelB"));
        source.setFileName(programme);
        deck.setFileName(track);
    }
    void startProgramme() {
        mixer.setInputFinished(0, false);
        main.start();
    }
};

void holesUnderLoad(PulseServer& server, int bufferFrames, const std::string& mp3,
                    const QString& wav) {
    Outputs outputs(bufferFrames, mp3, mp3);
    for (const char* sink : {"VaronelA", "VaronelB", "VaronelC"}) {
        server.record(sink);
    }
    sleepMs(500);
    double load = 0;
    {
        const BusyProcesses busy(8);
        QProcess paplay;
        paplay.start("paplay", {"--device=VaronelC", wav});
        outputs.startProgramme();
        outputs.deck.play();
        sleepMs(31000);
        getloadavg(&load, 1);
        paplay.kill();
        paplay.waitForFinished();
    }
    outputs.main.close();
    outputs.deck.stop();
    const int main = countHoles(server.stopRecording("VaronelA"));
    const int deck = countHoles(server.stopRecording("VaronelB"));
    const int paplay = countHoles(server.stopRecording("VaronelC"));
    std::printf("holes in 30 s of air with eight busy processes, main output: %d holes (goal 0)\n",
                main);
    std::printf("holes in 30 s of air with eight busy processes, deck: %d holes (goal 0)\n", deck);
    std::printf(
        "holes in 30 s of air with eight busy processes, paplay with its default buffer: %d holes "
        "(goal 0, for comparison)\n",
        paplay);
    std::printf("load average (1 min) at the end of those 30 s: %.1f (goal > 8, the load asked)\n",
                load);
    const uint64_t underruns = outputs.main.underruns() + outputs.deck.output().underruns();
    std::printf("underruns of the decoders meanwhile: %llu (goal 0)\n",
                static_cast<unsigned long long>(underruns));
}

// The sink latency the server gives for the first stream on sink B (the deck's):
// how far ahead of the clock the sink takes its sound.
int sinkLatencyMs() {
    QProcess pactl;
    pactl.start("pactl", {"list", "sink-inputs"});
    pactl.waitForFinished(3000);
    const QStringList lines = QString::fromLocal8Bit(pactl.readAllStandardOutput()).split('\n');
    bool onB = false;
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith("Sink:")) {
            onB = trimmed == "Sink: 1";
        } else if (onB && trimmed.startsWith("Sink Latency:")) {
            return trimmed.section(' ', 2, 2).toInt() / 1000;
        }
    }
    return -1;
}

// Times until a sound first reaches a sink's monitor. A null sink takes its
// sound some way ahead of the clock, and a start is heard only once the sink has
// played what it took: the server's figure is printed beside it.
void latencyAndFirstStart(int bufferFrames, const std::string& mp3, const QString& wav) {
    MonitorProbe deckSink("VaronelB");
    MonitorProbe paplaySink("VaronelD");
    // An idle null sink has already mixed up to two seconds of silence ahead
    // when a probe asks it for a short latency, and plays that out first: the
    // probes wait for it, or a start would be timed against the probe's arrival.
    sleepMs(2500);
    Outputs outputs(bufferFrames, mp3, mp3);
    sleepMs(1000);  // the program has started; the decks' devices are open
    const int sinkDelayMs = sinkLatencyMs();
    const auto play = Clock::now();
    outputs.deck.play();
    waitFor([&] { return deckSink.firstAbove(0.1f, play) != Clock::time_point::max(); }, 3000);
    const double deck = msBetween(play, deckSink.firstAbove(0.1f, play));
    QProcess paplay;
    const auto paplayStart = Clock::now();
    paplay.start("paplay", {"--device=VaronelD", wav});
    waitFor([&] { return paplaySink.firstAbove(0.1f, paplayStart) != Clock::time_point::max(); },
            3000);
    const double baseline = msBetween(paplayStart, paplaySink.firstAbove(0.1f, paplayStart));
    paplay.kill();
    paplay.waitForFinished();
    std::printf(
        "first start of a deck after start-up, heard on its sink after: %.0f ms "
        "(goal < 50 ms plus the sink's own delay)\n",
        deck);
    std::printf(
        "the deck's sink's own delay then (what it had taken ahead, as the server "
        "says): %d ms\n",
        sinkDelayMs);
    std::printf(
        "paplay started on another sink of the same server, heard after: %.0f ms "
        "(for comparison: its 2 s buffer lets the server take all of it back)\n",
        baseline);
    sleepMs(1000);
    const auto stop = Clock::now();
    outputs.deck.stop();
    sleepMs(1000);
    std::printf(
        "stop of a deck, last sound on its sink after: %.0f ms "
        "(goal < 50 ms plus the sink's own delay)\n",
        msBetween(stop, std::max(stop, deckSink.lastAbove(0.1f, Clock::now()))));
    // A later start of the same deck, for comparison with the first.
    const auto again = Clock::now();
    outputs.deck.play();
    waitFor([&] { return deckSink.firstAbove(0.1f, again) != Clock::time_point::max(); }, 3000);
    std::printf("later start of the same deck, heard on its sink after: %.0f ms\n",
                msBetween(again, deckSink.firstAbove(0.1f, again)));
    outputs.deck.stop();
    sleepMs(500);
    // The main output, opened at load too, started as the transport starts it.
    const auto start = Clock::now();
    outputs.startProgramme();
    waitFor([&] { return outputs.source.hasStarted(); }, 3000);
    std::printf(
        "start of the main output opened at load, first block of the track handed to "
        "the device after: %.1f ms (goal < 50 ms)\n",
        msBetween(start, Clock::now()));
    outputs.deck.play();
    sleepMs(1500);
    const int bufferMs = int(int64_t(bufferFrames) * 1000 / kRate);
    std::printf(
        "output latency (what positions and meters are set back by), main output: %d ms "
        "(goal <= %d ms, the buffer asked, plus the sink's delay)\n",
        outputs.main.latencyMs(), bufferMs);
    std::printf("output latency, deck: %d ms (goal <= %d ms plus the sink's delay)\n",
                outputs.deck.output().latencyMs(), bufferMs);
    outputs.main.close();
    outputs.deck.stop();
}

// The programme's sink removed and put back, timed on the outputs' side (until
// the output plays on its new device) and with the new device's latency added
// (until it is heard there).
void lossAndReturn(PulseServer& server, int bufferFrames, const std::string& mp3) {
    Outputs outputs(bufferFrames, mp3, mp3);
    server.record("VaronelB");
    outputs.startProgramme();
    sleepMs(1500);
    const auto route = [&](audio::OutputRoute wanted, int ms) {
        const auto from = Clock::now();
        waitFor([&] { return outputs.main.route() == wanted; }, ms);
        const double reached = msBetween(from, Clock::now());
        sleepMs(600);
        return std::pair{reached, reached + outputs.main.latencyMs()};
    };

    server.setDefaultSink("VaronelD");
    server.removeSink("VaronelA");
    const auto [lostMs, lostHeardMs] = route(audio::OutputRoute::Fallback, 3000);
    std::printf(
        "device lost, programme moved to the default after: %.0f ms; heard there after: "
        "%.0f ms (goal < 500 ms)\n",
        lostMs, lostHeardMs);
    server.addSink("VaronelA");
    const auto [backMs, backHeardMs] = route(audio::OutputRoute::Chosen, 5000);
    std::printf(
        "device back, programme on it again after: %.0f ms; heard there after: %.0f ms "
        "(goal < 2000 ms)\n",
        backMs, backHeardMs);

    // Gone again while the default is the deck's device (the deck silent).
    server.setDefaultSink("VaronelB");
    server.removeSink("VaronelA");
    const auto [waitingMs, unused] = route(audio::OutputRoute::Waiting, 3000);
    sleepMs(1500);
    const int32_t held = outputs.source.positionMs();
    sleepMs(500);
    const bool heldStill = outputs.source.positionMs() == held;
    server.addSink("VaronelA");
    const auto [againMs, againHeardMs] = route(audio::OutputRoute::Chosen, 5000);
    outputs.main.close();
    const std::vector<float> b = server.stopRecording("VaronelB");
    size_t programme = 0;
    for (size_t i = 0; i + 1 < b.size(); i += 2) {
        programme += std::max(std::fabs(b[i]), std::fabs(b[i + 1])) > 0.1f ? 1 : 0;
    }
    std::printf(
        "device lost with the deck's as the default: waiting after %.0f ms, position "
        "held: %s (goal yes)\n",
        waitingMs, heldStill ? "yes" : "no");
    std::printf("programme heard on the deck's device meanwhile: %.0f ms (goal 0 ms)\n",
                double(programme) * 1000.0 / kRate);
    std::printf(
        "device back after the wait, programme on it again after: %.0f ms; heard there "
        "after: %.0f ms (goal < 2000 ms)\n",
        againMs, againHeardMs);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    int bufferMs = core::ProgramOptions().tamponMs;
    if (const qsizetype at = arguments.indexOf("--buffer-ms");
        at >= 0 && at + 1 < arguments.size()) {
        bufferMs = std::max(20, arguments[at + 1].toInt());
    }
    PulseServer server({"VaronelA", "VaronelB", "VaronelC", "VaronelD"});
    QString why;
    if (!server.start(&why)) {
        std::printf("outputs: not measured (%s)\n", qPrintable(why));
        return 0;
    }
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    qputenv("PULSE_SERVER", server.serverAddress().toLocal8Bit());
    QTemporaryDir dir;
    const synth::Audio tone = synth::sine(440, 40, kTone);
    const std::string mp3 = dir.filePath("Ton - 440.mp3").toStdString();
    const QString wav = dir.filePath("ton.wav");
    synth::writeMp3(mp3, tone);
    synth::writeWav(wav.toStdString(), tone);
    const int bufferFrames = core::framesOfMs(bufferMs);
    std::printf("buffer asked of each output: %d ms (Varonel.conf TamponMs)\n", bufferMs);
    if (!qEnvironmentVariableIsSet("BENCH_NO_LOAD")) {
        holesUnderLoad(server, bufferFrames, mp3, wav);
    }
    latencyAndFirstStart(bufferFrames, mp3, wav);
    lossAndReturn(server, bufferFrames, mp3);
    return 0;
}
