// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sound module: effects played through the desktop's PulseAudio server
// (PipeWire's stands in for it where that runs), on a thread of its own.
//
// Nothing here waits for the server. Every request is handed to the thread,
// which runs libpulse's asynchronous API in its own main loop, so a server
// that hangs, restarts or loses the output we used costs at most an effect,
// never the game's thread. Each effect is a new stream on the server's
// default output, so an effect goes wherever the desktop sends sound now
// (a headset plugged in, then unplugged). A lost connection is made again
// at the next effect.

#include "effect_output.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace trazzo {

namespace {

using Clock = std::chrono::steady_clock;

// An effect that cannot start within this time (the server still being
// connected) is dropped: heard later it would belong to another moment.
constexpr auto StaleAfter = std::chrono::milliseconds(500);

// The stream's buffer: short, so an effect starts at once and a cut-off
// one stops at once.
constexpr pa_usec_t BufferUsec = 40'000;

pa_sample_format_t formatOf(EffectSamples::Sample sample)
{
    switch (sample) {
    case EffectSamples::Sample::UInt8: return PA_SAMPLE_U8;
    case EffectSamples::Sample::Int16: return PA_SAMPLE_S16LE;
    case EffectSamples::Sample::Int32: return PA_SAMPLE_S32LE;
    case EffectSamples::Sample::Float: return PA_SAMPLE_FLOAT32LE;
    }
    return PA_SAMPLE_INVALID;
}

class PulseOutput final : public EffectOutput {
public:
    PulseOutput() : m_loop(pa_mainloop_new())
    {
        m_thread = std::thread([this] { run(); });
    }

    ~PulseOutput() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        pa_mainloop_wakeup(m_loop);
        // The thread never waits on the server, so it ends at once; should
        // it not, the game still closes and leaves it behind.
        std::unique_lock lock(m_mutex);
        if (m_ended.wait_for(lock, std::chrono::seconds(1), [this] { return m_finished; })) {
            lock.unlock();
            m_thread.join();
            pa_mainloop_free(m_loop);
        } else {
            m_thread.detach();
        }
    }

    void play(const EffectSamples &effect) override { request(Request{effect, Clock::now()}); }

private:
    struct Request {
        EffectSamples effect;
        Clock::time_point at;
    };

    void request(const Request &r)
    {
        {
            std::lock_guard lock(m_mutex);
            m_request = r; // only the newest counts: one effect at a time
        }
        pa_mainloop_wakeup(m_loop);
    }

    // The thread: take the newest request, then let libpulse work until
    // something happens.
    void run()
    {
        connect();
        for (;;) {
            std::optional<Request> r;
            {
                std::lock_guard lock(m_mutex);
                if (m_quit)
                    break;
                r.swap(m_request);
            }
            if (r) {
                endStream();
                m_waiting = r;
            }
            dropWhatFailed();
            if (m_waiting && !m_context)
                connect();
            if (m_waiting && m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
                if (Clock::now() - m_waiting->at < StaleAfter)
                    startStream(m_waiting->effect);
                m_waiting.reset();
            }
            if (m_waiting && Clock::now() - m_waiting->at >= StaleAfter)
                m_waiting.reset();
            // Woken by the server, by a request, or in time to drop a
            // waiting effect that has gone stale.
            if (m_waiting)
                pa_mainloop_prepare(
                    m_loop,
                    static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(StaleAfter).count()));
            else
                pa_mainloop_prepare(m_loop, -1);
            pa_mainloop_poll(m_loop);
            pa_mainloop_dispatch(m_loop);
        }
        endStream();
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        std::lock_guard lock(m_mutex);
        m_finished = true;
        m_ended.notify_all();
    }

    void connect()
    {
        m_context = pa_context_new(pa_mainloop_get_api(m_loop), "Trazzo");
        if (!m_context)
            return;
        // A game starts no sound server of its own; the desktop runs one.
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            pa_context_unref(m_context);
            m_context = nullptr;
        }
    }

    // A connection or stream that has failed is let go; the next effect
    // connects again.
    void dropWhatFailed()
    {
        if (m_stream && !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream)))
            endStream();
        if (m_context && !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context))) {
            endStream();
            pa_context_unref(m_context);
            m_context = nullptr;
        }
    }

    void startStream(const EffectSamples &effect)
    {
        pa_sample_spec sampleFormat{formatOf(effect.sample), static_cast<std::uint32_t>(effect.sampleRate),
                                    static_cast<std::uint8_t>(effect.channels)};
        if (!pa_sample_spec_valid(&sampleFormat))
            return;
        pa_channel_map map;
        pa_channel_map_init_extend(&map, sampleFormat.channels, PA_CHANNEL_MAP_WAVEEX);
        m_stream = pa_stream_new(m_context, "Effect", &sampleFormat, &map);
        if (!m_stream)
            return;
        m_effect = effect;
        m_written = 0;
        pa_stream_set_write_callback(m_stream, writeMore, this);
        pa_buffer_attr attr;
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(BufferUsec, &sampleFormat));
        attr.prebuf = static_cast<std::uint32_t>(-1);
        attr.minreq = static_cast<std::uint32_t>(-1);
        attr.fragsize = static_cast<std::uint32_t>(-1);
        // No device named: the server's default output, whichever it is now.
        if (pa_stream_connect_playback(m_stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0)
            endStream();
    }

    void endStream()
    {
        if (!m_stream)
            return;
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }

    static void forget(pa_operation *operation)
    {
        if (operation)
            pa_operation_unref(operation);
    }

    static void writeMore(pa_stream *stream, std::size_t room, void *self)
    {
        auto *out = static_cast<PulseOutput *>(self);
        const std::size_t left = out->m_effect.bytes - out->m_written;
        const std::size_t n = std::min(room, left);
        if (n == 0)
            return;
        pa_stream_write(stream, out->m_effect.pcm + out->m_written, n, nullptr, 0, PA_SEEK_RELATIVE);
        out->m_written += n;
        if (out->m_written == out->m_effect.bytes) {
            // A short effect may not fill the buffer the server waits
            // for; start it anyway, and let the stream go once it is
            // heard out, so the output can sleep again.
            forget(pa_stream_trigger(stream, nullptr, nullptr));
            forget(pa_stream_drain(stream, drained, self));
        }
    }

    static void drained(pa_stream *stream, int, void *self)
    {
        auto *out = static_cast<PulseOutput *>(self);
        if (stream == out->m_stream)
            out->endStream();
    }

    pa_mainloop *const m_loop;
    std::thread m_thread;

    std::mutex m_mutex; // guards the four below, shared with the caller
    std::optional<Request> m_request;
    bool m_quit = false;
    bool m_finished = false;
    std::condition_variable m_ended;

    // The thread's own.
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    std::optional<Request> m_waiting;
    EffectSamples m_effect;
    std::size_t m_written = 0;
};

} // namespace

} // namespace trazzo

extern "C" __attribute__((visibility("default"))) trazzo::EffectOutput *trazzo_make_effect_output()
{
    return new trazzo::PulseOutput;
}
