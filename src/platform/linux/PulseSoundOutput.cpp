#include "platform/linux/PulseSoundOutput.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/rtclock.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>
#include <pulse/volume.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>

namespace corvane {

namespace {

// No answer within this long counts as a failure: the media keys wait for it.
constexpr pa_usec_t callTimeout = 500 * PA_USEC_PER_MSEC;
// How often a missing server is asked for again.

// One request and the answer its callback leaves.
struct Call {
    pa_threaded_mainloop* loop = nullptr;
    bool done = false;
    bool succeeded = false;
    bool timedOut = false;
    std::string sinkName;
    pa_cvolume volume{};
    bool muted = false;
};

void signalDone(Call& call, bool succeeded) {
    call.done = true;
    call.succeeded = succeeded;
    pa_threaded_mainloop_signal(call.loop, 0);
}

} // namespace

struct PulseSoundOutput::Impl {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    std::atomic<bool> ready{false};
    QPointer<PulseSoundOutput> owner;

    // Runs a request with the loop locked and waits for its answer, at most `callTimeout`.
    template <typename Start> bool run(Call& call, Start start) {
        if (!loop)
            return false;
        pa_threaded_mainloop_lock(loop);
        bool ok = false;
        if (context && pa_context_get_state(context) == PA_CONTEXT_READY) {
            call.loop = loop;
            if (pa_operation* op = start(context, &call)) {
                pa_time_event* timer = pa_context_rttime_new(
                    context, pa_rtclock_now() + callTimeout,
                    [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data) {
                        auto* c = static_cast<Call*>(data);
                        c->timedOut = true;
                        pa_threaded_mainloop_signal(c->loop, 0);
                    },
                    &call);
                while (!call.done && !call.timedOut && ready.load())
                    pa_threaded_mainloop_wait(loop);
                if (!call.done)
                    pa_operation_cancel(op);
                pa_operation_unref(op);
                if (timer)
                    pa_threaded_mainloop_get_api(loop)->time_free(timer);
                ok = call.done && call.succeeded;
            }
        }
        pa_threaded_mainloop_unlock(loop);
        return ok;
    }

    // The name, volume and mute state of the default output.
    bool readDefaultSink(Call& call) {
        const bool named = run(call, [](pa_context* c, Call* call) {
            return pa_context_get_server_info(
                c,
                [](pa_context*, const pa_server_info* info, void* data) {
                    auto& call = *static_cast<Call*>(data);
                    if (info && info->default_sink_name)
                        call.sinkName = info->default_sink_name;
                    signalDone(call, !call.sinkName.empty());
                },
                call);
        });
        if (!named)
            return false;
        Call sink;
        sink.sinkName = call.sinkName;
        const bool read = run(sink, [](pa_context* c, Call* call) {
            return pa_context_get_sink_info_by_name(
                c, call->sinkName.c_str(),
                [](pa_context*, const pa_sink_info* info, int eol, void* data) {
                    auto& call = *static_cast<Call*>(data);
                    if (call.done)
                        return;
                    if (info) {
                        call.volume = info->volume;
                        call.muted = info->mute != 0;
                        signalDone(call, true);
                    } else if (eol != 0) {
                        signalDone(call, false);
                    }
                },
                call);
        });
        call.volume = sink.volume;
        call.muted = sink.muted;
        return read;
    }

