#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::testing {

// Questions asked of the virtual desktop's X server directly, to check the product's answers
// against the server's own.

// The geometry of the window manager's frame around `client`: the client's ancestor that is a
// child of the root.
QRect serverFrame(xcb_window_t client);
// The window's bounding shape as the server holds it, in the window's own coordinates (its whole
// rectangle where it has no shape).
QRegion serverShape(xcb_window_t window);
// The outer frame as the client's own geometry gives it: its area in root coordinates plus the
// window manager's _NET_FRAME_EXTENTS. Equal to `serverFrame` once the window manager has
// configured both the frame and the client.
QRect serverClientFrame(xcb_window_t client);
// A format-32 property of a window (its first 65536 items); empty when unset.
std::vector<uint32_t> windowProperty(xcb_window_t window, const char* name);
// "(x,y wxh)", for failure messages.
QString describe(const QRect& r);
// Waits until the window manager's frame around `client` stands on `expected`; a test failure
// naming both frames when it does not within `waitMs`.
bool serverFrameLandsOn(xcb_window_t client, const QRect& expected, int waitMs = 5000);
// Waits until the window manager shows `client` in its frame (WM_STATE normal): the client list
// names a window before its frame, which starts out 1x1 at the origin, is placed and mapped.
bool waitUntilFramed(xcb_window_t client, int waitMs = 5000);
bool hasState(xcb_window_t window, const char* state);
bool isClient(xcb_window_t window);
// Whether `window` is off the screen: unmapped, and let go of by the window manager, whose frame
// stays on the screen where the window was until it gets to the unmap (on a loaded machine a
// while).
bool isWithdrawn(xcb_window_t window);
uint32_t activeWindow();
// Whether another client could take the key with `modifiers` (any, by default): a trial grab on
// the root window, given back at once; false while some program holds it.
bool isFreeOnServer(xcb_keycode_t keycode, uint16_t modifiers = XCB_MOD_MASK_ANY);
// Asks the window manager for a change about `window` (the root for desktop-wide ones) the way a
// pager does, through the desktop's own connection.
void askWindowManager(xcb_window_t window, const char* message, std::vector<uint32_t> data);
// The root-coordinate areas of the mapped windows whose WM_CLASS contains `windowClass` and that
// another program has taken into its own window (as a tray host embeds its icons).
std::vector<QRect> embeddedWindows(const QString& windowClass);
// The pixels of `window` (the root: the whole screen) as the server holds them, or of its upper
// `rows` only; null when the window is gone or not viewable, or (the server gives no picture of
// that) reaches past the screen's edge in the part asked for.
QImage serverPicture(xcb_window_t window, int rows = -1);
// Waits until the program has drawn into `window`: its pixels are no longer of one colour.
bool waitUntilDrawn(xcb_window_t window, int waitMs = 5000);
// Whether another client could take the whole keyboard now (none holds it).
bool isKeyboardFree();
// Where `window` stands in the window manager's stacking list, bottom first; past its end when
// it is not listed.
std::ptrdiff_t stackIndex(xcb_window_t window);

} // namespace corvane::testing
