#include "platform/x11/X11Desktops.h"

#include <cstring>

namespace corvane {

namespace {

constexpr const char* kNumberOfDesktops = "_NET_NUMBER_OF_DESKTOPS";

} // namespace

X11Desktops::X11Desktops(QByteArray displayName) : m_displayName(std::move(displayName)) {}

X11Desktops::~X11Desktops() = default;

X11Connection* X11Desktops::connection() {
    if (!m_connection || !m_connection->isValid()) {
        m_connection = std::make_unique<X11Connection>(m_displayName);
        m_numberOfDesktops = XCB_ATOM_NONE;
        if (!m_connection->isValid())
            return nullptr;
        xcb_connection_t* raw = m_connection->raw();
        X11Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            raw,
            xcb_intern_atom(raw, 0, static_cast<uint16_t>(std::strlen(kNumberOfDesktops)), kNumberOfDesktops),
            nullptr));
        if (reply)
            m_numberOfDesktops = reply->atom;
    }
    return m_connection.get();
}

std::optional<uint32_t> X11Desktops::desktopCount(X11Connection& c) {
    const std::optional<X11Property> value = c.property(c.root(), m_numberOfDesktops, XCB_ATOM_CARDINAL, 1);
    if (!value)
        return std::nullopt;
    const std::vector<uint32_t> values = value->values32();
    if (values.empty())
        return std::nullopt;
    return values.front();
}

std::optional<DesktopState> X11Desktops::readDesktops(const std::optional<QString>& displayIdentifier) {
    Q_UNUSED(displayIdentifier); // one list for all displays
    std::lock_guard lock(m_mutex);
    X11Connection* c = connection();
    if (!c)
        return std::nullopt;
    // Without a desktop count there is no window manager that keeps desktops.
    const std::optional<uint32_t> count = desktopCount(*c);
    if (!count)
        return std::nullopt;
    DesktopState state;
    state.count = *count;
    state.current = c->rootValue(X11Atom::netCurrentDesktop);
    return state;
}

bool X11Desktops::switchToDesktop(int index) {
    if (index < 0)
        return false;
    std::lock_guard lock(m_mutex);
    X11Connection* c = connection();
    if (!c)
        return false;
    const std::optional<uint32_t> count = desktopCount(*c);
    if (!count || static_cast<uint32_t>(index) >= *count)
        return false;
    // The window manager weighs the request by its timestamp, as it would a user's action.
    const xcb_timestamp_t time = c->serverTime();
    c->sendToRoot(c->root(), X11Atom::netCurrentDesktop, {static_cast<uint32_t>(index), time, 0, 0, 0});
    c->flush();
    return c->isValid();
}

bool X11Desktops::isDesktopShortcutEnabled(int number) {
    Q_UNUSED(number);
    return false;
}

std::optional<QString> X11Desktops::enableDesktopShortcuts() {
    return QStringLiteral("This desktop has no shortcuts of its own for switching desktops.");
}

} // namespace corvane
