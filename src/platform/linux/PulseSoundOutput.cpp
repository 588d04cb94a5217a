#include "platform/linux/PulseSoundOutput.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/rtclock.h>
#include <pulse/subscribe.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>
#include <pulse/volume.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>

namespace corvane {

namespace {

// No answer within this long counts as a failure: the media keys wait for it.
constexpr pa_usec_t callTimeout = 500 * PA_USEC_PER_MSEC;
// How long what this connection last read or set stands for the output's state, without asking
// the server again: long enough for a key's reading back of what it just set, too short for
// another program's change to slip in unseen (its notice may still be on its way here).
constexpr auto ownAnswerLife = std::chrono::milliseconds(10);

// One request and the answer its callback leaves.
struct Call {
    pa_threaded_mainloop* loop = nullptr;
    bool done = false;
    bool succeeded = false;
    bool timedOut = false;
    std::string sinkName;
    pa_cvolume volume{};
    bool muted = false;
    uint32_t sinkIndex = PA_INVALID_INDEX;
};

// The local socket the server listens on, as the client library finds it: `PULSE_SERVER` when it
// names one, else the session's own; empty where the server is reached otherwise.
QString serverSocket() {
    const QString named = qEnvironmentVariable("PULSE_SERVER");
    if (!named.isEmpty()) {
        if (named.startsWith(QLatin1String("unix:")))
            return named.mid(5);
        return named.startsWith(QLatin1Char('/')) ? named : QString();
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/pulse/native");
}

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

    // The default output as last learnt: its name from the server, its level, channel count and
    // mute state from its last description or from what was last set on it. Kept current by the
    // server's change notifications, so a key sets the level without asking again which output
    // is the default, and reads back what it set without a request of its own. Guarded by the
    // loop's lock; written on the loop's thread by the notifications and on the caller's after a
    // read or a change.
    std::string sinkName;
    uint32_t sinkIndex = PA_INVALID_INDEX;
    uint8_t channels = 0; // none known yet
    bool muted = false;
    pa_cvolume level{};
    bool levelKnown = false;
    std::chrono::steady_clock::time_point learnt; // by this connection's own last read or change
    // How often the server said the default may have moved: a read begun before a move learns
    // nothing, since what it read may be the former default.
    uint64_t defaultMoves = 0;

    struct Known {
        std::string name;
        uint8_t channels = 0;
        bool muted = false;
        // Whether the level and mute state above are current: connected, described, and learnt
        // by this connection a moment ago with no change notice since.
        bool current = false;
        pa_cvolume level{};
        uint64_t defaultMoves = 0;
    };
    Known known() {
        pa_threaded_mainloop_lock(loop);
        const bool fresh = std::chrono::steady_clock::now() - learnt < ownAnswerLife;
        Known k{sinkName, channels,    muted, ready.load() && levelKnown && channels != 0 && fresh,
                level,    defaultMoves};
        pa_threaded_mainloop_unlock(loop);
        return k;
    }
    // Keeps what a read begun at `moves` found, unless the default may have moved since.
    bool remember(const Call& call, uint64_t moves) {
        pa_threaded_mainloop_lock(loop);
        if (moves != defaultMoves) {
            pa_threaded_mainloop_unlock(loop);
            return false;
        }
        sinkName = call.sinkName;
        sinkIndex = call.sinkIndex;
        channels = call.volume.channels;
        muted = call.muted;
        level = call.volume;
        levelKnown = true;
        learnt = std::chrono::steady_clock::now();
        pa_threaded_mainloop_unlock(loop);
        return true;
    }
    // After a change the server took: what was set is the output's state now.
    void changedTo(const std::string& name, const pa_cvolume* newLevel, std::optional<bool> newMute) {
        pa_threaded_mainloop_lock(loop);
        if (name == sinkName) {
            if (newLevel) {
                level = *newLevel;
                levelKnown = channels == newLevel->channels;
            }
            if (newMute)
                muted = *newMute;
            learnt = std::chrono::steady_clock::now();
        }
        pa_threaded_mainloop_unlock(loop);
    }
    void forgetLevel() { levelKnown = false; }

    // Loop thread: follows the default output and its state as the server reports changes.
    static void serverInfo(pa_context* c, const pa_server_info* info, void* data) {
        auto* impl = static_cast<Impl*>(data);
        if (!info || !info->default_sink_name)
            return;
        if (impl->sinkName != info->default_sink_name) {
            impl->sinkName = info->default_sink_name;
            impl->sinkIndex = PA_INVALID_INDEX;
            impl->channels = 0;
            impl->forgetLevel();
        }
        if (pa_operation* op = pa_context_get_sink_info_by_name(c, info->default_sink_name, &sinkInfo, impl))
            pa_operation_unref(op);
    }
    static void sinkInfo(pa_context*, const pa_sink_info* info, int, void* data) {
        auto* impl = static_cast<Impl*>(data);
        if (!info || !info->name || impl->sinkName != info->name)
            return;
        impl->sinkIndex = info->index;
        impl->channels = info->volume.channels;
        impl->muted = info->mute != 0;
        impl->level = info->volume;
        impl->levelKnown = true;
    }
    static void changed(pa_context* c, pa_subscription_event_type_t type, uint32_t index, void* data) {
        auto* impl = static_cast<Impl*>(data);
        const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        pa_operation* op = nullptr;
        if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
            // The default may have moved: until the server says which it is, nothing is known.
            ++impl->defaultMoves;
            impl->sinkName.clear();
            impl->sinkIndex = PA_INVALID_INDEX;
            impl->channels = 0;
            impl->forgetLevel();
            op = pa_context_get_server_info(c, &serverInfo, impl);
        } else if (facility == PA_SUBSCRIPTION_EVENT_SINK && index == impl->sinkIndex) {
            // Until its new description comes, a key asks the server for the level.
            impl->forgetLevel();
            if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_REMOVE)
                impl->channels = 0; // gone, with nothing to describe: the next key asks afresh
            else
                op = pa_context_get_sink_info_by_index(c, index, &sinkInfo, impl);
        }
        if (op)
            pa_operation_unref(op);
    }
    // Loop thread, once the connection is ready.
    void follow(pa_context* c) {
        ++defaultMoves;
        sinkName.clear();
        sinkIndex = PA_INVALID_INDEX;
        channels = 0;
        forgetLevel();
        pa_context_set_subscribe_callback(c, &changed, this);
        const auto mask = pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_SINK);
        if (pa_operation* op = pa_context_subscribe(c, mask, nullptr, nullptr))
            pa_operation_unref(op);
        if (pa_operation* op = pa_context_get_server_info(c, &serverInfo, this))
            pa_operation_unref(op);
    }

    bool readSink(Call& call) {
        return run(call, [](pa_context* c, Call* call) {
            return pa_context_get_sink_info_by_name(
                c, call->sinkName.c_str(),
                [](pa_context*, const pa_sink_info* info, int eol, void* data) {
                    auto& call = *static_cast<Call*>(data);
                    if (call.done)
                        return;
                    if (info) {
                        call.volume = info->volume;
                        call.muted = info->mute != 0;
                        call.sinkIndex = info->index;
                        signalDone(call, true);
                    } else if (eol != 0) {
                        signalDone(call, false);
                    }
                },
                call);
        });
    }

    // The name, volume and mute state of the default output. The output already known is read
    // directly; the server is asked which one is the default only when none is known or the
    // known one cannot be read.
    bool readDefaultSink(Call& call, bool askServer = false) {
        if (!askServer) {
            const Known before = known();
            call.sinkName = before.name;
            if (!call.sinkName.empty()) {
                // Read while the default moved, the output read may no longer be the default: the
                // server is asked which is.
                if (readSink(call) && remember(call, before.defaultMoves))
                    return true;
                call = Call{};
            }
        }
        const uint64_t moves = known().defaultMoves;
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
        const bool read = readSink(sink);
        call.volume = sink.volume;
        call.muted = sink.muted;
        call.sinkIndex = sink.sinkIndex;
        // The server's word, even if the default moved again meanwhile; kept only if it did not.
        if (read)
            remember(call, moves);
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
    m_socket = serverSocket();
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
                    if (ready)
                        impl->follow(c);
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
    if (m_retry->isActive() || (m_socketWatch && !m_socketWatch->directories().isEmpty()))
        return;
    // A client of the library costs a good deal to build: none is built while nothing listens.
    if (!awaitSocket())
        m_retry->start();
}

