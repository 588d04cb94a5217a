#pragma once

#include "core/FloatingPanel.h"

namespace corvane {

// The strip's window: a floating panel that takes clicks and pointer moves but never focus.
class SidebarPanel : public FloatingPanel {
    Q_OBJECT
public:
    // The strip floats above ordinary windows; the hover card stands one level higher.
    static constexpr int level = 3;

    // Without a compositing manager its window has no alpha channel: the window manager takes
    // such a window in faster at each showing (Alt+Tab's above all), and it would show opaque
    // anyway.
    explicit SidebarPanel(PanelWindowing& windowing)
        : FloatingPanel(windowing, QRect(0, 0, 100, 100), level, false, false,
                        Surface::translucentWhenComposited) {}
};

} // namespace corvane
