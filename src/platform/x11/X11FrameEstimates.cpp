#include "platform/x11/X11FrameEstimates.h"

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace corvane {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_window_t rootOf(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    return setup ? xcb_setup_roots_iterator(setup).data->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

} // namespace

X11FrameEstimates::X11FrameEstimates(xcb_connection_t* connection, Scheduler& scheduler)
    : m_connection(connection), m_scheduler(scheduler) {}

X11FrameEstimates::~X11FrameEstimates() {
    if (m_filtering && qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

void X11FrameEstimates::ask(xcb_window_t window, Answer answer) {
    if (!m_connection || window == XCB_WINDOW_NONE) {
        answer(std::nullopt);
        return;
    }
    if (m_request == XCB_ATOM_NONE) {
        // Asked for once, the first time a window wants its frame.
        m_request = internAtom(m_connection, "_NET_REQUEST_FRAME_EXTENTS");
        m_extents = internAtom(m_connection, "_NET_FRAME_EXTENTS");
    }
    if (m_request == XCB_ATOM_NONE || m_extents == XCB_ATOM_NONE) {
        answer(std::nullopt);
        return;
    }
    if (!m_filtering) {
        qGuiApp->installNativeEventFilter(this);
        m_filtering = true;
    }
    Waiting& waiting = m_waiting[window];
    waiting.answer = std::move(answer);
    waiting.giveUp = m_scheduler.schedule(patience, [this, window] { this->answer(window, std::nullopt); });

    // Qt's windows listen for changes of their own properties: the window manager's answer comes
    // as one.
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof(event));
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = m_request;
    xcb_send_event(m_connection, 0, rootOf(m_connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection);
}

bool X11FrameEstimates::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (m_waiting.empty() || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
    if (notify->atom != m_extents || m_waiting.count(notify->window) == 0)
        return false;
    answer(notify->window, readExtents(notify->window));
    // Qt reads the frame's margins from the same change.
    return false;
}

void X11FrameEstimates::answer(xcb_window_t window, std::optional<QMargins> margins) {
    const auto waiting = m_waiting.find(window);
    if (waiting == m_waiting.end())
        return;
    const Answer answer = std::move(waiting->second.answer);
    m_waiting.erase(waiting);
    answer(margins);
}

std::optional<QMargins> X11FrameEstimates::readExtents(xcb_window_t window) const {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, m_extents, XCB_ATOM_CARDINAL, 0, 4),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    // Left, right, top, bottom.
    return QMargins(int(values[0]), int(values[2]), int(values[1]), int(values[3]));
}

} // namespace corvane
