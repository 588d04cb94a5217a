// What the panels' windowing tells the top-level window around a panel (the window manager's
// frame): its compositor shadow and its input shape. Every question to the server is answered
// later, on an event or a tick, never waited for.
#include "platform/x11/X11LaterReplies.h"
#include "platform/x11/X11PanelWindowing.h"

#include <QRegion>
#include <QWindow>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvane {

void X11PanelWindowing::findTopLevel(xcb_window_t window, std::function<void(xcb_window_t)> found,
                                     int depth) {
    // A window manager nests a client a few windows deep at most.
    constexpr int deepest = 8;
    if (!m_replies || window == XCB_WINDOW_NONE || depth >= deepest) {
        found(XCB_WINDOW_NONE);
        return;
    }
    m_replies->expect<xcb_query_tree_reply_t>(
        xcb_query_tree(m_connection, window).sequence,
        [this, window, depth, found = std::move(found)](const xcb_query_tree_reply_t* tree) mutable {
            if (!tree || window == tree->root)
                found(XCB_WINDOW_NONE);
            else if (tree->parent == tree->root)
                found(window);
            else
                findTopLevel(tree->parent, std::move(found), depth + 1);
        });
}

void X11PanelWindowing::writeShadow(xcb_window_t window, bool shadow) {
    xcb_connection_t* c = m_connection;
    if (!c || window == XCB_WINDOW_NONE)
        return;
    // Read by the compositing managers that draw shadows of their own accord, on the top-level
    // window: the window manager's frame around a managed panel.
    if (m_atoms.compositorShadow == XCB_ATOM_NONE)
        return;
    const uint32_t value = shadow ? 1 : 0;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, m_atoms.compositorShadow, XCB_ATOM_CARDINAL, 32, 1,
                        &value);
    xcb_flush(c);
}

void X11PanelWindowing::checkCompositorShadowLater(xcb_window_t window, int checksLeft) {
    if (checksLeft <= 0) {
        m_shadowChecks.erase(window);
        return;
    }
    // The compositing manager takes in the map a moment after this program does, and later still
    // on a busy machine: the checks come ever further apart, up to the longest wait.
    const Seconds wait(std::min(shadowCheckWait * std::exp2(shadowChecks - checksLeft), shadowCheckLongest));
    m_shadowChecks.insert_or_assign(window, m_scheduler.schedule(wait, [this, window, checksLeft] {
        dropCompositorShadow(window, checksLeft);
    }));
}

void X11PanelWindowing::dropCompositorShadow(xcb_window_t window, int checksLeft) {
    m_shadowChecks.erase(window);
    const auto wanted = [this, window] {
        return m_connection && m_compositing && m_atoms.opacity != XCB_ATOM_NONE &&
               m_unshaded.count(window) != 0;
    };
    if (!wanted())
        return;
    findTopLevel(window, [this, window, checksLeft, wanted](xcb_window_t top) {
        if (top == XCB_WINDOW_NONE || !wanted())
            return;
        m_replies->expect<xcb_get_window_attributes_reply_t>(
            xcb_get_window_attributes(m_connection, top).sequence,
            [this, window, checksLeft, wanted, top](const xcb_get_window_attributes_reply_t* attributes) {
                if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE || !wanted())
                    return;
                // The compositing manager starts watching the window's properties when it takes
                // in the map.
                if ((attributes->all_event_masks & XCB_EVENT_MASK_PROPERTY_CHANGE) == 0)
                    checkCompositorShadowLater(window, checksLeft - 1);
                else
                    touchOpacity(top);
            });
    });
}

