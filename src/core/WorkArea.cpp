#include "core/WorkArea.h"

#include "core/ScreenHelpers.h"
#include "core/Settings.h"

#include <algorithm>

namespace corvane {

QRectF WorkArea::usableFrame(const ScreenInfo& screen) const {
    QRectF area = topLeftVisibleFrame(screen);
    if (!m_reservation || !m_settings.reserveSidebarSpace())
        return area;
    const Reservation reserved = m_reservation();
    if (reserved.width > 0 && reserved.screen && isSameScreen(*reserved.screen, screen)) {
        // Never hand out a negative width, whatever the panel asks for.
        const double kept = std::min(reserved.width, area.width());
        area.setWidth(area.width() - kept);
        if (m_settings.sidebarEdge() == SidebarEdge::left)
            area.translate(kept, 0);
    }
    return area;
}

} // namespace corvane
