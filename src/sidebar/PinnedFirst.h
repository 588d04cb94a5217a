#pragma once

#include "windows/WindowInfo.h"

#include <vector>

namespace corvane {

class Settings;

// Every pinned window, in input order, then the other windows up to `limit` in all. Pinned
// windows are never dropped, even past the limit; a limit of 0 or less keeps only them.
std::vector<WindowInfo> pinnedFirst(const std::vector<WindowInfo>& windows, long long limit);

// What the strip and the switcher list: `pinnedFirst` up to `maxVisible`, taken within the range
// the settings offer (a hand-edited count outside it lists the nearer end).
std::vector<WindowInfo> shownWindows(const std::vector<WindowInfo>& windows, const Settings& settings);

} // namespace corvane