bool PulseSoundOutput::awaitSocket() {
    if (m_socket.isEmpty() || QFileInfo::exists(m_socket))
        return false;
    // The socket's folder, or the folder it is made in when it is missing too.
    const QString folder = QFileInfo(m_socket).absolutePath();
    const QString watched = QFileInfo::exists(folder) ? folder : QFileInfo(folder).absolutePath();
    if (!QFileInfo(watched).isDir())
        return false;
    if (!m_socketWatch) {
        m_socketWatch = new QFileSystemWatcher(this);
        connect(m_socketWatch, &QFileSystemWatcher::directoryChanged, this,
                &PulseSoundOutput::socketFolderChanged);
    }
    if (!m_socketWatch->addPath(watched))
        return false;
    // Made between the look above and the watch.
    if (QFileInfo::exists(m_socket))
        socketFolderChanged();
    return true;
}

void PulseSoundOutput::socketFolderChanged() {
    const QStringList watched = m_socketWatch->directories();
    if (!watched.isEmpty())
        m_socketWatch->removePaths(watched);
    if (d->ready.load())
        return;
    // The socket is there, or its folder was made and is watched now.
    if (QFileInfo::exists(m_socket) || !awaitSocket())
        connectToServer();
}

void PulseSoundOutput::reachabilityChanged(bool available) {
    if (m_handler)
        m_handler(available);
}

