#include "platform/x11/X11PanelWindowing.h"

#include "platform/x11/X11FrameEstimates.h"
#include "platform/x11/X11LaterReplies.h"
#include "platform/x11/X11WindowState.h"

#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QSysInfo>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace corvane {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// The EWMH value of _NET_WM_DESKTOP that means "every desktop".
constexpr uint32_t allDesktops = 0xFFFFFFFF;
constexpr uint32_t netWmStateAdd = 1;
// Source indication of a client message: a normal application.
constexpr uint32_t sourceApplication = 1;

// The atoms of the names, none where the server did not answer. All requests go first, then the
// replies are read: one round trip.
template <std::size_t N>
std::array<xcb_atom_t, N> internAll(xcb_connection_t* c, const std::array<const char*, N>& names) {
    std::array<xcb_intern_atom_cookie_t, N> cookies{};
    for (std::size_t i = 0; i < N; ++i)
        cookies[i] = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, N> atoms{};
    for (std::size_t i = 0; i < N; ++i) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }
    return atoms;
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
    Reply<xcb_query_tree_reply_t> reply(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    return reply ? reply->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

void sendToRoot(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                std::array<uint32_t, 5> data) {
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof(event));
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::memcpy(event.data.data32, data.data(), sizeof(event.data.data32));
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

xcb_connection_t* qtConnection() {
    // Null on every other platform plugin, the offscreen one of the tests included.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    return c && !xcb_connection_has_error(c) ? c : nullptr;
}

// The screen part of DISPLAY (":0.1" is screen 1); 0 when it names none.
int defaultScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const int colon = display.lastIndexOf(':');
    const int dot = display.lastIndexOf('.');
    if (colon < 0 || dot < colon)
        return 0;
    bool ok = false;
    const int number = display.mid(dot + 1).toInt(&ok);
    return ok && number >= 0 ? number : 0;
}

xcb_window_t firstRoot(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    return setup ? xcb_setup_roots_iterator(setup).data->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

} // namespace

