// Sound devices through PulseAudio's own client library (what PipeWire serves
// too). Unlike SDL it can drop what a stream holds and have it mixed in again
// from now on, so the large buffer that keeps the sound whole on a busy machine
// does not delay a start, a stop or a seek; it says how late the sound is, so positions are shown
// as heard; and it follows the server's default device, so an output that lost its own can tell
// whose device the default is.
//
// One threaded main loop serves every stream: the outputs' callbacks run on its
// thread with its lock held, and every function here takes that lock. A stream
// opened on a named device never moves: when the device goes, the stream is
// lost and its output decides where to go.

#include <pulse/pulseaudio.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/DeviceBackend.h"

namespace varonel::audio {
namespace {

constexpr int kRate = 44100;
constexpr int kFrameBytes = 2 * int(sizeof(float));
// What the server asks for at a time: small requests keep the queue full and
// steady, whatever its length.
constexpr int kRequestFrames = 1024;
// A lost server is looked for again at most this often.
constexpr auto kReconnectPeriod = std::chrono::seconds(1);

// Holds the main loop's lock for a scope.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : m_loop(loop) {
        pa_threaded_mainloop_lock(m_loop);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

void forget(pa_operation* operation) {
    if (operation) {
        pa_operation_unref(operation);
    }
}

bool fail(std::string* error, const std::string& text) {
    if (error) {
        *error = text;
    }
    return false;
}

class PulseBackend final : public DeviceBackend {
public:
    PulseBackend() : m_loop(pa_threaded_mainloop_new()) {
        pa_threaded_mainloop_start(m_loop);
        const LoopLock lock(m_loop);
        connectLocked();
    }
    ~PulseBackend() override {
        {
            const LoopLock lock(m_loop);
            for (auto& [id, stream] : m_streams) {
                releaseLocked(*stream);
            }
            m_streams.clear();
            dropContextLocked();
        }
        pa_threaded_mainloop_stop(m_loop);
        pa_threaded_mainloop_free(m_loop);
    }
    PulseBackend(const PulseBackend&) = delete;
    PulseBackend& operator=(const PulseBackend&) = delete;

    bool connected() {
        const LoopLock lock(m_loop);
        return readyLocked();
    }

    std::string deviceName(int index) override {
        const LoopLock lock(m_loop);
        readyLocked();
        if (index == -1) {
            const std::string target = defaultDescriptionLocked();
            return target.empty() ? "Sortie par défaut" : "Sortie par défaut (" + target + ")";
        }
        return index >= 0 && index < int(m_sinks.size()) ? m_sinks[size_t(index)].description
                                                         : std::string();
    }

    std::string defaultDevice() override {
        const LoopLock lock(m_loop);
        readyLocked();
        return defaultDescriptionLocked();
    }

    bool open(int index, int bufferFrames, Callback callback, void* user, Opened* opened,
              std::string* error) override {
        const LoopLock lock(m_loop);
        if (!readyLocked()) {
            return fail(error, "Pas de serveur de son : " + m_contextError);
        }
        const Sink* sink = index >= 0
                               ? (index < int(m_sinks.size()) ? &m_sinks[size_t(index)] : nullptr)
                               : defaultSinkLocked();
        if (index >= 0 && !sink) {
            return fail(error, "Sortie audio introuvable (n° " + std::to_string(index) + ")");
        }
        auto stream = std::make_unique<Stream>();
        stream->callback = callback;
        stream->user = user;
        stream->bufferFrames = std::max(bufferFrames, 256);
        if (!connectStreamLocked(*stream, sink, error)) {
            releaseLocked(*stream);
            return false;
        }
        const uint32_t id = ++m_nextId;
        m_streams[id] = std::move(stream);
        *opened = Opened{id, kRate, bufferFrames, sink ? sink->description : std::string()};
        return true;
    }

