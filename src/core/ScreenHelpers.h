#pragma once

#include "platform/Screens.h"

#include <QMargins>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

namespace corvane {

// Whether `point` lies in `rect`, counting the left and top edges in and the right and bottom
// edges out, so that a point on the border between two screens belongs to exactly one.
bool pointInRect(QPointF point, const QRectF& rect);

// The screen's visible frame in the product's coordinate space (which is already top-left).
QRectF topLeftVisibleFrame(const ScreenInfo& screen);

// The first screen whose frame holds the pointer; else the main screen, which may be none. The
// only screen there is, wherever the pointer is.
std::optional<ScreenInfo> screenUnderMouse(const Screens& screens);

// The screen that holds the larger part of `rect` (ties keep the earlier screen in the list);
// for a rectangle that covers no screen area, the screen holding its centre; else the main
// screen. The pointer plays no part.
std::optional<ScreenInfo> screenForRect(const Screens& screens, const QRectF& rect);
// The same, but a rectangle on no screen at all (a window moved off every screen) goes to the
// screen under the pointer before the main screen: the strip and the workspaces take such a
// window to be where the user is.
std::optional<ScreenInfo> screenForRectNearPointer(const Screens& screens, const QRectF& rect);
// The same as `screenForRect`, on screens read earlier: callable off the main thread.
std::optional<ScreenInfo> screenForRect(const std::vector<ScreenInfo>& list,
                                        const std::optional<ScreenInfo>& mainScreen, const QRectF& rect);

std::optional<uint32_t> displayID(const ScreenInfo& screen);

// The identifier a display is stored under: its UUID where it has one, else its name.
QString displayUUID(const ScreenInfo& screen);

// The screen a stored identifier names: by UUID-or-name first, then by name alone, so that an
// identifier stored as a name still finds a display that has since reported a UUID.
std::optional<ScreenInfo> screenWithIdentifier(const Screens& screens,
                                               const std::optional<QString>& identifier);

// Two screens are the same display when both have a display number and the numbers are equal;
// when either has none, when their frames are equal.
bool isSameScreen(const ScreenInfo& a, const ScreenInfo& b);

// Moves `window` to the middle of the visible frame of the screen under the pointer, lifted by
// 8 % of that frame's height so that it reads as centred to the eye. Its size stays. It is
// centred by its frame, as the user sees it: the one the window manager drew around it, or, for
// a window not shown yet, `expectedFrame`, the one the window manager said it will draw.
void centerOnMouseScreen(const Screens& screens, QWidget& window, const QMargins& expectedFrame = {});

} // namespace corvane