X11PanelWindowing::X11PanelWindowing(std::shared_ptr<X11WindowState> windows, Scheduler& scheduler)
    : m_windows(std::move(windows)), m_scheduler(scheduler) {
    m_connection = qtConnection();
    if (!m_connection)
        return;
    m_replies = std::make_unique<X11LaterReplies>(m_connection, m_scheduler);
    qGuiApp->installNativeEventFilter(this);
    m_watching = true;
    // A window that goes full screen in front of shown panels would cover them.
    m_windows->watchActive([this] { liftShownPanels(); }, this);
    xcb_connection_t* c = m_connection;
    const auto atoms =
        internAll<13>(c, {"_NET_WM_DESKTOP", "_NET_WM_STATE", "_NET_WM_STATE_STICKY", "_NET_ACTIVE_WINDOW",
                          "_NET_WM_USER_TIME", "_COMPTON_SHADOW", "_NET_WM_STATE_SKIP_TASKBAR",
                          "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_WINDOW_OPACITY", "_NET_WM_STATE_ABOVE",
                          "_NET_WM_STATE_STAYS_ON_TOP", "_NET_WM_STATE_BELOW", "WM_CLIENT_LEADER"});
    m_atoms = Atoms{atoms[0], atoms[1], atoms[2], atoms[3],  atoms[4],  atoms[5], atoms[6],
                    atoms[7], atoms[8], atoms[9], atoms[10], atoms[11], atoms[12]};
    // Qt opens its connection on the display's default screen; the selection is named after it.
    const int number = defaultScreenNumber();
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < number && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    const xcb_screen_t* screen = screens.rem > 0 ? screens.data : nullptr;
    if (!screen)
        return;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(number);
    Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr));
    if (!atom)
        return;
    m_selection = atom->atom;
    m_compositing = readCompositing();

    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return;
    Reply<xcb_xfixes_query_version_reply_t> version(
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    if (!version)
        return;
    m_xfixesFirstEvent = xfixes->first_event;
    xcb_xfixes_select_selection_input(c, screen->root, m_selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(c);
}

X11PanelWindowing::~X11PanelWindowing() {
    // The toolkit's connection is open as long as the application is.
    if (m_replies && qGuiApp)
        m_replies->discardAll();
    if (m_watching)
        m_windows->watchActive({}, this);
    if (m_watching && qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

bool X11PanelWindowing::readCompositing() const {
    Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

bool X11PanelWindowing::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if (m_replies)
        m_replies->poll();
    if ((event->response_type & ~0x80) == XCB_EXPOSE) {
        // The first of the rectangles an exposure comes in (Qt takes the rest with it).
        const auto* expose = static_cast<const xcb_expose_event_t*>(message);
        exposed(*expose);
        if (const auto waiting = m_onExposed.find(expose->window); waiting != m_onExposed.end()) {
            const std::function<void()> action = std::move(waiting->second);
            m_onExposed.erase(waiting);
            action();
        }
        return false;
    }
    if ((event->response_type & ~0x80) == XCB_MAP_NOTIFY) {
        // Framed and shown: the frame as the window manager left it gets the panel's input shape.
        const auto* map = static_cast<const xcb_map_notify_event_t*>(message);
        noteMapped(map->window);
        if (m_inputShapes.count(map->window) != 0)
            passInputShape(map->window);
        if (m_unshaded.count(map->window) != 0 && m_compositing)
            checkCompositorShadowLater(map->window, shadowChecks);
        mapped(map->window);
        return false;
    }
    if ((event->response_type & ~0x80) == XCB_REPARENT_NOTIFY) {
        // The window manager framed a panel (it does at every map): the frame is what a
        // compositing manager looks at.
        const auto* reparent = static_cast<const xcb_reparent_notify_event_t*>(message);
        if (m_unshaded.count(reparent->window) != 0 && m_connection)
            findTopLevel(reparent->parent, [this](xcb_window_t frame) { writeShadow(frame, false); });
        // A window manager forgets a window's state when it lets the window go, and may do so only
        // after the window asked to be shown again, wiping what it wrote for that showing: the
        // window manager that has taken the window in is asked again.
        if (m_unlisted.count(reparent->window) != 0 && m_connection && m_atoms.skipTaskbar != XCB_ATOM_NONE &&
            m_atoms.skipPager != XCB_ATOM_NONE && reparent->parent != firstRoot(m_connection)) {
            sendToRoot(m_connection, firstRoot(m_connection), reparent->window, m_atoms.state,
                       {netWmStateAdd, m_atoms.skipTaskbar, m_atoms.skipPager, sourceApplication, 0});
            xcb_flush(m_connection);
        }
        if (m_inputShapes.count(reparent->window) != 0)
            passInputShape(reparent->window);
        return false;
    }
    if ((event->response_type & ~0x80) == XCB_DESTROY_NOTIFY) {
        // A panel's window is gone (Qt makes a new one when the panel changes its kind of window,
        // and when the panel goes): nothing of it is kept.
        const xcb_window_t gone = static_cast<const xcb_destroy_notify_event_t*>(message)->window;
        m_unshaded.erase(gone);
        m_shadowChecks.erase(gone);
        m_firstPictures.erase(gone);
        forgetFirstPicture(gone);
        m_depths.erase(gone);
        m_unlisted.erase(gone);
        m_inputShapes.erase(gone);
        m_onExposed.erase(gone);
        m_onMapped.erase(gone);
        m_mappedBefore.erase(gone);
        return false;
    }
    if (m_xfixesFirstEvent == 0 ||
        (event->response_type & ~0x80) != m_xfixesFirstEvent + XCB_XFIXES_SELECTION_NOTIFY)
        return false;
    const auto* notify = static_cast<const xcb_xfixes_selection_notify_event_t*>(message);
    if (notify->selection != m_selection)
        return false;
    const bool compositing = notify->owner != XCB_WINDOW_NONE;
    if (compositing != m_compositing) {
        m_compositing = compositing;
        Q_EMIT compositingChanged(compositing);
    }
    // Qt looks at selection changes too (its clipboard): pass it on.
    return false;
}

void X11PanelWindowing::whenExposed(QWindow& window, std::function<void()> onExposed) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (onExposed)
        m_onExposed[id] = std::move(onExposed);
    else
        m_onExposed.erase(id);
}

void X11PanelWindowing::whenMapped(QWindow& window, std::function<void()> onMapped) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!onMapped) {
        m_onMapped.erase(id);
        return;
    }
    m_onMapped.insert_or_assign(
        id,
        WaitingForMap{std::move(onMapped), m_scheduler.schedule(mapWaitLongest, [this, id] { mapped(id); })});
}

