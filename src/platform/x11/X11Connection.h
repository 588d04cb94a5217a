#pragma once

#include <QByteArray>
#include <QString>

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

struct X11FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
// An xcb reply or error, freed with free() as xcb requires.
template <typename T> using X11Reply = std::unique_ptr<T, X11FreeReply>;

// The window-manager and client atoms the window layer reads and sends.
enum class X11Atom {
    netSupportingWmCheck,
    netClientList,
    netClientListStacking,
    netActiveWindow,
    netCurrentDesktop,
    netWmDesktop,
    netWmPid,
    netWmName,
    utf8String,
    netWmState,
    netWmStateHidden,
    netWmWindowType,
    typeNormal,
    typeDialog,
    typeUtility,
    typeToolbar,
    typeMenu,
    typeSplash,
    typeDock,
    typeDesktop,
    typeNotification,
    netFrameExtents,
    gtkFrameExtents,
    netMoveResizeWindow,
    netRestackWindow,
    netCloseWindow,
    wmChangeState,
    netWmWindowOpacity,
    gtkApplicationId,
    kdeNetWmDesktopFile,
    netWmStateFullscreen,
    netWmStateMaximizedVert,
    netWmStateMaximizedHorz,
    netRequestFrameExtents,
    count
};

// One property as the server stored it. A property that is not set has no type.
struct X11Property {
    xcb_atom_t type = XCB_ATOM_NONE;
    uint8_t format = 0;
    QByteArray data;

    bool isSet() const { return type != XCB_ATOM_NONE; }
    // The 32-bit items of a format-32 property (cardinals, windows, atoms); empty otherwise.
    std::vector<uint32_t> values32() const;
    // The bytes of a format-8 property as text: UTF-8 for UTF8_STRING, Latin-1 otherwise, cut at
    // the first NUL (list properties such as WM_CLASS keep only their first item).
    QString text() const;
    // Format-8 list items (WM_CLASS holds instance then class).
    std::vector<QByteArray> strings() const;
};

// An event's type, without the bit that marks events sent by another client.
inline uint8_t x11EventType(const xcb_generic_event_t& event) {
    return event.response_type & 0x7f;
}

// A new connection to the display (empty: $DISPLAY) and the root window of its default screen.
// The connection may carry an error (check xcb_connection_has_error); the root is then none.
struct X11Display {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
};
X11Display openDisplay(const QByteArray& displayName);

// Announces XInput 2.`askedMinor` to the server and gives the extension's major opcode where the
// server speaks at least 2.`neededMinor`; none without it.
std::optional<uint8_t> inputExtensionOpcode(xcb_connection_t* connection, uint16_t askedMinor,
                                            uint16_t neededMinor);

// Whether a new connection interns the window layer's atoms (one round trip) or stays bare, for
// users that send only their own requests (key grabs, raw input, the keymap, one-off probes).
enum class X11Atoms { intern, none };

// One xcb connection, closed with the object, with the atoms interned up front unless asked not
// to. Not shared between threads: each user of the window layer opens its own, and so does each
// user whose grabs or event selections must stay apart (see docs/platform.md).
class X11Connection {
public:
    // An empty display name means $DISPLAY. Check isValid(): there may be no X server at all.
    explicit X11Connection(const QByteArray& displayName = {}, X11Atoms atoms = X11Atoms::intern);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    bool isValid() const;
    xcb_connection_t* raw() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    xcb_atom_t atom(X11Atom which) const { return m_atoms[static_cast<size_t>(which)]; }
    // Whether the server has the resource extension that names the process behind a window.
    bool hasResourceExtension() const { return m_hasResourceExtension; }

    // None when the request failed (the window is gone).
    std::optional<X11Property> property(xcb_window_t window, xcb_atom_t property,
                                        xcb_atom_t type = XCB_ATOM_ANY, uint32_t maxItems = 65536);
    // A window-list or cardinal property of the root; empty when unset or unreadable.
    std::vector<uint32_t> rootValues(X11Atom property);
    std::optional<uint32_t> rootValue(X11Atom property);

    bool windowExists(xcb_window_t window);
    // Sends a client message about `window` to the root, where the window manager listens.
    void sendToRoot(xcb_window_t window, X11Atom type, std::array<uint32_t, 5> data);
    void flush();

    // The server's current time, read by touching a property of a window of our own. Events that
    // come in meanwhile go to `others` (dropped without one).
    xcb_timestamp_t serverTime(const std::function<void(const xcb_generic_event_t&)>& others = {});

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_window_t m_timeWindow = XCB_WINDOW_NONE;
    bool m_hasResourceExtension = false;
    std::array<xcb_atom_t, static_cast<size_t>(X11Atom::count)> m_atoms{};
};

// The primary screen's device pixel ratio when called on the GUI thread of a running
// QGuiApplication; 1 otherwise. Read it once, on the main thread, and keep it.
double primaryScreenPixelRatio();

} // namespace corvane
