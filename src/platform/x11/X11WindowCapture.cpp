#include "platform/x11/X11WindowCapture.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11PixelReader.h"
#include "platform/x11/X11RenderScaler.h"

#include <xcb/composite.h>
#include <xcb/damage.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <variant>

namespace corvane {

namespace {

using Clock = std::chrono::steady_clock;

QString describe(const char* text) {
    return QString::fromLatin1(text);
}

// The size asked for follows from the window's size when it was listed, each side scaled by
// one factor and cut to whole pixels. Whether some factor takes `window` to `picture` that way:
// then the window kept its size and the picture takes the size asked for exactly. Otherwise the
// window has changed since, and its picture keeps the window's proportions inside that box.
bool fitsWindowOfSize(QSize picture, QSize window) {
    // The factors that give `want` pixels of `have`; a side raised to one pixel takes any below.
    const auto factors = [](int want, int have) {
        const double low = want <= 1 ? 0.0 : static_cast<double>(want) / have;
        return std::pair(low, static_cast<double>(want + 1) / have);
    };
    const auto [lowX, highX] = factors(picture.width(), window.width());
    const auto [lowY, highY] = factors(picture.height(), window.height());
    constexpr double slack = 1e-9;
    return std::max(lowX, lowY) < std::min(highX, highY) + slack;
}

// What drawing a window's picture needs to know of it.
struct WindowShape {
    QSize size;
    int border = 0;
    uint8_t depth = 0;
    xcb_visualid_t visual = 0;
    bool operator==(const WindowShape&) const = default;
};

WindowShape shapeOf(const xcb_get_geometry_reply_t& geometry, xcb_visualid_t visual) {
    return {QSize(geometry.width, geometry.height), geometry.border_width, geometry.depth, visual};
}

} // namespace

struct X11WindowCapture::Shared {
    QByteArray displayName;
    Options options;
    double pixelRatio = 1.0;
    std::mutex mutex;
    std::unique_ptr<X11Connection> connection;
    // Both work on the connection, and go before it.
    std::unique_ptr<X11RenderScaler> scaler;
    std::unique_ptr<X11PixelReader> reader;
    // When each window this connection redirected was redirected.
    std::map<xcb_window_t, Clock::time_point> redirected;
    // The listed windows' shapes as last seen, so that a capture needs no round trip to ask.
    std::map<xcb_window_t, WindowShape> shapes;
    // The damage extension's first event; 0 without it.
    uint8_t damageEvent = 0;
    // Each redirected window's damage watch and content version.
    struct Watched {
        xcb_damage_damage_t damage = 0;
        uint64_t version = 0;
    };
    std::map<xcb_window_t, Watched> watched;
    uint64_t lastVersion = 0;

    // Under the mutex. Opens the connection on first use, and again after the server dropped it.
    X11Connection* connect() {
        if (connection && connection->isValid())
            return connection.get();
        scaler.reset();
        reader.reset();
        connection.reset();
        redirected.clear();
        shapes.clear();
        watched.clear();
        damageEvent = 0;
        auto opened = std::make_unique<X11Connection>(displayName);
        if (!opened->isValid())
            return nullptr;
        xcb_connection_t* c = opened->raw();
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_composite_id);
        if (!extension || !extension->present)
            return nullptr;
        X11Reply<xcb_composite_query_version_reply_t> version(
            xcb_composite_query_version_reply(c, xcb_composite_query_version(c, 0, 4), nullptr));
        // Naming a window's pixmap came with 0.2.
        if (!version || (version->major_version == 0 && version->minor_version < 2))
            return nullptr;
        if (const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
            damage && damage->present) {
            X11Reply<xcb_damage_query_version_reply_t> damageVersion(
                xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
            if (damageVersion)
                damageEvent = damage->first_event;
        }
        if (options.serverScaling)
            scaler = X11RenderScaler::create(c);
        reader = std::make_unique<X11PixelReader>(c, options.sharedMemory
                                                         ? X11PixelReader::Transfer::sharedMemoryWhereOffered
                                                         : X11PixelReader::Transfer::socket);
        connection = std::move(opened);
        return connection.get();
    }