void X11PanelWindowing::mapped(xcb_window_t window) {
    const auto waiting = m_onMapped.find(window);
    if (waiting == m_onMapped.end())
        return;
    const std::function<void()> action = std::move(waiting->second.action);
    m_onMapped.erase(waiting);
    action();
}

quint64 X11PanelWindowing::activeWindow() const {
    xcb_connection_t* c = qtConnection();
    if (!c)
        return 0;
    return m_windows->use(X11WindowState::Catch::arrived,
                          [](const X11HeldWindows& held) { return quint64(held.active); });
}

void X11PanelWindowing::activateWindow(quint64 window) {
    xcb_connection_t* c = qtConnection();
    if (!c || window == 0 || m_atoms.activeWindow == XCB_ATOM_NONE)
        return;
    // As a pager asks: window managers honour that without focus-stealing checks, and the user
    // did just close the panel that had the keyboard.
    constexpr uint32_t sourcePager = 2;
    sendToRoot(c, firstRoot(c), static_cast<xcb_window_t>(window), m_atoms.activeWindow,
               {sourcePager, XCB_CURRENT_TIME, 0, 0, 0});
    xcb_flush(c);
}

void X11PanelWindowing::giveKeyboard(quint64 window) {
    xcb_connection_t* c = qtConnection();
    if (!c || window == 0)
        return;
    // At the server's own time: the toolkit stamps its own requests with the last event it read,
    // which may be older than a hand-over made a moment before. A window that went meanwhile
    // answers with an error, which is nobody's concern.
    const xcb_void_cookie_t cookie = xcb_set_input_focus_checked(
        c, XCB_INPUT_FOCUS_POINTER_ROOT, static_cast<xcb_window_t>(window), XCB_CURRENT_TIME);
    xcb_discard_reply(c, cookie.sequence);
    xcb_flush(c);
}

void X11PanelWindowing::showOnAllDesktops(QWindow& window) {
    xcb_connection_t* c = qtConnection();
    if (!c)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Atoms& atoms = m_atoms;
    if (id == XCB_WINDOW_NONE || atoms.desktop == XCB_ATOM_NONE || atoms.state == XCB_ATOM_NONE ||
        atoms.sticky == XCB_ATOM_NONE)
        return;
    const bool unlisted = m_unlisted.count(id) != 0;

    if (!window.isVisible()) {
        writeUnmappedHints(window, false);
    } else if (const xcb_window_t root = rootOf(c, id); root != XCB_WINDOW_NONE) {
        // A mapped window asks the window manager instead.
        sendToRoot(c, root, id, atoms.desktop, {allDesktops, sourceApplication, 0, 0, 0});
        sendToRoot(c, root, id, atoms.state,
                   {netWmStateAdd, atoms.sticky, XCB_ATOM_NONE, sourceApplication, 0});
        if (unlisted)
            sendToRoot(c, root, id, atoms.state,
                       {netWmStateAdd, atoms.skipTaskbar, atoms.skipPager, sourceApplication, 0});
    }
    // Some window managers (openbox among them) ignore sticky; the desktop number is what counts
    // there, so both are always sent.
    xcb_flush(c);
}

