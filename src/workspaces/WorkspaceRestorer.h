#pragma once

#include "platform/Screens.h"
#include "runtime/Time.h"
#include "workspaces/Workspace.h"

#include <QCoro/QCoroTask>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace corvane {

class AXWindowService;
class ApplicationLauncher;
class RunningApplications;
class Scheduler;
class Settings;

// The outcome of one restore.
struct RestoreResult {
    int placed = 0;          // windows found and moved (whether or not the program obeyed)
    int launched = 0;        // programs that were not running and were started
    QStringList missingApps; // one entry per program that did not start and per window not found
};

// Brings a workspace back: finds or starts its programs, waits for their windows, matches them to
// the saved items, places them, raises them so that the first item ends in front, and hides the
// other programs when asked.
class WorkspaceRestorer {
public:
    using Result = RestoreResult;
    using Area = std::function<QRectF(const ScreenInfo&)>;

    // What the restorer works with besides the window service and the settings.
    struct Services {
        RunningApplications& applications;
        ApplicationLauncher& launcher;
        const Screens& screens;
        Scheduler& scheduler;
    };

    static constexpr double pollInterval = 0.25;
    static constexpr double settleTime = 1.5;
    static constexpr double raisePause = 0.035;
    static constexpr double secondMoveDelay = 0.7;
    static constexpr double minimumWindowWidth = 80.0;

    WorkspaceRestorer(AXWindowService& ax, Settings& settings, Seconds windowTimeout, Area area,
                      Services services)
        : m_ax(ax), m_settings(settings), m_windowTimeout(windowTimeout), m_area(std::move(area)),
          m_services(services) {}

    QCoro::Task<Result> restore(Workspace workspace);
    // Starts the item's program from its saved path or its desktop-file id; the process id, or
    // none (logged) when it is not installed or did not start.
    std::optional<int32_t> launchApp(const WorkspaceItem& item);

    Seconds windowTimeout() const { return m_windowTimeout; }
    const Area& area() const { return m_area; }

private:
    // One program of the workspace and the processes that may own its windows.
    struct Program {
        QString bundleID;
        std::vector<int32_t> pids;
    };
    // The windows found: each item's window (by item index), and each window's process.
    struct Matched {
        std::map<int, uint32_t> assignment;
        std::map<uint32_t, int32_t> owners;
    };
    struct Placement {
        uint32_t windowID;
        int32_t pid;
        QRectF frame;
    };

    // The phases of a restore, in order.
    std::vector<Program> findOrStartPrograms(const Workspace& workspace, RestoreResult& result);
    QCoro::Task<Matched> waitForWindows(Workspace workspace, std::vector<Program> programs);
    // Places each found window at its layout slot or its saved frame; items whose running program
    // shows no window for them count as missing.
    QCoro::Task<std::vector<Placement>> placeWindows(Workspace workspace, std::vector<Program> programs,
                                                     Matched matched, RestoreResult& result);
    QCoro::Task<void> raiseInOrder(std::vector<Placement> placements);
    void hideOtherPrograms(const Workspace& workspace);

    // The layout's frames on the first item's screen; none without a layout.
    std::vector<QRectF> layoutFrames(const Workspace& workspace) const;
    // The item's saved frame, relative to the area of its screen (else the main screen).
    QRectF savedFrame(const WorkspaceItem& item) const;

    AXWindowService& m_ax;
    Settings& m_settings;
    Seconds m_windowTimeout;
    Area m_area;
    Services m_services;
};

} // namespace corvane