bool PulseSoundOutput::isAvailable() {
    return d->ready.load();
}

std::optional<float> PulseSoundOutput::volume() {
    if (!d->loop)
        return std::nullopt;
    if (const Impl::Known known = d->known(); known.current)
        return float(pa_cvolume_avg(&known.level)) / float(PA_VOLUME_NORM);
    Call call;
    if (!d->readDefaultSink(call))
        return std::nullopt;
    return float(pa_cvolume_avg(&call.volume)) / float(PA_VOLUME_NORM);
}

std::optional<bool> PulseSoundOutput::isMuted() {
    if (!d->loop)
        return std::nullopt;
    if (const Impl::Known known = d->known(); known.current)
        return known.muted;
    Call call;
    if (!d->readDefaultSink(call))
        return std::nullopt;
    return call.muted;
}

// Sets the state on the output already known; when that fails because the default output
// changed under us, asks the server which one it is now and tries once more.
bool PulseSoundOutput::setMuted(bool muted) {
    for (const bool askServer : {false, true}) {
        Call call;
        call.sinkName = askServer ? std::string() : d->known().name;
        if (call.sinkName.empty()) {
            Call sink;
            if (!d->readDefaultSink(sink, askServer))
                return false;
            call.sinkName = sink.sinkName;
        }
        call.muted = muted;
        if (d->run(call, [](pa_context* c, Call* call) {
                return pa_context_set_sink_mute_by_name(c, call->sinkName.c_str(), call->muted ? 1 : 0,
                                                        &Impl::succeeded, call);
            })) {
            d->changedTo(call.sinkName, nullptr, muted);
            return true;
        }
    }
    return false;
}

bool PulseSoundOutput::setVolume(float value) {
    if (!std::isfinite(value))
        return false;
    const float clamped = std::clamp(value, 0.0f, 1.0f);
    for (const bool askServer : {false, true}) {
        Impl::Known sink = askServer ? Impl::Known{} : d->known();
        if (sink.name.empty() || sink.channels == 0) {
            Call read;
            if (!d->readDefaultSink(read, askServer))
                return false;
            sink = {read.sinkName, read.volume.channels, read.muted};
        }
        Call call;
        call.sinkName = sink.name;
        pa_cvolume_set(&call.volume, std::max<uint8_t>(sink.channels, 1),
                       pa_volume_t(std::lround(double(clamped) * PA_VOLUME_NORM)));
        if (!d->run(call, [](pa_context* c, Call* call) {
                return pa_context_set_sink_volume_by_name(c, call->sinkName.c_str(), &call->volume,
                                                          &Impl::succeeded, call);
            }))
            continue;
        d->changedTo(call.sinkName, &call.volume, std::nullopt);
        if (clamped > 0 && sink.muted)
            setMuted(false);
        return true;
    }
    return false;
}

void PulseSoundOutput::onAvailabilityChanged(std::function<void(bool)> handler) {
    m_handler = std::move(handler);
}

} // namespace corvane