void X11PanelWindowing::writeUnmappedHints(const QWindow& window, bool toolkitStates) {
    // A window not yet mapped carries its wishes as properties, read when it is mapped. Qt merges
    // the states its flags ask for into _NET_WM_STATE when it maps the window, so sticky stays;
    // whatever a window manager left there from the last time goes, as it should have when the
    // window was withdrawn.
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Atoms& atoms = m_atoms;
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, id, atoms.desktop, XCB_ATOM_CARDINAL, 32, 1,
                        &allDesktops);
    std::vector<xcb_atom_t> states{atoms.sticky};
    if (m_unlisted.count(id) != 0 && atoms.skipTaskbar != XCB_ATOM_NONE && atoms.skipPager != XCB_ATOM_NONE)
        states.insert(states.end(), {atoms.skipTaskbar, atoms.skipPager});
    // As Qt has them: what a window kept above the others is, and one kept below.
    if (toolkitStates && window.flags().testFlag(Qt::WindowStaysOnTopHint))
        states.insert(states.end(), {atoms.above, atoms.staysOnTop});
    else if (toolkitStates && window.flags().testFlag(Qt::WindowStaysOnBottomHint))
        states.push_back(atoms.below);
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, id, atoms.state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
}

uint8_t X11PanelWindowing::depthOf(xcb_window_t window) {
    if (const auto known = m_depths.find(window); known != m_depths.end())
        return known->second;
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    const uint8_t depth = geometry ? geometry->depth : 0;
    if (depth != 0)
        m_depths[window] = depth;
    return depth;
}

void X11PanelWindowing::showFirstPicture(QWindow& window, const QImage& picture) {
    xcb_connection_t* c = qtConnection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!c || id == XCB_WINDOW_NONE)
        return;
    if (picture.isNull()) {
        dropFirstPicture(id);
        forgetFirstPicture(id);
        return;
    }
    // The picture goes to the server as it is in memory: 32 bits a pixel, in the server's own byte
    // order, for a window of 24 or 32 bits; anything else is drawn as Qt draws it.
    const uint8_t depth = depthOf(id);
    const xcb_setup_t* setup = xcb_get_setup(c);
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    if ((depth != 24 && depth != 32) ||
        (setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian)
        return;
    bool fourBytes = false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem > 0; xcb_format_next(&formats))
        if (formats.data->depth == depth)
            fourBytes = formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
    if (!fourBytes)
        return;
    // A premultiplied or opaque picture of 32 bits a pixel is laid out as the server has it (for a
    // window of 24 bits it ignores the top byte): it is sent as it is, without a converted copy.
    const bool asItIs =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage pixels = asItIs ? picture
                                 : picture.convertToFormat(depth == 32 ? QImage::Format_ARGB32_Premultiplied
                                                                       : QImage::Format_RGB32);
    const auto width = static_cast<uint16_t>(pixels.width());
    const auto height = static_cast<uint16_t>(pixels.height());
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, depth, pixmap, id, width, height);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    // In bands of rows that fit in one request each.
    const auto line = static_cast<uint32_t>(pixels.bytesPerLine());
    const uint32_t room = xcb_get_maximum_request_length(c) * 4 - 64;
    const int rows = std::max(1, static_cast<int>(room / std::max<uint32_t>(line, 1)));
    for (int top = 0; top < height; top += rows) {
        const int band = std::min(rows, height - top);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, width, static_cast<uint16_t>(band), 0,
                      static_cast<int16_t>(top), 0, depth, line * static_cast<uint32_t>(band),
                      pixels.constScanLine(top));
    }
    xcb_free_gc(c, gc);
    forgetFirstPicture(id);
    m_keptPictures[id] = pixmap;
    giveFirstPicture(id, pixmap);
}