void X11PanelWindowing::touchOpacity(xcb_window_t top) {
    xcb_connection_t* c = m_connection;
    // A change of the opacity makes it look at the window again: it finds a 32-bit window and
    // lets go of the shadow. The opacity itself stays as it was.
    m_replies->expect<xcb_get_property_reply_t>(
        xcb_get_property(c, 0, top, m_atoms.opacity, XCB_ATOM_CARDINAL, 0, 1).sequence,
        [this, c, top](const xcb_get_property_reply_t* opacity) {
            if (opacity && opacity->format == 32 && xcb_get_property_value_length(opacity) == 4) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, top, m_atoms.opacity, XCB_ATOM_CARDINAL, 32, 1,
                                    xcb_get_property_value(opacity));
            } else if (opacity) {
                const uint32_t opaque = 0xffffffffu;
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, top, m_atoms.opacity, XCB_ATOM_CARDINAL, 32, 1,
                                    &opaque);
                xcb_delete_property(c, top, m_atoms.opacity);
            }
            xcb_flush(c);
        });
    // What it drew of the shadow stays on the screen until that part is drawn again: an exposure
    // of the root around the window has it drawn again (after the change above, whose answer
    // comes first).
    m_replies->expect<xcb_get_geometry_reply_t>(
        xcb_get_geometry(c, top).sequence, [c](const xcb_get_geometry_reply_t* geometry) {
            if (!geometry)
                return;
            constexpr int margin = 128;
            xcb_expose_event_t expose{};
            expose.response_type = XCB_EXPOSE;
            expose.window = geometry->root;
            expose.x = static_cast<uint16_t>(std::max(0, geometry->x - margin));
            expose.y = static_cast<uint16_t>(std::max(0, geometry->y - margin));
            expose.width = static_cast<uint16_t>(std::min(0xffff, geometry->width + 2 * margin));
            expose.height = static_cast<uint16_t>(std::min(0xffff, geometry->height + 2 * margin));
            xcb_send_event(c, 0, geometry->root, XCB_EVENT_MASK_EXPOSURE,
                           reinterpret_cast<const char*>(&expose));
            xcb_flush(c);
        });
}

void X11PanelWindowing::setCompositorShadow(QWindow& window, bool shadow) {
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!m_connection || id == XCB_WINDOW_NONE)
        return;
    if (shadow)
        m_unshaded.erase(id);
    else
        m_unshaded.insert(id);
    writeShadow(id, shadow);
    // A panel framed already: its frame too; later frames as the window manager makes them.
    findTopLevel(id, [this, id, shadow](xcb_window_t frame) {
        if (frame != id)
            writeShadow(frame, shadow);
    });
}

void X11PanelWindowing::setInputShape(QWindow& window, const QRegion& region) {
    xcb_connection_t* c = m_connection;
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (!c || id == XCB_WINDOW_NONE)
        return;
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(c, &xcb_shape_id);
    if (!shape || !shape->present)
        return;
    if (region.isEmpty()) {
        m_inputShapes.erase(id);
        xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, id, 0, 0, XCB_PIXMAP_NONE);
    } else {
        m_inputShapes.insert(id);
        std::vector<xcb_rectangle_t> rectangles;
        for (const QRect& rect : region)
            rectangles.push_back({static_cast<int16_t>(rect.x()), static_cast<int16_t>(rect.y()),
                                  static_cast<uint16_t>(rect.width()), static_cast<uint16_t>(rect.height())});
        xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, id, 0, 0,
                             static_cast<uint32_t>(rectangles.size()), rectangles.data());
    }
    xcb_flush(c);
    passInputShape(id);
}

void X11PanelWindowing::passInputShape(xcb_window_t window) {
    // The window manager's frame around a panel takes the pointer over the whole panel unless it
    // is shaped as the panel is; it is told at every framing, the window manager's own copy kept.
    // The frame takes the panel's shape as it stands when the server comes to the request.
    findTopLevel(window, [this, window](xcb_window_t frame) {
        if (frame == XCB_WINDOW_NONE || frame == window)
            return;
        m_replies->expect<xcb_translate_coordinates_reply_t>(
            xcb_translate_coordinates(m_connection, window, frame, 0, 0).sequence,
            [this, window, frame](const xcb_translate_coordinates_reply_t* at) {
                if (!at)
                    return;
                xcb_shape_combine(m_connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_SHAPE_SK_INPUT,
                                  frame, at->dst_x, at->dst_y, window);
                xcb_flush(m_connection);
            });
    });
}

std::size_t X11PanelWindowing::windowsKept() const {
    std::set<xcb_window_t> kept(m_unshaded.begin(), m_unshaded.end());
    for (const auto* windows : {&m_unlisted, &m_inputShapes})
        kept.insert(windows->begin(), windows->end());
    const auto keys = [&kept](const auto& map) {
        for (const auto& entry : map)
            kept.insert(entry.first);
    };
    keys(m_shadowChecks);
    keys(m_firstPictures);
    keys(m_depths);
    keys(m_keptPictures);
    keys(m_onExposed);
    keys(m_onMapped);
    keys(m_mappedBefore);
    return kept.size();
}

} // namespace corvane
