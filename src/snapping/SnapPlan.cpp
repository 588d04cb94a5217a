#include "snapping/SnapPlan.h"

#include "core/ScreenHelpers.h"

namespace corvane {

QRectF judgedFrame(const std::map<uint32_t, PlacementRecord>& placements, std::optional<uint32_t> windowID,
                   const QRectF& frame) {
    if (!windowID)
        return frame;
    const auto found = placements.find(*windowID);
    if (found == placements.end() || !found->second.settled)
        return frame;
    return matchesWithinTolerance(*found->second.settled, frame) ? found->second.asked : frame;
}

std::optional<QRectF> SnapPlan::frameFor(SnapAction action, std::optional<uint32_t> windowID,
                                         const QRectF& current) const {
    const std::optional<ScreenInfo> screen = screenForRect(screens, mainScreen, current);
    if (!screen)
        return std::nullopt;
    QRectF area = mainUsableFrame;
    for (size_t i = 0; i < screens.size() && i < usableFrames.size(); ++i) {
        if (screens[i] == *screen) {
            area = usableFrames[i];
            break;
        }
    }
    if (cycle)
        action = cycled(action, judgedFrame(placements, windowID, current), area, gap);
    return frame(action, area, gap, current);
}

} // namespace corvane
