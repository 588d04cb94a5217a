// The least a program can do to answer a hot key with a drawn window, the floor of the clipboard
// strip's opening: it holds a passive grab on one key with Alt+Shift and, on each press, maps a
// plain window of the strip's size near the bottom of the screen (or unmaps it when it shows),
// filling it the moment it is exposed. It prints its window's id once the grab is in place. With
// "override-redirect" the window is one the window manager leaves alone, as the strip's is;
// without, the window manager takes it in and frames it first. A size given as WIDTHxHEIGHT
// replaces the strip's.
//     benchmark_key_mapped_window <key code> [override-redirect] [WIDTHxHEIGHT]
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

constexpr uint16_t kBottomGap = 12;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const auto key = static_cast<xcb_keycode_t>(std::atoi(argv[1]));
    uint32_t unmanaged = 0;
    uint16_t width = 1400, height = 230;
    for (int i = 2; i < argc; ++i) {
        unsigned w = 0, h = 0;
        if (std::strcmp(argv[i], "override-redirect") == 0)
            unmanaged = 1;
        else if (std::sscanf(argv[i], "%ux%u", &w, &h) == 2 && w > 0 && h > 0 && w < 32768 && h < 32768) {
            width = static_cast<uint16_t>(w);
            height = static_cast<uint16_t>(h);
        } else
            return 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;

    const xcb_window_t window = xcb_generate_id(c);
    const auto x = static_cast<int16_t>((screen->width_in_pixels - width) / 2);
    const auto y = static_cast<int16_t>(std::max(screen->height_in_pixels - height - kBottomGap, 0));
    // No background: the only drawing is the program's own fill, as a toolkit's window does.
    const std::array<uint32_t, 3> values{XCB_BACK_PIXMAP_NONE, unmanaged, XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, x, y, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values.data());
    // Where it asks and without a frame, as the strip shows.
    constexpr uint32_t kUserPosition = 1, kUserSize = 2;
    std::array<uint32_t, 18> sizeHints{};
    sizeHints[0] = kUserPosition | kUserSize;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS,
                        32, sizeHints.size(), sizeHints.data());
    constexpr uint32_t kDecorationsGiven = 2;
    const std::array<uint32_t, 5> motifHints{kDecorationsGiven, 0, 0, 0, 0};
    const xcb_atom_t motif = atom(c, "_MOTIF_WM_HINTS");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, motif, motif, 32, motifHints.size(),
                        motifHints.data());

    const xcb_gcontext_t gc = xcb_generate_id(c);
    const uint32_t gray = 0x1e1e1e;
    xcb_create_gc(c, gc, window, XCB_GC_FOREGROUND, &gray);

    const uint16_t altShift = XCB_MOD_MASK_1 | XCB_MOD_MASK_SHIFT;
    if (const std::unique_ptr<xcb_generic_error_t, FreeReply> error{
            xcb_request_check(c, xcb_grab_key_checked(c, 0, screen->root, altShift, key, XCB_GRAB_MODE_ASYNC,
                                                      XCB_GRAB_MODE_ASYNC))}) {
        std::fprintf(stderr, "the key is grabbed by another program\n");
        return 3;
    }
    std::printf("%u\n", window);
    std::fflush(stdout);

    bool shown = false;
    while (const std::unique_ptr<xcb_generic_event_t, FreeReply> event{xcb_wait_for_event(c)}) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_KEY_PRESS && reinterpret_cast<const xcb_key_press_event_t&>(*event).detail == key) {
            shown ? xcb_unmap_window(c, window) : xcb_map_window(c, window);
            shown = !shown;
            xcb_flush(c);
        } else if (type == XCB_EXPOSE && reinterpret_cast<const xcb_expose_event_t&>(*event).count == 0) {
            const xcb_rectangle_t whole{0, 0, width, height};
            xcb_poly_fill_rectangle(c, window, gc, 1, &whole);
            xcb_flush(c);
        }
    }
    xcb_disconnect(c);
    return 0;
}
