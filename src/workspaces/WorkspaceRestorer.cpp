#include "workspaces/WorkspaceRestorer.h"

#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "platform/Accessibility.h"
#include "platform/ApplicationLauncher.h"
#include "platform/RunningApplications.h"
#include "runtime/Log.h"
#include "runtime/Scheduler.h"
#include "snapping/LayoutFrames.h"
#include "windows/AXWindowService.h"
#include "windows/WindowMatching.h"

#include <QDir>
#include <QFileInfo>

#include <map>
#include <set>

namespace corvane {

namespace {

QString displayName(const WorkspaceItem& item) {
    return item.appName.value_or(item.bundleID);
}

QString expandTilde(const QString& path) {
    if (path == QStringLiteral("~"))
        return QDir::homePath();
    if (path.startsWith(QStringLiteral("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

bool isEligible(const AXWindowSnapshot& snapshot) {
    const bool kind = !snapshot.subrole || *snapshot.subrole == axStandardWindowSubrole ||
                      *snapshot.subrole == axDialogSubrole;
    return kind && snapshot.frame.width() >= WorkspaceRestorer::minimumWindowWidth;
}

// The running processes of the program with that id. Here one program may run as several
// processes (one per window, as terminals often do), and all of them own its windows.
std::vector<int32_t> runningPids(RunningApplications& applications, const QString& bundleID) {
    std::vector<int32_t> pids;
    for (const RunningApplication& app : applications.runningApplications())
        if (app.bundleID == bundleID)
            pids.push_back(app.pid);
    return pids;
}

} // namespace

std::optional<int32_t> WorkspaceRestorer::launchApp(const WorkspaceItem& item) {
    ApplicationLauncher& launcher = m_services.launcher;
    const auto location = launcher.locate(item.bundleID, item.appPath);
    if (!location) {
        qCCritical(lcWorkspaces, "App not installed: %s", qUtf8Printable(item.bundleID));
        return std::nullopt;
    }
    const QStringList input = item.launchArgs.value_or(QStringList());
    QStringList documents, documentEntries, arguments;
    for (const QString& entry : input) {
        const QString expanded = expandTilde(entry);
        if (QFileInfo::exists(expanded)) {
            documents.push_back(expanded);
            documentEntries.push_back(entry);
        }
    }
    for (const QString& entry : input)
        if (!documentEntries.contains(entry))
            arguments.push_back(entry);

    const ApplicationLauncher::Outcome outcome = launcher.launch(*location, documents, arguments);
    if (!outcome.pid) {
        qCCritical(lcWorkspaces, "Launch failed for %s: %s", qUtf8Printable(item.bundleID),
                   qUtf8Printable(outcome.error));
        return std::nullopt;
    }
    return outcome.pid;
}

QCoro::Task<RestoreResult> WorkspaceRestorer::restore(Workspace workspace) {
    RestoreResult result;
    if (workspace.items.empty())
        co_return result;

    const std::vector<Program> programs = findOrStartPrograms(workspace, result);
    const Matched matched = co_await waitForWindows(workspace, programs);
    const std::vector<Placement> placements = co_await placeWindows(workspace, programs, matched, result);
    co_await raiseInOrder(placements);
    if (m_settings.hideOthersOnRestore())
        hideOtherPrograms(workspace);

    // Programs that were just started may still place their windows themselves: move them again.
    if (result.launched > 0) {
        co_await m_services.scheduler.sleep(Seconds(secondMoveDelay));
        for (const Placement& placement : placements)
            co_await m_ax.setFrame(placement.pid, placement.windowID, placement.frame);
    }

    result.placed = static_cast<int>(placements.size());
    co_return result;
}

std::vector<WorkspaceRestorer::Program> WorkspaceRestorer::findOrStartPrograms(const Workspace& workspace,
                                                                               RestoreResult& result) {
    // Each program once, in the order its items first appear. A program that runs is never
    // started a second time.
    std::vector<Program> programs;
    std::set<QString> seen;
    for (const WorkspaceItem& item : workspace.items) {
        if (!seen.insert(item.bundleID).second)
            continue;
        if (std::vector<int32_t> running = runningPids(m_services.applications, item.bundleID);
            !running.empty()) {
            programs.push_back({item.bundleID, std::move(running)});
            continue;
        }
        if (const auto launchedPid = launchApp(item)) {
            programs.push_back({item.bundleID, {*launchedPid}});
            ++result.launched;
        } else {
            result.missingApps.push_back(displayName(item));
        }
    }
    return programs;
}

QCoro::Task<WorkspaceRestorer::Matched> WorkspaceRestorer::waitForWindows(Workspace workspace,
                                                                          std::vector<Program> programs) {
    RunningApplications& applications = m_services.applications;
    Scheduler& scheduler = m_services.scheduler;
    std::vector<MatchRequest> requests;
    for (const WorkspaceItem& item : workspace.items)
        requests.push_back({item.bundleID, item.titleContains});

    // Until every item has a window, or every program shows a number of windows that did not
    // change between two polls after the settle time, or the timeout.
    const Instant start = scheduler.now();
    const Instant deadline = start + toInstant(m_windowTimeout);
    std::optional<size_t> previousCount;
    std::set<QString> reopened;
    Matched matched;
    while (true) {
        std::vector<MatchCandidate> candidates;
        std::set<QString> withWindows;
        for (Program& program : programs) {
            // The process that was started may not be the one that shows the windows (a wrapper,
            // or a program that hands over to its running instance): follow the id as well.
            for (int32_t pid : runningPids(applications, program.bundleID))
                if (std::find(program.pids.begin(), program.pids.end(), pid) == program.pids.end())
                    program.pids.push_back(pid);
            for (const int32_t pid : program.pids) {
                auto read = [this, pid] { return m_ax.windowSnapshots(pid); };
                const std::vector<AXWindowSnapshot> snapshots = co_await m_ax.run(read);
                for (const AXWindowSnapshot& snapshot : snapshots) {
                    if (!isEligible(snapshot))
                        continue;
                    candidates.push_back({snapshot.windowID, program.bundleID, snapshot.title});
                    matched.owners[snapshot.windowID] = pid;
                    withWindows.insert(program.bundleID);
                }
            }
        }
        matched.assignment = matchWindows(requests, candidates);
        if (matched.assignment.size() == workspace.items.size())
            break;
        const bool everyProgramShows = withWindows.size() == programs.size();
        if (everyProgramShows && previousCount == candidates.size() &&
            scheduler.now() - start > toInstant(Seconds(settleTime)))
            break;
        previousCount = candidates.size();

        // A program without a window is asked once to show its windows again. Starting it again
        // would start a second instance here, so this only undoes a hide.
        for (const Program& program : programs) {
            if (withWindows.contains(program.bundleID) || reopened.contains(program.bundleID))
                continue;
            reopened.insert(program.bundleID);
            for (int32_t pid : program.pids)
                applications.unhide(pid);
        }

        co_await scheduler.sleep(Seconds(pollInterval));
        if (scheduler.now() >= deadline)
            break;
    }
    co_return matched;
}

std::vector<QRectF> WorkspaceRestorer::layoutFrames(const Workspace& workspace) const {
    // One slot per item, found or not.
    if (!workspace.layout)
        return {};
    std::optional<ScreenInfo> screen =
        screenWithIdentifier(m_services.screens, workspace.items.front().screenID);
    if (!screen)
        screen = screenUnderMouse(m_services.screens);
    const QRectF rect = screen ? m_area(*screen) : QRectF();
    return frames(*workspace.layout, static_cast<int>(workspace.items.size()), rect, m_settings.layoutGap());
}

QRectF WorkspaceRestorer::savedFrame(const WorkspaceItem& item) const {
    std::optional<ScreenInfo> screen = screenWithIdentifier(m_services.screens, item.screenID);
    if (!screen)
        screen = m_services.screens.mainScreen();
    const QRectF a = screen ? m_area(*screen) : QRectF();
    const QRectF r = item.relativeFrame;
    // A fraction taken of a whole number of pixels gives it back only to within rounding (908 of
    // 1808 comes back as 907.99999999999997): such an edge is the pixel it was, or the integral
    // rectangle would put the window a pixel left of where it was saved and a pixel wider.
    const auto pixel = [](double value) {
        const double whole = std::round(value);
        return std::abs(value - whole) < 1e-6 ? whole : value;
    };
    const double left = pixel(a.x() + r.x() * a.width());
    const double top = pixel(a.y() + r.y() * a.height());
    const double right = pixel(a.x() + r.x() * a.width() + r.width() * a.width());
    const double bottom = pixel(a.y() + r.y() * a.height() + r.height() * a.height());
    return QRectF(QPointF(left, top), QPointF(right, bottom)).toAlignedRect();
}

QCoro::Task<std::vector<WorkspaceRestorer::Placement>>
WorkspaceRestorer::placeWindows(Workspace workspace, std::vector<Program> programs, Matched matched,
                                RestoreResult& result) {
    RunningApplications& applications = m_services.applications;
    const auto isRunning = [&programs](const QString& bundleID) {
        return std::any_of(programs.begin(), programs.end(),
                           [&](const Program& program) { return program.bundleID == bundleID; });
    };
    const std::vector<QRectF> fromLayout = layoutFrames(workspace);
    std::vector<Placement> placements;
    for (size_t k = 0; k < workspace.items.size(); ++k) {
        const WorkspaceItem& item = workspace.items[k];
        const auto assigned = matched.assignment.find(static_cast<int>(k));
        const auto owner = assigned == matched.assignment.end() ? matched.owners.end()
                                                                : matched.owners.find(assigned->second);
        if (owner == matched.owners.end()) {
            if (isRunning(item.bundleID))
                result.missingApps.push_back(displayName(item));
            continue;
        }
        const QRectF frame = k < fromLayout.size() ? fromLayout[k] : savedFrame(item);
        const uint32_t windowID = owner->first;
        const int32_t pid = owner->second;
        if (const auto app = applications.application(pid); app && app->isHidden)
            applications.unhide(pid);
        co_await m_ax.setFrame(pid, windowID, frame);
        placements.push_back({windowID, pid, frame});
    }
    co_return placements;
}

QCoro::Task<void> WorkspaceRestorer::raiseInOrder(std::vector<Placement> placements) {
    // From the last to the first, so that the first item's window ends in front.
    RunningApplications& applications = m_services.applications;
    for (auto it = placements.rbegin(); it != placements.rend(); ++it) {
        const Placement placement = *it;
        if (placement.pid != m_ax.ownPID()) {
            if (const auto app = applications.application(placement.pid)) {
                if (app->isHidden)
                    applications.unhide(placement.pid);
                auto raise = [this, placement] { return m_ax.raise(placement.pid, placement.windowID); };
                const AXWindowService::RaiseResult raised = co_await m_ax.run(raise);
                if (raised.found && !raised.fronted)
                    applications.activate(placement.pid);
            }
        }
        co_await m_services.scheduler.sleep(Seconds(raisePause));
    }
}

void WorkspaceRestorer::hideOtherPrograms(const Workspace& workspace) {
    std::set<QString> keep;
    for (const WorkspaceItem& item : workspace.items)
        keep.insert(item.bundleID);
    for (const RunningApplication& app : m_services.applications.runningApplications()) {
        if (!app.regular || app.pid == m_ax.ownPID())
            continue;
        if (keep.contains(app.bundleID.value_or(QString())))
            continue;
        m_services.applications.hide(app.pid);
    }
}

} // namespace corvane
