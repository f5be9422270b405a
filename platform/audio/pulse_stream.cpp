// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/audio/pulse_stream.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace {

// How much of what the server holds plays before it asks for more. A quarter is the split that
// wakes the server's mixer and this thread least often for what is held: the server keeps about
// half the rest in its own output buffer.
constexpr pa_usec_t kHeldUsec = pa_usec_t{PulseStream::kHeldMs} * PA_USEC_PER_MSEC;
constexpr pa_usec_t kRequestUsec = kHeldUsec / 4;

constexpr size_t kFrameBytes = 2 * sizeof(float);

} // namespace

struct PulseStream::Connection {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    Render render;
    qint64 written = 0; // frames, on the loop's thread while it runs

    ~Connection() {
        if (!loop) {
            return;
        }
        // Disconnecting drops what the server holds of the stream.
        pa_threaded_mainloop_lock(loop);
        if (stream) {
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
        }
        if (context) {
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        pa_threaded_mainloop_unlock(loop);
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
    }

    static void wake(void* connection) {
        pa_threaded_mainloop_signal(static_cast<Connection*>(connection)->loop, 0);
    }
    static void wakeOnContext(pa_context*, void* connection) { wake(connection); }
    static void wakeOnStream(pa_stream*, void* connection) { wake(connection); }
    static void wakeOnSuccess(pa_stream*, int, void* connection) { wake(connection); }

    // The server asks for `bytes` more. They are rendered straight into the
    // memory the server reads them from.
    static void onRequest(pa_stream* stream, size_t bytes, void* data) {
        auto* connection = static_cast<Connection*>(data);
        while (bytes >= kFrameBytes) {
            void* buffer = nullptr;
            size_t size = bytes;
            if (pa_stream_begin_write(stream, &buffer, &size) < 0 || !buffer) {
                return;
            }
            size = std::min(size, bytes) / kFrameBytes * kFrameBytes;
            const int frames = static_cast<int>(size / kFrameBytes);
            connection->render(static_cast<float*>(buffer), frames);
            if (pa_stream_write(stream, buffer, size, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
                return;
            }
            connection->written += frames;
            bytes -= size;
        }
    }

    bool contextGood() const { return PA_CONTEXT_IS_GOOD(pa_context_get_state(context)); }

    // Waits, with the loop locked, for the server to answer.
    void finish(pa_operation* operation) const {
        if (!operation) {
            return;
        }
        while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING && contextGood()) {
            pa_threaded_mainloop_wait(loop);
        }
        pa_operation_unref(operation);
    }

    bool connect(const PulseStream::Options& options) {
        pa_proplist* properties = pa_proplist_new();
        if (!options.applicationName.isEmpty()) {
            pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME,
                             options.applicationName.toUtf8().constData());
        }
        if (!options.iconName.isEmpty()) {
            pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME,
                             options.iconName.toUtf8().constData());
        }
        if (!options.role.isEmpty()) {
            pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, options.role.constData());
        }
        context =
            pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop), nullptr, properties);
        pa_proplist_free(properties);
        if (!context) {
            return false;
        }
        pa_context_set_state_callback(context, &Connection::wakeOnContext, this);
        // A game must not start a sound server of its own.
        if (pa_context_connect(context,
                               options.server.isEmpty() ? nullptr : options.server.constData(),
                               PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            return false;
        }
        while (pa_context_get_state(context) != PA_CONTEXT_READY) {
            if (!contextGood()) {
                return false;
            }
            pa_threaded_mainloop_wait(loop);
        }

        const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(options.rate), 2};
        stream = pa_stream_new(context, "Music", &format, nullptr);
        if (!stream) {
            return false;
        }
        pa_stream_set_state_callback(stream, &Connection::wakeOnStream, this);
        pa_stream_set_write_callback(stream, &Connection::onRequest, this);
        pa_buffer_attr buffer{};
        buffer.maxlength = static_cast<uint32_t>(-1);
        buffer.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kHeldUsec, &format));
        buffer.minreq = static_cast<uint32_t>(pa_usec_to_bytes(kRequestUsec, &format));
        buffer.prebuf = static_cast<uint32_t>(-1);
        buffer.fragsize = static_cast<uint32_t>(-1);
        if (pa_stream_connect_playback(stream,
                                       options.sink.isEmpty() ? nullptr : options.sink.constData(),
                                       &buffer, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0) {
            return false;
        }
        while (pa_stream_get_state(stream) != PA_STREAM_READY) {
            if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
                return false;
            }
            pa_threaded_mainloop_wait(loop);
        }
        return true;
    }
};

PulseStream::PulseStream(std::unique_ptr<Connection> connection)
    : m_connection(std::move(connection)) {}

PulseStream::~PulseStream() = default;

std::unique_ptr<PulseStream> PulseStream::open(const Options& options, Render render) {
    auto connection = std::make_unique<Connection>();
    connection->render = std::move(render);
    connection->loop = pa_threaded_mainloop_new();
    if (!connection->loop || pa_threaded_mainloop_start(connection->loop) < 0) {
        return nullptr;
    }
    pa_threaded_mainloop_lock(connection->loop);
    const bool connected = connection->connect(options);
    pa_threaded_mainloop_unlock(connection->loop);
    if (!connected) {
        return nullptr;
    }
    return std::unique_ptr<PulseStream>(new PulseStream(std::move(connection)));
}

qint64 PulseStream::halt() {
    Connection& connection = *m_connection;
    pa_threaded_mainloop_lock(connection.loop);
    pa_stream_set_write_callback(connection.stream, nullptr, nullptr);
    // Corked, the stream is taken back out of what the server has not yet
    // played; its clock then stands at the last frame heard.
    connection.finish(
        pa_stream_cork(connection.stream, 1, &Connection::wakeOnSuccess, &connection));
    connection.finish(
        pa_stream_update_timing_info(connection.stream, &Connection::wakeOnSuccess, &connection));
    pa_usec_t heardUsec = 0;
    const bool known = pa_stream_get_time(connection.stream, &heardUsec) == 0;
    const auto heard = static_cast<qint64>(
        pa_usec_to_bytes(heardUsec, pa_stream_get_sample_spec(connection.stream)) / kFrameBytes);
    const qint64 written = connection.written;
    pa_threaded_mainloop_unlock(connection.loop);
    return known ? std::clamp<qint64>(written - heard, 0, written) : 0;
}
