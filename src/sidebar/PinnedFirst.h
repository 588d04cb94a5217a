#pragma once

#include "windows/WindowInfo.h"

#include <vector>

namespace corvane {

class Settings;

// Every pinned window, in input order, then the other windows up to `limit` in all. Pinned
// windows are never dropped, even past the limit; a limit of 0 or less keeps only them.
std::vector<WindowInfo> pinnedFirst(const std::vector<WindowInfo>& windows, long long limit);

// What the strip and the switcher list: `pinnedFirst` up to `maxVisible` as stored. The settings
// page offers only 3 to 25, but a count written there by hand is taken as it is: 0 or less lists
// the pinned windows alone, and a large one as many windows as there are (the strip's controller
// caps its height at the screen's).
std::vector<WindowInfo> shownWindows(const std::vector<WindowInfo>& windows, const Settings& settings);

} // namespace corvane
