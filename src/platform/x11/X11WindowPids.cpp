#include "platform/x11/X11WindowPids.h"

#include "platform/x11/X11WindowFacts.h"

#include <QSet>

namespace corvane {

std::vector<int32_t> X11WindowPids::pidsOf(X11Connection& connection,
                                           const std::vector<xcb_window_t>& windows) {
    std::vector<int32_t> pids(windows.size(), 0);
    std::vector<xcb_window_t> unknown;
    std::vector<size_t> unknownAt;
    for (size_t i = 0; i < windows.size(); ++i) {
        if (const auto known = m_pids.constFind(windows[i]); known != m_pids.constEnd()) {
            pids[i] = *known;
        } else {
            unknown.push_back(windows[i]);
            unknownAt.push_back(i);
        }
    }
    if (unknown.empty())
        return pids;
    const std::vector<int32_t> asked = readWindowPids(connection, unknown);
    for (size_t k = 0; k < unknown.size(); ++k) {
        pids[unknownAt[k]] = asked[k];
        if (asked[k] > 0)
            m_pids.insert(unknown[k], asked[k]);
    }
    return pids;
}

void X11WindowPids::keepOnly(const std::vector<xcb_window_t>& listed) {
    const QSet<xcb_window_t> kept(listed.begin(), listed.end());
    m_pids.removeIf(
        [&](QHash<xcb_window_t, int32_t>::iterator entry) { return !kept.contains(entry.key()); });
}

} // namespace corvane
