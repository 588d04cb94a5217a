#pragma once

#include "platform/Screens.h"

#include <QRect>
#include <QRectF>

#include <optional>
#include <vector>

namespace corvane {

// Where a display's camera notch is, in the product's coordinates: the gap between the two usable
// areas of its top edge, as deep as the band the notch cuts. None without a notch.
std::optional<QRectF> notchRect(const ScreenInfo& screen);
// The first screen of the list with a notch.
std::optional<ScreenInfo> notchScreen(const std::vector<ScreenInfo>& screens);
// What the heads-up display hangs from on a screen without a notch: an 80-point band centred at
// the top, as deep as the top panel (at least 24 points).
QRectF fallbackBand(const ScreenInfo& screen);
// A notch panel's frame in whole pixels, each edge rounded to the nearest.
QRect pixelRect(const QRectF& rect);

} // namespace corvane