    static void succeeded(pa_context*, int success, void* data) {
        signalDone(*static_cast<Call*>(data), success != 0);
    }
};

PulseSoundOutput::PulseSoundOutput(std::chrono::milliseconds retryAfter) : d(std::make_unique<Impl>()) {
    d->owner = this;
    m_retry = new QTimer(this);
    m_retry->setSingleShot(true);
    m_retry->setInterval(retryAfter);
    connect(m_retry, &QTimer::timeout, this, [this] {
        if (!d->ready.load())
            connectToServer();
    });
    d->loop = pa_threaded_mainloop_new();
    if (!d->loop || pa_threaded_mainloop_start(d->loop) < 0) {
        if (d->loop)
            pa_threaded_mainloop_free(d->loop);
        d->loop = nullptr;
        return;
    }
    connectToServer();
}

PulseSoundOutput::~PulseSoundOutput() {
    if (!d->loop)
        return;
    pa_threaded_mainloop_lock(d->loop);
    if (d->context) {
        pa_context_set_state_callback(d->context, nullptr, nullptr);
        pa_context_disconnect(d->context);
        pa_context_unref(d->context);
        d->context = nullptr;
    }
    pa_threaded_mainloop_unlock(d->loop);
    pa_threaded_mainloop_stop(d->loop);
    pa_threaded_mainloop_free(d->loop);
}

void PulseSoundOutput::connectToServer() {
    ++m_attempts;
    pa_threaded_mainloop_lock(d->loop);
    if (d->context) {
        pa_context_set_state_callback(d->context, nullptr, nullptr);
        pa_context_disconnect(d->context);
        pa_context_unref(d->context);
    }
    d->context = pa_context_new(pa_threaded_mainloop_get_api(d->loop), "Corvane");
    if (d->context) {
        pa_context_set_state_callback(
            d->context,
            [](pa_context* c, void* data) {
                auto* impl = static_cast<Impl*>(data);
                const pa_context_state_t state = pa_context_get_state(c);
                if (state == PA_CONTEXT_READY || state == PA_CONTEXT_FAILED ||
                    state == PA_CONTEXT_TERMINATED) {
                    const bool ready = state == PA_CONTEXT_READY;
                    const bool was = impl->ready.exchange(ready);
                    // Settle on the main thread: tell the owner, and after a loss try again later.
                    QMetaObject::invokeMethod(
                        impl->owner,
                        [owner = impl->owner, ready, was] {
                            if (!owner)
                                return;
                            if (ready != was)
                                owner->reachabilityChanged(ready);
                            if (!ready)
                                owner->retryLater();
                        },
                        Qt::QueuedConnection);
                }
                pa_threaded_mainloop_signal(impl->loop, 0);
            },
            d.get());
        // Never start a sound server: a missing one stays missing.
        if (pa_context_connect(d->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            retryLater();
    }
    pa_threaded_mainloop_unlock(d->loop);
}

void PulseSoundOutput::retryLater() {
    // A failed connect reports itself twice, once by its answer and once by its state; each
    // asking for its own try would double the tries every round.
    if (!m_retry->isActive())
        m_retry->start();
}

void PulseSoundOutput::reachabilityChanged(bool available) {
    if (m_handler)
        m_handler(available);
}

bool PulseSoundOutput::isAvailable() {
    return d->ready.load();
}

std::optional<float> PulseSoundOutput::volume() {
    Call call;
    if (!d->readDefaultSink(call))
        return std::nullopt;
    return float(pa_cvolume_avg(&call.volume)) / float(PA_VOLUME_NORM);
}

std::optional<bool> PulseSoundOutput::isMuted() {
    Call call;
    if (!d->readDefaultSink(call))
        return std::nullopt;
    return call.muted;
}

bool PulseSoundOutput::setMuted(bool muted) {
    Call sink;
    if (!d->readDefaultSink(sink))
        return false;
    Call call;
    call.sinkName = sink.sinkName;
    call.muted = muted;
    return d->run(call, [](pa_context* c, Call* call) {
        return pa_context_set_sink_mute_by_name(c, call->sinkName.c_str(), call->muted ? 1 : 0,
                                                &Impl::succeeded, call);
    });
}

bool PulseSoundOutput::setVolume(float value) {
    Call sink;
    if (!d->readDefaultSink(sink) || !std::isfinite(value))
        return false;
    const float clamped = std::clamp(value, 0.0f, 1.0f);
    Call call;
    call.sinkName = sink.sinkName;
    call.volume = sink.volume;
    pa_cvolume_set(&call.volume, std::max<uint8_t>(sink.volume.channels, 1),
                   pa_volume_t(std::lround(double(clamped) * PA_VOLUME_NORM)));
    const bool set = d->run(call, [](pa_context* c, Call* call) {
        return pa_context_set_sink_volume_by_name(c, call->sinkName.c_str(), &call->volume, &Impl::succeeded,
                                                  call);
    });
    if (!set)
        return false;
    if (clamped > 0 && sink.muted)
        setMuted(false);
    return true;
}

void PulseSoundOutput::onAvailabilityChanged(std::function<void(bool)> handler) {
    m_handler = std::move(handler);
}

} // namespace corvane