    // Under the mutex: redirects the window unless this connection already did.
    Clock::time_point redirect(xcb_connection_t* c, xcb_window_t window) {
        auto it = redirected.find(window);
        if (it != redirected.end())
            return it->second;
        xcb_composite_redirect_window(c, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        return redirected.emplace(window, Clock::now()).first->second;
    }
    // Under the mutex: the window's content version now, its damage watched from its first
    // capture on (windows never captured, this program's own among them, are not watched).
    std::optional<uint64_t> versionAtCapture(xcb_connection_t* c, xcb_window_t window) {
        if (damageEvent == 0)
            return std::nullopt;
        takeEvents(c);
        auto found = watched.find(window);
        if (found == watched.end()) {
            const xcb_damage_damage_t damage = xcb_generate_id(c);
            xcb_damage_create(c, damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            found = watched.emplace(window, Watched{damage, ++lastVersion}).first;
        }
        return found->second.version;
    }
    // Under the mutex: lets go of the window's redirect and damage watch.
    void unredirect(xcb_connection_t* c, xcb_window_t window) {
        xcb_composite_unredirect_window(c, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
        if (const auto found = watched.find(window); found != watched.end()) {
            xcb_damage_destroy(c, found->second.damage);
            watched.erase(found);
        }
        shapes.erase(window);
    }
    // Under the mutex: takes in the events that came, nobody else reading this connection. A
    // damage report moves the window's version on and empties its damage, so that the next change
    // is reported again; the rest (errors of requests sent without a check) are dropped.
    void takeEvents(xcb_connection_t* c) {
        bool emptied = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            if (damageEvent != 0 && x11EventType(*event) == damageEvent + XCB_DAMAGE_NOTIFY) {
                const auto* notify = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
                const auto found = watched.find(notify->drawable);
                if (found != watched.end() && found->second.damage == notify->damage) {
                    found->second.version = ++lastVersion;
                    xcb_damage_subtract(c, notify->damage, XCB_NONE, XCB_NONE);
                    emptied = true;
                }
            }
            std::free(event);
        }
        if (emptied)
            xcb_flush(c);
    }

    ContentAnswer list();
    ImageAnswer capture(uint32_t windowID, QSize pixelSize);
    std::variant<QImage, QString> readPixels(X11Connection& connection, xcb_window_t window, QSize pixelSize);
    std::optional<WindowShape> askShape(xcb_connection_t* c, xcb_window_t window);
    std::variant<QImage, QString> draw(xcb_pixmap_t pixmap, const WindowShape& shape, QSize pixelSize);
};

ContentAnswer X11WindowCapture::Shared::list() {
    std::lock_guard lock(mutex);
    X11Connection* connection = connect();
    if (!connection)
        return {std::nullopt, describe("No X server with the Composite extension")};
    xcb_connection_t* c = connection->raw();
    std::vector<uint32_t> clients = connection->rootValues(X11Atom::netClientListStacking);
    if (clients.empty())
        clients = connection->rootValues(X11Atom::netClientList);

    // Ask about every window first, then read the answers: one round trip for the lot.
    struct Asked {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t origin;
        xcb_get_property_cookie_t type;
    };
    std::vector<Asked> asked;
    asked.reserve(clients.size());
    for (uint32_t window : clients)
        asked.push_back({xcb_get_window_attributes(c, window), xcb_get_geometry(c, window),
                         xcb_translate_coordinates(c, window, connection->root(), 0, 0),
                         xcb_get_property(c, 0, window, connection->atom(X11Atom::netWmWindowType),
                                          XCB_ATOM_ATOM, 0, 16)});

    ShareableContent content;
    std::set<xcb_window_t> listed;
    // The stacking list runs bottom to top; the listing goes front to back.
    for (size_t i = clients.size(); i-- > 0;) {
        const xcb_window_t window = clients[i];
        X11Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, asked[i].attributes, nullptr));
        X11Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, asked[i].geometry, nullptr));
        X11Reply<xcb_translate_coordinates_reply_t> origin(
            xcb_translate_coordinates_reply(c, asked[i].origin, nullptr));
        X11Reply<xcb_get_property_reply_t> type(xcb_get_property_reply(c, asked[i].type, nullptr));
        // Minimised windows and those of other desktops are unmapped, and have no pixels to read.
        if (!attributes || !geometry || !origin || attributes->map_state != XCB_MAP_STATE_VIEWABLE ||
            attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT)
            continue;
        if (type && type->format == 32) {
            const auto* types = static_cast<const xcb_atom_t*>(xcb_get_property_value(type.get()));
            const int count = xcb_get_property_value_length(type.get()) / 4;
            if (count > 0 && types[0] == connection->atom(X11Atom::typeDesktop))
                continue;
        }
        const QRectF frame(origin->dst_x / pixelRatio, origin->dst_y / pixelRatio,
                           geometry->width / pixelRatio, geometry->height / pixelRatio);
        content.windows.push_back({window, frame});
        listed.insert(window);
        shapes[window] = shapeOf(*geometry, attributes->visual);
    }

    // Redirect what is listed now, so that its pixels are ready by the time a capture asks; let
    // go of windows that left the screen (a window that is gone only answers with an error).
    for (xcb_window_t window : listed)
        redirect(c, window);
    for (auto it = redirected.begin(); it != redirected.end();) {
        if (listed.contains(it->first)) {
            ++it;
            continue;
        }
        unredirect(c, it->first);
        it = redirected.erase(it);
    }
    xcb_flush(c);
    takeEvents(c);
    return {std::move(content), {}};
}

