#pragma once

#include <QRect>
#include <QSize>

#include <xcb/render.h>
#include <xcb/xcb.h>

#include <map>
#include <memory>
#include <optional>

namespace corvane {

// Scales pictures on the server with RENDER: a drawable is wrapped in a picture with a scaling
// transform and drawn into a pixmap of the size asked for, so that only the small picture travels
// back. Bilinear filtering takes every source pixel into account only down to half size, so a
// larger reduction runs through halving steps first (each an exact two-by-two average), then one
// last step of at most half. Edges are padded, so that no transparency seeps in at the borders.
// Not thread-safe: its owner keeps it under the lock of the connection it draws on.
class X11RenderScaler {
public:
    // None where the server lacks RENDER 0.10 (transforms, filters and padded edges).
    static std::unique_ptr<X11RenderScaler> create(xcb_connection_t* connection);

    // Draws `area` of `source` (a drawable of `visual` and `depth`) into a new pixmap `size`
    // large, of the same depth, which the caller frees. None when the visual has no picture
    // format. Errors of the drawing (a source gone meanwhile) come back as events.
    std::optional<xcb_pixmap_t> scale(xcb_drawable_t source, xcb_visualid_t visual, uint8_t depth, QRect area,
                                      QSize size);

private:
    explicit X11RenderScaler(xcb_connection_t* connection) : m_connection(connection) {}

    xcb_connection_t* m_connection;
    std::map<xcb_visualid_t, xcb_render_pictformat_t> m_formats;
};

} // namespace corvane
