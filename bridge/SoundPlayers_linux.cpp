// The sound output on Linux: a PulseAudio stream fed straight from memory.
// Qt's own audio sink wakes its thread every 20 ms while a stream is open;
// here the server asks for more only when a quarter of a second has played,
// so the looping music wakes nothing but a few times a second.

#include "SoundPlayers_output.h"

#include <QtGlobal>

#include <mutex>

#include <pulse/pulseaudio.h>

namespace {

constexpr int kBufferMs = 1000;
constexpr int kRequestMs = 250;

// One connection to the server for all streams, made with the first one.
// It lives to the end of the process: a sound thread left behind may still
// hold streams on it.
class PulseLink {
public:
    static PulseLink &get()
    {
        static PulseLink *link = new PulseLink;
        return *link;
    }

    // The connection, made now if needed; null without a server. Returns
    // with its `loop`, which also guards the streams on it, locked.
    pa_context *lockedContext(pa_threaded_mainloop *&loop)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        loop = m_loop;
        if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
            pa_threaded_mainloop_lock(m_loop);
            return m_context;
        }
        if (m_context) {
            // Lost (the server went away): left as it is to the streams
            // still on it; their thread stops, a new connection is made.
            pa_threaded_mainloop_stop(m_loop);
            m_context = nullptr;
            m_loop = nullptr;
        }
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop)
            return nullptr;
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "z3config");
        pa_context_set_state_callback(
            m_context, [](pa_context *, void *loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop *>(loop), 0); },
            m_loop);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            pa_threaded_mainloop_start(m_loop) < 0) {
            close();
            return nullptr;
        }
        pa_threaded_mainloop_lock(m_loop);
        pa_context_state_t state;
        while ((state = pa_context_get_state(m_context)) != PA_CONTEXT_READY && PA_CONTEXT_IS_GOOD(state))
            pa_threaded_mainloop_wait(m_loop);
        if (state != PA_CONTEXT_READY) {
            pa_threaded_mainloop_unlock(m_loop);
            close();
            return nullptr;
        }
        loop = m_loop;
        return m_context;
    }

private:
    void close()
    {
        if (m_loop)
            pa_threaded_mainloop_stop(m_loop);
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        if (m_loop)
            pa_threaded_mainloop_free(m_loop);
        m_context = nullptr;
        m_loop = nullptr;
    }

    std::mutex m_mutex;
    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
};

class PulseOutput : public SoundOutput {
public:
    // Call with the connection's loop locked.
    PulseOutput(pa_threaded_mainloop *thread, pa_stream *stream, const QByteArray &pcm, bool loop)
        : m_thread(thread), m_stream(stream), m_pcm(pcm), m_loop(loop)
    {
        pa_stream_set_write_callback(m_stream, &PulseOutput::write, this);
    }
    ~PulseOutput() override
    {
        pa_threaded_mainloop_lock(m_thread);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        pa_threaded_mainloop_unlock(m_thread);
    }

private:
    // On the server connection's thread, whenever the stream has room.
    static void write(pa_stream *stream, size_t room, void *self)
    {
        auto *out = static_cast<PulseOutput *>(self);
        const size_t size = size_t(out->m_pcm.size());
        while (room > 0 && (out->m_loop || out->m_offset < size)) {
            const size_t chunk = qMin(room, size - out->m_offset);
            if (pa_stream_write(stream, out->m_pcm.constData() + out->m_offset, chunk, nullptr, 0,
                                PA_SEEK_RELATIVE) < 0)
                return;
            out->m_offset = out->m_loop ? (out->m_offset + chunk) % size : out->m_offset + chunk;
            room -= chunk;
        }
        // A sound shorter than the buffer starts once it is all there.
        if (!out->m_loop && out->m_offset >= size && !out->m_started) {
            out->m_started = true;
            pa_operation *started = pa_stream_trigger(stream, nullptr, nullptr);
            if (started)
                pa_operation_unref(started);
        }
    }

    pa_threaded_mainloop *m_thread;
    pa_stream *m_stream;
    const QByteArray &m_pcm;
    const bool m_loop;
    size_t m_offset = 0;
    bool m_started = false;
};

} // namespace

std::unique_ptr<SoundOutput> SoundOutput::open(const QByteArray &pcm, const QAudioFormat &format, bool loop)
{
    if (pcm.isEmpty() || format.sampleFormat() != QAudioFormat::Int16)
        return nullptr;
    pa_sample_spec pulseFormat{PA_SAMPLE_S16LE, uint32_t(format.sampleRate()), uint8_t(format.channelCount())};
    if (!pa_sample_spec_valid(&pulseFormat))
        return nullptr;
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(pa_usec_to_bytes(kBufferMs * 1000, &pulseFormat));
    attr.minreq = uint32_t(pa_usec_to_bytes(kRequestMs * 1000, &pulseFormat));
    attr.prebuf = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    pa_threaded_mainloop *thread = nullptr;
    pa_context *context = PulseLink::get().lockedContext(thread);
    if (!context)
        return nullptr;
    std::unique_ptr<SoundOutput> out;
    pa_stream *stream = pa_stream_new(context, "z3config", &pulseFormat, nullptr);
    if (stream) {
        out = std::make_unique<PulseOutput>(thread, stream, pcm, loop);
        if (pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0)
            out.reset(); // the loop's lock is taken again; it counts
    }
    pa_threaded_mainloop_unlock(thread);
    return out;
}