bool X11PanelWindowing::showFirstPictureAgain(QWindow& window) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    const auto kept = m_keptPictures.find(id);
    if (!m_connection || kept == m_keptPictures.end())
        return false;
    giveFirstPicture(id, kept->second);
    return true;
}

bool X11PanelWindowing::canMapNow(const QWindow& window) const {
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!m_connection || id == XCB_WINDOW_NONE)
        return false;
    if (window.flags().testFlag(Qt::BypassWindowManagerHint))
        return window.devicePixelRatio() == 1.0;
    const auto mapped = m_mappedBefore.find(id);
    return mapped != m_mappedBefore.end() && mapped->second != XCB_WINDOW_NONE &&
           window.windowStates() == Qt::WindowNoState && window.modality() == Qt::NonModal &&
           m_atoms.above != XCB_ATOM_NONE && m_atoms.staysOnTop != XCB_ATOM_NONE &&
           m_atoms.below != XCB_ATOM_NONE;
}

void X11PanelWindowing::noteMapped(xcb_window_t window) {
    if (m_mappedBefore.count(window) != 0 || m_atoms.clientLeader == XCB_ATOM_NONE)
        return;
    m_mappedBefore[window] = XCB_WINDOW_NONE;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(m_connection, 0, window, m_atoms.clientLeader, XCB_ATOM_WINDOW, 0, 1);
    m_replies->expect<xcb_get_property_reply_t>(
        cookie.sequence, [this, window](const xcb_get_property_reply_t* reply) {
            const auto mapped = m_mappedBefore.find(window);
            if (!reply || mapped == m_mappedBefore.end() || reply->type != XCB_ATOM_WINDOW ||
                reply->format != 32 || xcb_get_property_value_length(reply) < 4)
                return;
            mapped->second = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
        });
}

void X11PanelWindowing::mapManagedNow(QWindow& window, const QRect& geometry) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    // Qt writes its place and size hints as it places the window.
    if (window.geometry() != geometry)
        window.setGeometry(geometry);
    // A window of a transient kind stands above its transient parent, else above the program's
    // client leader, as Qt says when it maps it; any other only above its transient parent.
    const Qt::WindowType type = window.type();
    const bool transientKind = type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool ||
                               type == Qt::SplashScreen || type == Qt::ToolTip || type == Qt::Drawer ||
                               type == Qt::Popup;
    const QWindow* parent = window.transientParent();
    xcb_window_t over = parent && parent->handle() ? static_cast<xcb_window_t>(parent->winId())
                                                   : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
    if (over == XCB_WINDOW_NONE && transientKind)
        over = m_mappedBefore.at(id);
    if (over != XCB_WINDOW_NONE)
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR,
                            XCB_ATOM_WINDOW, 32, 1, &over);
    else
        xcb_delete_property(m_connection, id, XCB_ATOM_WM_TRANSIENT_FOR);
    writeUnmappedHints(window, true);
    xcb_map_window(m_connection, id);
    xcb_flush(m_connection);
}

void X11PanelWindowing::mapNow(QWindow& window, const QRect& geometry) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!canMapNow(window) || geometry.isEmpty())
        return;
    if (!window.flags().testFlag(Qt::BypassWindowManagerHint))
        return mapManagedNow(window, geometry);
    // Where Qt would place it before mapping it; Qt's own placing that follows changes nothing.
    const std::array<uint32_t, 4> place{
        static_cast<uint32_t>(geometry.x()), static_cast<uint32_t>(geometry.y()),
        static_cast<uint32_t>(geometry.width()), static_cast<uint32_t>(geometry.height())};
    xcb_configure_window(m_connection, id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         place.data());
    xcb_map_window(m_connection, id);
    xcb_flush(m_connection);
}

