#pragma once

#include "windows/WindowInfo.h"

#include <vector>

namespace corvane {

// Every pinned window, in input order, then the other windows up to `limit` in all. Pinned
// windows are never dropped, even past the limit; a limit of 0 or less keeps only them.
std::vector<WindowInfo> pinnedFirst(const std::vector<WindowInfo>& windows, long long limit);

} // namespace corvane