    // A start is heard at once: the stream is filled afresh while corked, and a
    // stream that comes back from cork is mixed in by the server from now on.
    // A stop corks it and drops what it held.
    void setPlaying(uint32_t id, bool playing) override {
        const LoopLock lock(m_loop);
        Stream* stream = findLocked(id);
        if (!stream) {
            return;
        }
        stream->playing.store(playing);
        if (playing) {
            restartLocked(*stream);
        } else {
            forget(pa_stream_cork(stream->stream, 1, nullptr, nullptr));
            forget(pa_stream_flush(stream->stream, nullptr, nullptr));
        }
    }

    bool isLost(uint32_t id) override {
        const LoopLock lock(m_loop);
        const Stream* stream = findLocked(id);
        return !stream || stream->lost.load() || !m_context ||
               pa_context_get_state(m_context) != PA_CONTEXT_READY;
    }

    void close(uint32_t id) override {
        const LoopLock lock(m_loop);
        const auto it = m_streams.find(id);
        if (it != m_streams.end()) {
            releaseLocked(*it->second);
            m_streams.erase(it);
        }
    }

private:
    struct Sink {
        std::string name;
        std::string description;
    };
    struct Stream {
        pa_stream* stream = nullptr;
        Callback callback = nullptr;
        void* user = nullptr;
        int bufferFrames = 0;
        std::atomic<bool> playing{false};
        std::atomic<bool> lost{false};
        bool ready = false;
    };

    // --- Connection (loop lock held) ---