std::optional<WindowShape> X11WindowCapture::Shared::askShape(xcb_connection_t* c, xcb_window_t window) {
    const xcb_get_geometry_cookie_t asked = xcb_get_geometry(c, window);
    const xcb_get_window_attributes_cookie_t askedAttributes = xcb_get_window_attributes(c, window);
    X11Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, asked, nullptr));
    X11Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, askedAttributes, nullptr));
    if (!geometry || !attributes)
        return std::nullopt;
    return shapes[window] = shapeOf(*geometry, attributes->visual);
}

std::variant<QImage, QString> X11WindowCapture::Shared::readPixels(X11Connection& connection,
                                                                   xcb_window_t window, QSize pixelSize) {
    xcb_connection_t* c = connection.raw();
    const auto known = shapes.find(window);
    std::optional<WindowShape> shape =
        known != shapes.end() ? std::optional(known->second) : askShape(c, window);
    // The shape last seen is checked by the same round trip that reads the picture; a window
    // resized since then is drawn again with its new shape.
    for (int attempt = 0;; ++attempt) {
        if (!shape)
            return describe("The window is gone");
        const xcb_pixmap_t pixmap = xcb_generate_id(c);
        const xcb_void_cookie_t naming = xcb_composite_name_window_pixmap_checked(c, window, pixmap);
        // Asked after the naming: the pixmap is no larger than what this answers.
        const xcb_get_geometry_cookie_t check = xcb_get_geometry(c, window);
        std::variant<QImage, QString> pixels = draw(pixmap, *shape, pixelSize);
        X11Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, check, nullptr));
        // The read has been answered, so the naming's error (if any) is in: no further round trip.
        X11Reply<xcb_generic_error_t> named(xcb_request_check(c, naming));
        xcb_free_pixmap(c, pixmap);
        if (!geometry)
            return describe("The window is gone");
        // An unmapped (minimised) window has no pixmap: the server answers BadMatch.
        if (named)
            return describe("The window is not shown");
        const WindowShape now = shapeOf(*geometry, shape->visual);
        if (now == *shape || attempt > 0)
            return pixels;
        shape = shapes[window] = now;
    }
}

