#pragma once

#include "platform/Screens.h"
#include "runtime/Time.h"
#include "workspaces/Workspace.h"

#include <QCoro/QCoroTask>

#include <functional>

namespace corvane {

class AppState;
class AXWindowService;
class Settings;

// Brings a workspace back: launches, unhides, waits for, matches, places and focuses its windows.
class WorkspaceRestorer {
public:
    struct Result {
        int placed = 0;
        QStringList missingApps;
        int unmatched = 0;
    };
    using Area = std::function<QRectF(const ScreenInfo&)>;

    WorkspaceRestorer(AXWindowService& ax, Settings& settings, Seconds windowTimeout, Area area)
        : m_ax(ax), m_settings(settings), m_windowTimeout(windowTimeout), m_area(std::move(area)) {}

    QCoro::Task<Result> restore(Workspace workspace);
    Seconds windowTimeout() const { return m_windowTimeout; }
    const Area& area() const { return m_area; }

private:
    [[maybe_unused]] AXWindowService& m_ax;
    [[maybe_unused]] Settings& m_settings;
    Seconds m_windowTimeout;
    Area m_area;
};

} // namespace corvane