void X11PanelWindowing::unmapNow(QWindow& window) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!m_connection || id == XCB_WINDOW_NONE)
        return;
    xcb_unmap_window(m_connection, id);
    // Withdrawn as a window manager expects it (ICCCM): the unmapping told to the root too, for a
    // window still on its way in.
    if (!window.flags().testFlag(Qt::BypassWindowManagerHint)) {
        xcb_unmap_notify_event_t withdrawn{};
        withdrawn.response_type = XCB_UNMAP_NOTIFY;
        withdrawn.event = firstRoot(m_connection);
        withdrawn.window = id;
        xcb_send_event(m_connection, 0, withdrawn.event,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&withdrawn));
    }
    xcb_flush(m_connection);
}

void X11PanelWindowing::giveFirstPicture(xcb_window_t window, xcb_pixmap_t pixmap) {
    // The server paints a window's background as it maps it, before anything else can draw.
    const xcb_void_cookie_t given =
        xcb_change_window_attributes(m_connection, window, XCB_CW_BACK_PIXMAP, &pixmap);
    m_firstPictures[window] = static_cast<uint16_t>(given.sequence);
    xcb_flush(m_connection);
}

void X11PanelWindowing::forgetFirstPicture(xcb_window_t window) {
    const auto kept = m_keptPictures.find(window);
    if (kept == m_keptPictures.end())
        return;
    // A window that still shows it as its background keeps it until it is given another.
    if (m_connection)
        xcb_free_pixmap(m_connection, kept->second);
    m_keptPictures.erase(kept);
}

void X11PanelWindowing::dropFirstPicture(xcb_window_t window) {
    if (m_firstPictures.erase(window) == 0 || !m_connection)
        return;
    // What lies in the window is Qt's to draw again: nothing of the first picture comes back
    // where the window is exposed later, or grows.
    const uint32_t none = XCB_BACK_PIXMAP_NONE;
    xcb_change_window_attributes(m_connection, window, XCB_CW_BACK_PIXMAP, &none);
    xcb_flush(m_connection);
}

void X11PanelWindowing::exposed(const xcb_expose_event_t& expose) {
    const auto given = m_firstPictures.find(expose.window);
    // Events carry the low 16 bits of the last request the server had done when it made them.
    if (given != m_firstPictures.end() && static_cast<uint16_t>(expose.sequence - given->second) < 0x8000)
        dropFirstPicture(expose.window);
}

void X11PanelWindowing::setListedInTaskbars(QWindow& window, bool listed) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (listed)
        m_unlisted.erase(id);
    else
        m_unlisted.insert(id);
}

void X11PanelWindowing::offerNoMinimise(QWindow& window) {
    // The window stays an ordinary one, stacked, listed and cycled like any other. Qt's missing
    // minimise button becomes a _MOTIF_WM_HINTS without the minimise function, which most window
    // managers follow; openbox offers minimising on every ordinary window whatever those hints
    // say, and takes it away only from window types that are no longer ordinary (tool bars, which
    // it then keeps above other windows and leaves out of its window cycling and taskbars). So a
    // minimised window is brought back at once: mapping an iconic window asks the window manager
    // to show it again (ICCCM), which openbox answers by restoring and activating it.
    if (window.property("_corvane_noMinimise").toBool())
        return;
    window.setProperty("_corvane_noMinimise", true);
    QPointer<QWindow> watched(&window);
    connect(&window, &QWindow::windowStateChanged, &window, [watched](Qt::WindowState state) {
        if (state != Qt::WindowMinimized)
            return;
        // After Qt is through with the change it reports; the window may be gone by then.
        QMetaObject::invokeMethod(
            watched.data(),
            [watched] {
                xcb_connection_t* c = qtConnection();
                if (!c || !watched || !watched->isVisible() || watched->windowState() != Qt::WindowMinimized)
                    return;
                xcb_map_window(c, static_cast<xcb_window_t>(watched->winId()));
                xcb_flush(c);
            },
            Qt::QueuedConnection);
    });
}

void X11PanelWindowing::askFrameMargins(QWindow& window,
                                        std::function<void(std::optional<QMargins>)> answer) {
    if (!m_frameEstimates)
        m_frameEstimates = std::make_unique<X11FrameEstimates>(qtConnection(), m_scheduler);
    m_frameEstimates->ask(static_cast<xcb_window_t>(window.winId()), std::move(answer));
}

