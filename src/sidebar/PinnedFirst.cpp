#include "sidebar/PinnedFirst.h"

#include "core/Settings.h"

namespace corvane {

std::vector<WindowInfo> pinnedFirst(const std::vector<WindowInfo>& windows, long long limit) {
    std::vector<WindowInfo> result;
    std::vector<const WindowInfo*> others;
    for (const WindowInfo& window : windows) {
        if (window.isPinned)
            result.push_back(window);
        else
            others.push_back(&window);
    }
    const long long room = limit - static_cast<long long>(result.size());
    for (long long i = 0; i < room && i < static_cast<long long>(others.size()); ++i)
        result.push_back(*others[static_cast<size_t>(i)]);
    return result;
}

std::vector<WindowInfo> shownWindows(const std::vector<WindowInfo>& windows, const Settings& settings) {
    return pinnedFirst(windows, settings.maxVisible());
}

} // namespace corvane
