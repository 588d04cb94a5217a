#include "platform/x11/X11RenderScaler.h"

#include "platform/x11/X11Connection.h"

#include <cmath>
#include <cstring>

namespace corvane {

namespace {

xcb_render_fixed_t fixed(double value) {
    return static_cast<xcb_render_fixed_t>(std::lround(value * 65536.0));
}

// The side of the next step on the way from `from` to `to`: half (rounded up) while more than
// half remains to go, else the end.
int nextSide(int from, int to) {
    return from > 2 * to ? (from + 1) / 2 : to;
}

// Sizes of windows come and go; past this many kept pixmaps, all are let go.
constexpr size_t kMostScratch = 8;

} // namespace

std::unique_ptr<X11RenderScaler> X11RenderScaler::create(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_render_id);
    if (!extension || !extension->present)
        return nullptr;
    X11Reply<xcb_render_query_version_reply_t> version(
        xcb_render_query_version_reply(c, xcb_render_query_version(c, 0, 11), nullptr));
    // Padded edges came last, with 0.10.
    if (!version || (version->major_version == 0 && version->minor_version < 10))
        return nullptr;
    X11Reply<xcb_render_query_pict_formats_reply_t> formats(
        xcb_render_query_pict_formats_reply(c, xcb_render_query_pict_formats(c), nullptr));
    if (!formats)
        return nullptr;
    std::unique_ptr<X11RenderScaler> scaler(new X11RenderScaler(c));
    for (auto screens = xcb_render_query_pict_formats_screens_iterator(formats.get()); screens.rem;
         xcb_render_pictscreen_next(&screens))
        for (auto depths = xcb_render_pictscreen_depths_iterator(screens.data); depths.rem;
             xcb_render_pictdepth_next(&depths))
            for (auto visuals = xcb_render_pictdepth_visuals_iterator(depths.data); visuals.rem;
                 xcb_render_pictvisual_next(&visuals))
                scaler->m_formats.emplace(visuals.data->visual, visuals.data->format);
    return scaler;
}

X11RenderScaler::~X11RenderScaler() {
    releaseScratch();
}

void X11RenderScaler::releaseScratch() {
    for (const auto& [key, kept] : m_scratch) {
        xcb_render_free_picture(m_connection, kept.picture);
        xcb_free_pixmap(m_connection, kept.pixmap);
    }
    m_scratch.clear();
}

const X11RenderScaler::Scratch& X11RenderScaler::scratch(xcb_render_pictformat_t format, uint8_t depth,
                                                         QSize size, xcb_drawable_t screenOf) {
    const ScratchKey key(format, size.width(), size.height());
    if (const auto kept = m_scratch.find(key); kept != m_scratch.end())
        return kept->second;
    xcb_connection_t* c = m_connection;
    const Scratch made{xcb_generate_id(c), xcb_generate_id(c)};
    xcb_create_pixmap(c, depth, made.pixmap, screenOf, static_cast<uint16_t>(size.width()),
                      static_cast<uint16_t>(size.height()));
    const uint32_t pad = XCB_RENDER_REPEAT_PAD;
    xcb_render_create_picture(c, made.picture, made.pixmap, format, XCB_RENDER_CP_REPEAT, &pad);
    return m_scratch.emplace(key, made).first->second;
}

std::optional<xcb_pixmap_t> X11RenderScaler::scale(xcb_drawable_t drawable, xcb_visualid_t visual,
                                                   uint8_t depth, QRect area, QSize size) {
    const auto format = m_formats.find(visual);
    if (format == m_formats.end() || area.isEmpty() || size.isEmpty())
        return std::nullopt;
    // Let go between pictures only: a picture's steps draw from one another.
    if (m_scratch.size() >= kMostScratch)
        releaseScratch();
    xcb_connection_t* c = m_connection;
    static constexpr char filter[] = "bilinear";
    const uint32_t pad = XCB_RENDER_REPEAT_PAD;

    xcb_render_picture_t source = xcb_generate_id(c);
    xcb_render_create_picture(c, source, drawable, format->second, XCB_RENDER_CP_REPEAT, &pad);
    xcb_render_picture_t from = source;
    xcb_pixmap_t fromPixmap = XCB_PIXMAP_NONE;
    QSize fromSize = area.size();
    QPoint origin = area.topLeft();
    while (fromPixmap == XCB_PIXMAP_NONE || fromSize != size) {
        const QSize step(nextSide(fromSize.width(), size.width()),
                         nextSide(fromSize.height(), size.height()));
        const Scratch& to = scratch(format->second, depth, step, drawable);
        // The transform takes each pixel of the step to where it lies in the picture it comes from.
        const double scaleX = static_cast<double>(fromSize.width()) / step.width();
        const double scaleY = static_cast<double>(fromSize.height()) / step.height();
        const xcb_render_transform_t transform{
            fixed(scaleX), 0, fixed(origin.x()), 0, fixed(scaleY), fixed(origin.y()), 0, 0, fixed(1)};
        xcb_render_set_picture_transform(c, from, transform);
        xcb_render_set_picture_filter(c, from, static_cast<uint16_t>(std::strlen(filter)), filter, 0,
                                      nullptr);
        xcb_render_composite(c, XCB_RENDER_PICT_OP_SRC, from, XCB_RENDER_PICTURE_NONE, to.picture, 0, 0, 0, 0,
                             0, 0, static_cast<uint16_t>(step.width()), static_cast<uint16_t>(step.height()));
        from = to.picture;
        fromPixmap = to.pixmap;
        fromSize = step;
        origin = {};
    }
    xcb_render_free_picture(c, source);
    return fromPixmap;
}

} // namespace corvane
