#pragma once

#include <QRect>
#include <QSize>

#include <xcb/render.h>
#include <xcb/xcb.h>

#include <map>
#include <memory>
#include <optional>
#include <tuple>

namespace corvane {

// Scales pictures on the server with RENDER: a drawable is wrapped in a picture with a scaling
// transform and drawn into a pixmap of the size asked for, so that only the small picture travels
// back. Bilinear filtering takes every source pixel into account only down to half size, so a
// larger reduction runs through halving steps first (each an exact two-by-two average), then one
// last step of at most half. Edges are padded, so that no transparency seeps in at the borders.
// The pixmaps drawn into are kept for the next picture of the same size, which spares the server
// allocating (and the kernel clearing) them again for every capture. Not thread-safe: its owner keeps it
// under the lock of the connection it draws on.
class X11RenderScaler {
public:
    // None where the server lacks RENDER 0.10 (transforms, filters and padded edges).
    static std::unique_ptr<X11RenderScaler> create(xcb_connection_t* connection);

    ~X11RenderScaler();
    X11RenderScaler(const X11RenderScaler&) = delete;
    X11RenderScaler& operator=(const X11RenderScaler&) = delete;

    // Draws `area` of `drawable` (one of `visual` and `depth`) into a pixmap `size` large,
    // of the same depth, which stays this scaler's: read it before the next call. None when the
    // visual has no picture format. Errors of the drawing (a source gone meanwhile) come back as
    // events.
    std::optional<xcb_pixmap_t> scale(xcb_drawable_t drawable, xcb_visualid_t visual, uint8_t depth,
                                      QRect area, QSize size);

private:
    struct Scratch {
        xcb_pixmap_t pixmap;
        xcb_render_picture_t picture;
    };
    using ScratchKey = std::tuple<xcb_render_pictformat_t, int, int>;

    explicit X11RenderScaler(xcb_connection_t* connection) : m_connection(connection) {}
    // A kept pixmap (and its picture) of `size`, made on `screenOf`'s screen when there is none.
    const Scratch& scratch(xcb_render_pictformat_t format, uint8_t depth, QSize size,
                           xcb_drawable_t screenOf);
    void releaseScratch();

    xcb_connection_t* m_connection;
    std::map<xcb_visualid_t, xcb_render_pictformat_t> m_formats;
    std::map<ScratchKey, Scratch> m_scratch;
};

} // namespace corvane