    bool connectLocked() {
        m_lastAttempt = std::chrono::steady_clock::now();
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Varonel");
        pa_context_set_state_callback(m_context, &PulseBackend::onContextState, this);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            m_contextError = pa_strerror(pa_context_errno(m_context));
            dropContextLocked();
            return false;
        }
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(m_context);
            if (state == PA_CONTEXT_READY) {
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state)) {
                m_contextError = pa_strerror(pa_context_errno(m_context));
                dropContextLocked();
                return false;
            }
            pa_threaded_mainloop_wait(m_loop);
        }
        pa_context_set_subscribe_callback(m_context, &PulseBackend::onServerEvent, this);
        forget(pa_context_subscribe(
            m_context,
            pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER),
            nullptr, nullptr));
        // The first listing is waited for: the window lists the devices next.
        m_listed = false;
        refreshLocked();
        while (!m_listed && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
            pa_threaded_mainloop_wait(m_loop);
        }
        return true;
    }

    // Ready, or connected again after the server went away (at most once a second).
    bool readyLocked() {
        if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
            return true;
        }
        if (std::chrono::steady_clock::now() - m_lastAttempt < kReconnectPeriod) {
            return false;
        }
        dropContextLocked();
        m_sinks.clear();
        m_defaultSink.clear();
        return connectLocked();
    }

    void dropContextLocked() {
        if (m_context) {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
            m_context = nullptr;
        }
    }

    // Asks again for the devices and the default one; the answers replace the lists.
    void refreshLocked() {
        m_building.clear();
        forget(pa_context_get_sink_info_list(m_context, &PulseBackend::onSink, this));
        forget(pa_context_get_server_info(m_context, &PulseBackend::onServer, this));
    }

    const Sink* defaultSinkLocked() const {
        const auto it = std::find_if(m_sinks.begin(), m_sinks.end(),
                                     [this](const Sink& s) { return s.name == m_defaultSink; });
        return it == m_sinks.end() ? nullptr : &*it;
    }
    std::string defaultDescriptionLocked() const {
        const Sink* sink = defaultSinkLocked();
        return sink ? sink->description : std::string();
    }

    // --- Streams (loop lock held) ---

    // Opened corked, on the sink by its name so that the server never moves it;
    // the server is asked to keep `bufferFrames` queued and to ask for more in
    // small requests.
    bool connectStreamLocked(Stream& stream, const Sink* sink, std::string* error) {
        const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, kRate, 2};
        stream.stream = pa_stream_new(m_context, "Varonel", &format, nullptr);
        if (!stream.stream) {
            return fail(error, std::string("Impossible d'ouvrir la sortie audio : ") +
                                   pa_strerror(pa_context_errno(m_context)));
        }
        pa_buffer_attr attributes{};
        attributes.maxlength = uint32_t(-1);
        attributes.tlength = uint32_t(stream.bufferFrames * kFrameBytes);
        attributes.prebuf = uint32_t(-1);
        attributes.minreq =
            uint32_t(std::min(kRequestFrames, stream.bufferFrames / 2) * kFrameBytes);
        attributes.fragsize = uint32_t(-1);
        int flags = PA_STREAM_START_CORKED | PA_STREAM_INTERPOLATE_TIMING |
                    PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY;
        if (sink) {
            flags |= PA_STREAM_DONT_MOVE;
        }
        pa_stream_set_state_callback(stream.stream, &PulseBackend::onStreamState, this);
        pa_stream_set_write_callback(stream.stream, &PulseBackend::onWrite, &stream);
        if (pa_stream_connect_playback(stream.stream, sink ? sink->name.c_str() : nullptr,
                                       &attributes, pa_stream_flags_t(flags), nullptr,
                                       nullptr) < 0) {
            return fail(error, std::string("Impossible d'ouvrir la sortie audio : ") +
                                   pa_strerror(pa_context_errno(m_context)));
        }
        for (;;) {
            const pa_stream_state_t state = pa_stream_get_state(stream.stream);
            if (state == PA_STREAM_READY) {
                break;
            }
            if (!PA_STREAM_IS_GOOD(state)) {
                return fail(error, std::string("Impossible d'ouvrir la sortie audio : ") +
                                       pa_strerror(pa_context_errno(m_context)));
            }
            pa_threaded_mainloop_wait(m_loop);
        }
        // From here on the stream's own state callback marks it lost.
        pa_stream_set_state_callback(stream.stream, &PulseBackend::onOpenStreamState, &stream);
        stream.ready = true;
        return true;
    }

    void releaseLocked(Stream& stream) {
        if (stream.stream) {
            pa_stream_set_write_callback(stream.stream, nullptr, nullptr);
            pa_stream_set_state_callback(stream.stream, nullptr, nullptr);
            if (stream.ready) {
                pa_stream_disconnect(stream.stream);
            }
            pa_stream_unref(stream.stream);
            stream.stream = nullptr;
        }
    }

    Stream* findLocked(uint32_t id) {
        const auto it = m_streams.find(id);
        return it == m_streams.end() ? nullptr : it->second.get();
    }

    // --- Callbacks of the loop's thread (its lock held) ---

    static void onContextState(pa_context* /*context*/, void* user) {
        auto* self = static_cast<PulseBackend*>(user);
        pa_threaded_mainloop_signal(self->m_loop, 0);
    }

    static void onServerEvent(pa_context* /*context*/, pa_subscription_event_type_t /*type*/,
                              uint32_t /*index*/, void* user) {
        static_cast<PulseBackend*>(user)->refreshLocked();
    }

    static void onSink(pa_context* /*context*/, const pa_sink_info* info, int last, void* user) {
        auto* self = static_cast<PulseBackend*>(user);
        if (last) {
            self->m_sinks.swap(self->m_building);
            self->m_building.clear();
            self->m_listed = true;
            pa_threaded_mainloop_signal(self->m_loop, 0);
            return;
        }
        if (info) {
            self->m_building.push_back(
                Sink{info->name ? info->name : "", info->description ? info->description : ""});
        }
    }

    static void onServer(pa_context* /*context*/, const pa_server_info* info, void* user) {
        auto* self = static_cast<PulseBackend*>(user);
        if (info && info->default_sink_name) {
            self->m_defaultSink = info->default_sink_name;
        }
    }

    static void onStreamState(pa_stream* /*stream*/, void* user) {
        pa_threaded_mainloop_signal(static_cast<PulseBackend*>(user)->m_loop, 0);
    }

    static void onOpenStreamState(pa_stream* stream, void* user) {
        if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
            static_cast<Stream*>(user)->lost.store(true);
        }
    }

    // Fills what the server asks for: the output's sound while playing, silence
    // while paused (a corked stream still fills its queue).
    static void onWrite(pa_stream* s, size_t bytes, void* user) {
        raisePriorityOnce();
        fill(s, *static_cast<Stream*>(user), bytes, PA_SEEK_RELATIVE);
    }

    // Drops what the corked stream held, fills it with the output's sound and
    // uncorks it: nothing of it was taken by the device yet. Only a first
    // request is rendered here: the server asks for the rest at once, and the
    // decoders have those few milliseconds more to be ready.
    static void restartLocked(Stream& stream) {
        forget(pa_stream_flush(stream.stream, nullptr, nullptr));
        const int frames = std::min(stream.bufferFrames, kRequestFrames);
        fill(stream.stream, stream, size_t(frames) * kFrameBytes, PA_SEEK_RELATIVE_ON_READ);
        forget(pa_stream_cork(stream.stream, 0, nullptr, nullptr));
    }

    // Writes `bytes` of the stream's sound, the first block placed by `seek`, the
    // next ones after it. Called on the loop's thread, or with its lock held:
    // never two at once.
    static void fill(pa_stream* s, Stream& stream, size_t bytes, pa_seek_mode_t seek) {
        while (bytes >= size_t(kFrameBytes)) {
            void* data = nullptr;
            size_t length = bytes;
            if (pa_stream_begin_write(s, &data, &length) < 0 || !data) {
                return;
            }
            length = std::min(length, bytes);
            length -= length % size_t(kFrameBytes);
            if (length == 0) {
                pa_stream_cancel_write(s);
                return;
            }
            const int frames = int(length / size_t(kFrameBytes));
            if (stream.playing.load(std::memory_order_relaxed)) {
                // Written afresh into a corked stream, nothing is ahead of it.
                const int ahead =
                    seek == PA_SEEK_RELATIVE ? queuedFrames(s, stream.bufferFrames) : 0;
                stream.callback(stream.user, static_cast<float*>(data), frames, ahead + frames);
            } else {
                std::memset(data, 0, length);
            }
            pa_stream_write(s, data, length, nullptr, 0, seek);
            seek = PA_SEEK_RELATIVE;
            bytes -= length;
        }
    }

    // What the stream holds and the sink has yet to play, in frames.
    static int queuedFrames(pa_stream* s, int fallback) {
        pa_usec_t usec = 0;
        int negative = 0;
        if (pa_stream_get_latency(s, &usec, &negative) != 0 || negative) {
            return fallback;
        }
        return int(int64_t(usec) * kRate / 1000000);
    }

    // The loop's thread fills every device: it asks to be served before ordinary
    // work, as SDL's audio threads do. Without the right to, it stays as it is.
    static void raisePriorityOnce() {
        static thread_local bool raised = false;
        if (!raised) {
            raised = true;
            setpriority(PRIO_PROCESS, id_t(gettid()), -20);
        }
    }

    pa_threaded_mainloop* m_loop;
    pa_context* m_context = nullptr;
    std::string m_contextError;
    std::chrono::steady_clock::time_point m_lastAttempt;
    std::vector<Sink> m_sinks;
    std::vector<Sink> m_building;
    std::string m_defaultSink;
    bool m_listed = false;
    std::map<uint32_t, std::unique_ptr<Stream>> m_streams;
    uint32_t m_nextId = 0;
};

}  // namespace

DeviceBackend* pulseBackend() {
    static const std::unique_ptr<PulseBackend> backend = [] {
        auto made = std::make_unique<PulseBackend>();
        return made->connected() ? std::move(made) : nullptr;
    }();
    return backend.get();
}

DeviceBackend& systemBackend() {
    static DeviceBackend* const chosen = []() -> DeviceBackend* {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        const std::string wanted = driver ? driver : "";
        if (wanted.empty() || wanted == "pulseaudio" || wanted == "pulse") {
            if (DeviceBackend* pulse = pulseBackend()) {
                return pulse;
            }
        }
        return &sdlBackend();
    }();
    return *chosen;
}

}  // namespace varonel::audio