// The picture of the window's named `pixmap`, drawn as `shape` says, at the size asked for.
std::variant<QImage, QString> X11WindowCapture::Shared::draw(xcb_pixmap_t pixmap, const WindowShape& shape,
                                                             QSize pixelSize) {
    const QSize target =
        (fitsWindowOfSize(pixelSize, shape.size) ? pixelSize
                                                 : shape.size.scaled(pixelSize, Qt::KeepAspectRatio))
            .expandedTo(QSize(1, 1));
    // The pixmap holds the border too; the content starts inside it.
    const QRect content(QPoint(shape.border, shape.border), shape.size);
    std::optional<xcb_pixmap_t> scaled;
    if (scaler && target != shape.size)
        scaled = scaler->scale(pixmap, shape.visual, shape.depth, content, target);
    std::variant<QImage, QString> pixels =
        scaled ? reader->read(*scaled, QRect(QPoint(), target)) : reader->read(pixmap, content);
    const QImage* image = std::get_if<QImage>(&pixels);
    if (!image || image->size() == target)
        return pixels;
    // No RENDER: the full picture came, and is scaled here.
    return opaquePixels(image->scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

ImageAnswer X11WindowCapture::Shared::capture(uint32_t windowID, QSize pixelSize) {
    if (pixelSize.isEmpty())
        return {std::nullopt, describe("Empty picture size")};
    Clock::time_point redirectedAt;
    X11Connection* opened = nullptr;
    {
        std::lock_guard lock(mutex);
        opened = connect();
        if (!opened)
            return {std::nullopt, describe("No X server with the Composite extension")};
        redirectedAt = redirect(opened->raw(), windowID);
        opened->flush();
    }
    // A listing may run meanwhile: the wait happens outside the lock.
    const Clock::time_point ready = redirectedAt + settleTime;
    if (Clock::now() < ready)
        std::this_thread::sleep_until(ready);

    std::lock_guard lock(mutex);
    X11Connection* connection = connect();
    if (connection != opened)
        return {std::nullopt, describe("The X connection was lost")};
    // A listing made meanwhile found the window off screen and let go of it.
    if (!redirected.contains(windowID))
        return {std::nullopt, describe("The window is not shown")};
    // Read before the pixels: a change meanwhile moves the version on past the picture.
    const std::optional<uint64_t> version = versionAtCapture(connection->raw(), windowID);
    std::variant<QImage, QString> pixels = readPixels(*connection, windowID, pixelSize);
    takeEvents(connection->raw());
    if (QString* error = std::get_if<QString>(&pixels))
        return {std::nullopt, std::move(*error)};
    return {std::move(std::get<QImage>(pixels)), {}, version};
}

X11WindowCapture::X11WindowCapture(QByteArray displayName, Options options)
    : m_shared(std::make_shared<Shared>()), m_worker(QStringLiteral("X11 captures")) {
    m_shared->displayName = std::move(displayName);
    m_shared->options = options;
    m_shared->pixelRatio = primaryScreenPixelRatio();
}

X11WindowCapture::~X11WindowCapture() = default;

void X11WindowCapture::loadShareableContent(ContentHandler done) {
    std::shared_ptr<Shared> shared = m_shared;
    m_worker.post([shared, done = std::move(done)] { done(shared->list()); });
}

void X11WindowCapture::captureImage(uint32_t windowID, QSize pixelSize, ImageHandler done) {
    std::shared_ptr<Shared> shared = m_shared;
    m_worker.post([shared, windowID, pixelSize, done = std::move(done)] {
        done(shared->capture(windowID, pixelSize));
    });
}

ContentAnswer X11WindowCapture::listWindows() {
    return m_shared->list();
}

ImageAnswer X11WindowCapture::capture(uint32_t windowID, QSize pixelSize) {
    return m_shared->capture(windowID, pixelSize);
}

std::optional<uint64_t> X11WindowCapture::contentVersion(uint32_t windowID) {
    // Never waits: while a capture or a listing runs, the version cannot be told.
    std::unique_lock lock(m_shared->mutex, std::try_to_lock);
    if (!lock.owns_lock() || !m_shared->connection || !m_shared->connection->isValid())
        return std::nullopt;
    m_shared->takeEvents(m_shared->connection->raw());
    const auto found = m_shared->watched.find(windowID);
    return found == m_shared->watched.end() ? std::nullopt : std::optional(found->second.version);
}

bool X11WindowCapture::scalesOnServer() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->scaler != nullptr;
}

bool X11WindowCapture::readsThroughSharedMemory() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->reader && m_shared->reader->usesSharedMemory();
}

} // namespace corvane
