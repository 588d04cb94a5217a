#pragma once

#include <cstdint>

namespace corvane {

// One desktop of a display, as the strip shows it: a numbered chip.
struct SpaceInfo {
    // Stable while the desktop exists: its position in the window manager's list plus one, since
    // the window manager names desktops by position only.
    uint64_t id = 0;
    int index = 0; // from 1; the number shown
    bool isFullscreen = false;
    bool operator==(const SpaceInfo&) const = default;
};

} // namespace corvane
