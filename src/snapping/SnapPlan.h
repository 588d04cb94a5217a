#pragma once

#include "platform/Screens.h"
#include "snapping/SnapAction.h"

#include <QRectF>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace corvane {

// Our latest placement of a window: the frame asked for and, once read back, the frame the window
// settled at.
struct PlacementRecord {
    QRectF asked;
    std::optional<QRectF> settled;
};

// The frame cycling judges: the frame asked for while the window still stands where it settled
// after our last placement, else the frame as it is.
QRectF judgedFrame(const std::map<uint32_t, PlacementRecord>& placements, std::optional<uint32_t> windowID,
                   const QRectF& frame);

// Everything a snap goes by besides the window itself, taken on the main thread so that the frame
// can be worked out on the window queue the moment the window is read.
struct SnapPlan {
    std::vector<ScreenInfo> screens;
    std::vector<QRectF> usableFrames; // one per screen
    std::optional<ScreenInfo> mainScreen;
    QRectF mainUsableFrame;
    double gap = 0;
    bool cycle = false;
    std::map<uint32_t, PlacementRecord> placements;

    // Where `action` puts a window that stands at `current`; none when no screen is known.
    std::optional<QRectF> frameFor(SnapAction action, std::optional<uint32_t> windowID,
                                   const QRectF& current) const;
};

} // namespace corvane
