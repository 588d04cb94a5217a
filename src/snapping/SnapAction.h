#pragma once

#include "core/RawValueEnum.h"

#include <QRectF>

#include <optional>

namespace corvane {

// Where a snap puts a window inside a screen's usable area. "Top" means the smallest y.
// The order is significant: the snap wheel's centre actions are the last three cases.
enum class SnapAction {
    leftHalf,
    rightHalf,
    topHalf,
    bottomHalf,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight,
    leftThird,
    centerThird,
    rightThird,
    leftTwoThirds,
    rightTwoThirds,
    maximize,
    almostMaximize,
    center,
};

template <> struct EnumCases<SnapAction> {
    static constexpr std::array<std::pair<SnapAction, std::string_view>, 16> cases{{
        {SnapAction::leftHalf, "leftHalf"},
        {SnapAction::rightHalf, "rightHalf"},
        {SnapAction::topHalf, "topHalf"},
        {SnapAction::bottomHalf, "bottomHalf"},
        {SnapAction::topLeft, "topLeft"},
        {SnapAction::topRight, "topRight"},
        {SnapAction::bottomLeft, "bottomLeft"},
        {SnapAction::bottomRight, "bottomRight"},
        {SnapAction::leftThird, "leftThird"},
        {SnapAction::centerThird, "centerThird"},
        {SnapAction::rightThird, "rightThird"},
        {SnapAction::leftTwoThirds, "leftTwoThirds"},
        {SnapAction::rightTwoThirds, "rightTwoThirds"},
        {SnapAction::maximize, "maximize"},
        {SnapAction::almostMaximize, "almostMaximize"},
        {SnapAction::center, "center"},
    }};
};

// The frame, on whole points, that `action` gives a window in `area` with `gap` points at the area's
// edges and between neighbouring frames. `almostMaximize` ignores the gap (90 % of the area, centred).
// Only `center` reads `current`: the window keeps its size as far as it fits in the inset area.
QRectF frame(SnapAction action, const QRectF& area, double gap, std::optional<QRectF> current = std::nullopt);

// Whether two frames are the same for cycling: no side more than a few points apart.
bool matchesWithinTolerance(const QRectF& a, const QRectF& b);

// The action to apply instead of `action` when sizes cycle on repeat: a window already at the left
// (right) half, two thirds or third steps to the next size, half -> two thirds -> third -> half.
// Every other action, a window elsewhere, or no current frame gives `action` itself.
SnapAction cycled(SnapAction action, std::optional<QRectF> current, const QRectF& area, double gap);

} // namespace corvane
