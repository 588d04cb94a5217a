#include "platform/x11/QtScreens.h"

#include "platform/x11/X11Connection.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QUuid>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace corvane {

namespace {

// Display UUIDs are name-based: the same EDID bytes give the same UUID on every run.
const QUuid kDisplayUuidNamespace(QStringLiteral("{b2fdf1c0-36c6-4976-aa2b-6bcce492cc80}"));

// Qt's own connection where the platform plugin is xcb; otherwise (offscreen, tests) a
// connection of our own for the one read, closed again afterwards.
class XConnection {
public:
    XConnection() {
        if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
            m_connection = x11->connection();
        if (!m_connection) {
            m_owned.emplace(QByteArray(), X11Atoms::none);
            m_connection = m_owned->raw();
        }
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    xcb_connection_t* get() const {
        return m_connection && !xcb_connection_has_error(m_connection) ? m_connection : nullptr;
    }

private:
    xcb_connection_t* m_connection = nullptr;
    std::optional<X11Connection> m_owned;
};

xcb_atom_t existingAtom(xcb_connection_t* c, const char* name) {
    X11Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<uint16_t>(strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::optional<QString> edidUuid(xcb_connection_t* c, xcb_randr_output_t output, xcb_atom_t edidAtom) {
    if (edidAtom == XCB_ATOM_NONE)
        return std::nullopt;
    // 256 longs cover the base block and its extension blocks.
    X11Reply<xcb_randr_get_output_property_reply_t> reply(xcb_randr_get_output_property_reply(
        c, xcb_randr_get_output_property(c, output, edidAtom, XCB_ATOM_ANY, 0, 256, 0, 0), nullptr));
    if (!reply || reply->format != 8)
        return std::nullopt;
    const int length = xcb_randr_get_output_property_data_length(reply.get());
    if (length <= 0)
        return std::nullopt;
    const QByteArray edid(reinterpret_cast<const char*>(xcb_randr_get_output_property_data(reply.get())),
                          length);
    return QUuid::createUuidV5(kDisplayUuidNamespace, edid).toString(QUuid::WithoutBraces);
}

} // namespace

QtScreens::QtScreens() {
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        screensDidChange();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &QtScreens::screensDidChange);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &QtScreens::screensDidChange);
    for (QScreen* screen : QGuiApplication::screens())
        watchScreen(screen);
}

QtScreens::~QtScreens() = default;

void QtScreens::watchScreen(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &QtScreens::screensDidChange);
    connect(screen, &QScreen::availableGeometryChanged, this, &QtScreens::screensDidChange);
}

void QtScreens::screensDidChange() {
    m_outputFacts.reset();
    Q_EMIT screensChanged();
}

const QHash<QString, QtScreens::OutputFacts>& QtScreens::outputFacts() const {
    if (m_outputFacts)
        return *m_outputFacts;
    m_outputFacts.emplace();
    XConnection connection;
    xcb_connection_t* c = connection.get();
    if (!c)
        return *m_outputFacts;
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (!randr || !randr->present)
        return *m_outputFacts;
    X11Reply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 3), nullptr));
    if (!version || (version->major_version == 1 && version->minor_version < 3))
        return *m_outputFacts;

    const xcb_atom_t edidAtom = existingAtom(c, "EDID");
    for (auto roots = xcb_setup_roots_iterator(xcb_get_setup(c)); roots.rem; xcb_screen_next(&roots)) {
        X11Reply<xcb_randr_get_screen_resources_current_reply_t> resources(
            xcb_randr_get_screen_resources_current_reply(
                c, xcb_randr_get_screen_resources_current(c, roots.data->root), nullptr));
        if (!resources)
            continue;
        const xcb_randr_output_t* outputs = xcb_randr_get_screen_resources_current_outputs(resources.get());
        const int count = xcb_randr_get_screen_resources_current_outputs_length(resources.get());
        for (int i = 0; i < count; ++i) {
            X11Reply<xcb_randr_get_output_info_reply_t> info(xcb_randr_get_output_info_reply(
                c, xcb_randr_get_output_info(c, outputs[i], resources->config_timestamp), nullptr));
            if (!info)
                continue;
            const QString name =
                QString::fromUtf8(reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.get())),
                                  xcb_randr_get_output_info_name_length(info.get()));
            m_outputFacts->insert(name, OutputFacts{outputs[i], edidUuid(c, outputs[i], edidAtom)});
        }
    }
    return *m_outputFacts;
}

ScreenInfo QtScreens::infoFor(QScreen* screen) const {
    ScreenInfo info;
    info.name = screen->name();
    info.frame = QRectF(screen->geometry());
    info.visibleFrame = QRectF(screen->availableGeometry());
    if (auto it = outputFacts().constFind(info.name); it != outputFacts().constEnd()) {
        info.displayNumber = it->displayNumber;
        info.uuid = it->uuid;
    }
    return info;
}

std::vector<ScreenInfo> QtScreens::screens() const {
    std::vector<ScreenInfo> result;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        result.push_back(infoFor(primary));
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            result.push_back(infoFor(screen));
    }
    return result;
}

std::optional<ScreenInfo> QtScreens::mainScreen() const {
    if (QWindow* focus = QGuiApplication::focusWindow(); focus && focus->screen())
        return infoFor(focus->screen());
    if (QScreen* primary = QGuiApplication::primaryScreen())
        return infoFor(primary);
    return std::nullopt;
}

QPointF QtScreens::pointerLocation() const {
    return QPointF(QCursor::pos());
}

} // namespace corvane