void X11PanelWindowing::showWithoutActivating(QWindow& window) {
    // Qt writes a user time at each map: of 0 for a widget that shows without activating (the
    // panels set that attribute), which tells the window manager to leave the keyboard alone.
    // Written here too for a window that is not yet mapped.
    xcb_connection_t* c = qtConnection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!c || id == XCB_WINDOW_NONE || m_atoms.userTime == XCB_ATOM_NONE)
        return;
    const uint32_t never = 0;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, m_atoms.userTime, XCB_ATOM_CARDINAL, 32, 1, &never);
    xcb_flush(c);
}

QWindow* X11PanelWindowing::foreignWindow(xcb_window_t window) {
    // Only the window in front now matters: the stand-in for an earlier one goes (its panels were
    // let go of it when they showed last, or hold it weakly).
    if (!m_foreign || m_foreign->winId() != window)
        m_foreign.reset(QWindow::fromWinId(window));
    return m_foreign.get();
}

void X11PanelWindowing::liftShownPanels() {
    // Lets go of the panels no longer shown first; the stand-in goes once no shown panel needs it.
    m_stacked.removeAll(nullptr);
    const xcb_window_t over = activeFullScreenWindow();
    const QList<QPointer<QWindow>> panels = m_stacked;
    for (const QPointer<QWindow>& panel : panels) {
        if (!panel)
            continue;
        const bool standsAbove = m_foreign && panel->transientParent() == m_foreign.get();
        if (panel->isVisible() && over != XCB_WINDOW_NONE && !(standsAbove && m_foreign->winId() == over))
            stackAboveFullScreen(*panel);
        else if (!panel->isVisible() && standsAbove)
            panel->setTransientParent(nullptr);
    }
    releaseUnusedStandIn();
}

void X11PanelWindowing::releaseUnusedStandIn() {
    if (!m_foreign)
        return;
    m_stacked.removeAll(nullptr);
    const bool used = std::any_of(m_stacked.begin(), m_stacked.end(), [this](const QPointer<QWindow>& panel) {
        return panel && panel->isVisible() && panel->transientParent() == m_foreign.get();
    });
    if (!used)
        m_foreign.reset();
}

void X11PanelWindowing::stackAboveFullScreen(QWindow& window) {
    xcb_connection_t* c = qtConnection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!c || id == XCB_WINDOW_NONE)
        return;
    if (!m_stacked.contains(&window))
        m_stacked.append(&window);
    // A window manager stacks a full-screen window that has the keyboard above every floating
    // one, but keeps the windows that belong to it (its transients) above it. While such a
    // window is in front the panel counts as one of its transients.
    xcb_window_t over = activeFullScreenWindow();
    if (over == id)
        over = XCB_WINDOW_NONE;
    // Qt writes WM_TRANSIENT_FOR from the transient parent each time it maps the window.
    QWindow* parent = over != XCB_WINDOW_NONE ? foreignWindow(over) : nullptr;
    if (window.transientParent() != parent)
        window.setTransientParent(parent);
    if (!parent)
        releaseUnusedStandIn();
    if (!window.isVisible())
        return;
    // A mapped window is told at once; the window manager restacks it when the hint changes.
    if (over != XCB_WINDOW_NONE)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                            &over);
    else
        xcb_delete_property(c, id, XCB_ATOM_WM_TRANSIENT_FOR);
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, id, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(c);
}

xcb_window_t X11PanelWindowing::activeFullScreenWindow() const {
    return m_windows->use(X11WindowState::Catch::arrived, [](const X11HeldWindows& held) {
        const X11WindowFacts* facts = held.facts(held.active);
        return facts && facts->fullscreen ? held.active : xcb_window_t(XCB_WINDOW_NONE);
    });
}

} // namespace corvane
