// The actions of AppState that span several features: focusing, minimising and closing windows,
// the usable area of a screen, the file panel beside the strip, and saving and restoring
// workspaces with a toast that reports the outcome.
#include "app/AppState.h"

#include "ShortcutKit/AppShortcuts.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "core/ToastController.h"
#include "core/WorkArea.h"
#include "settings/SettingsWindowController.h"
#include "shelf/FileShelf.h"
#include "shelf/FileShelfController.h"
#include "sidebar/SidebarController.h"
#include "snapping/SnapController.h"
#include "windows/AXWindowService.h"
#include "windows/ThumbnailService.h"
#include "windows/WindowMatching.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"
#include "workspaces/WorkspaceRestorer.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace corvane {

namespace {
const QString warningSymbol = QStringLiteral("exclamationmark.triangle.fill");
const QString workspaceSymbol = QStringLiteral("square.stack.3d.up.fill");

// A change the workspaces file will not keep is never announced as kept: says so instead and
// answers true.
bool toldSavesRefused(const WorkspaceManager& workspaces, ToastController& toast) {
    if (!workspaces.savesRefused())
        return false;
    toast.show(WorkspaceManager::savesRefusedMessage(), warningSymbol);
    return true;
}

QString quoted(const QString& name) {
    return QStringLiteral("\u201C") + name + QStringLiteral("\u201D");
}

// A change the user is about to be told of is written at once: only one that landed is
// announced; one that did not is named with the reason (the list keeps it and tries again).
bool toldSaveFailed(WorkspaceManager& workspaces, ToastController& toast, const QString& name) {
    const auto error = workspaces.saveAtOnce();
    if (!error)
        return false;
    toast.show(QStringLiteral("Could not save ") + quoted(name) + QStringLiteral(": ") + *error,
               warningSymbol);
    return true;
}
} // namespace

std::vector<QString> distinctAppNames(const std::vector<WindowInfo>& windows) {
    std::vector<QString> names;
    for (const WindowInfo& window : windows) {
        if (window.appName.isEmpty())
            continue;
        if (std::find(names.begin(), names.end(), window.appName) == names.end())
            names.push_back(window.appName);
    }
    return names;
}

QRectF AppState::usableFrame(const ScreenInfo& screen) {
    return m_workArea->usableFrame(screen);
}

void AppState::openSettings() {
    settingsWindow().show(SettingsTab::keep);
}

void AppState::openWorkspaceSettings(const QUuid& workspace) {
    settingsWindow().show(SettingsTab::workspaces, workspace);
}

void AppState::focusWindow(const WindowInfo& window) {
    sidebar().hoverTask().cancel();
    sidebar().preview().hide();
    m_thumbnails->clearHover();
    m_windows->setActivation(window.windowID, scheduler().wallNow());
    m_windows->rebuildVisible();
    raiseAndActivate(window);
}

QCoro::Task<void> AppState::raiseAndActivate(WindowInfo window) {
    RunningApplications& apps = *m_platform.runningApplications;
    AXWindowService& ax = AXWindowService::shared();
    if (window.pid == ax.ownPID()) {
        m_platform.host->activate();
        refreshWindows(false);
        co_return;
    }
    const auto app = apps.application(window.pid);
    if (!app) {
        apps.activate(window.pid);
        refreshWindows(false);
        co_return;
    }
    if (app->isHidden)
        apps.unhide(window.pid);

    const int32_t pid = window.pid;
    const uint32_t windowID = window.windowID;
    // The state can go while the queue works (at quit): nothing is touched after that.
    QPointer<AppState> self(this);
    auto raiseOnQueue = [&ax, pid, windowID] { return ax.raise(pid, windowID); };
    const AXWindowService::RaiseResult raised = co_await ax.run(raiseOnQueue);
    if (!self)
        co_return;
    if (!(raised.found && raised.fronted))
        apps.activate(pid);
    refreshWindows(false);
}

QCoro::Task<void> AppState::setMinimized(WindowInfo window) {
    QPointer<AppState> self(this);
    co_await AXWindowService::shared().setMinimized(!window.isMinimized, window.windowID, window.pid);
    if (!self)
        co_return;
    refreshWindows(true);
}

QCoro::Task<void> AppState::closeWindow(WindowInfo window) {
    QPointer<AppState> self(this);
    co_await AXWindowService::shared().close(window.windowID, window.pid);
    if (!self)
        co_return;
    // Give the program a moment to take the window down before the list is read again.
    co_await scheduler().sleep(Seconds(0.15));
    if (!self)
        co_return;
    refreshWindows(true);
}

std::vector<ShelfSource> AppState::shelfSources() {
    return corvane::shelfSources(m_settings, *m_files);
}

void AppState::showShelfPanel(const ShelfSource& source) {
    SidebarController& strip = sidebar();
    std::optional<ScreenInfo> screen = strip.currentScreen();
    if (!screen)
        screen = m_platform.screens->mainScreen();
    if (!screen || !strip.panel())
        return;

    const QRectF stripFrame = strip.panel()->frame();
    const QRectF visible = topLeftVisibleFrame(*screen);
    const double pointerY = m_platform.screens->pointerLocation().y();
    constexpr double width = 260, height = 360, spacing = 8, lift = 40;
    const bool rightEdge = m_settings.sidebarEdge() == SidebarEdge::right;

    const double x = rightEdge ? stripFrame.left() - spacing - width : stripFrame.right() + spacing;
    // The panel's top sits a little above the pointer, kept clear of the visible frame's bottom,
    // then of its top: on a screen too short for both, the top wins.
    double top = pointerY - lift;
    top = std::min(top, visible.bottom() - spacing - height);
    top = std::max(top, visible.top() + spacing);

    const QRectF frame(std::floor(x), std::floor(top), width, height);
    shelf().present(source, frame, rightEdge ? 6 : -6);
}

QCoro::Task<std::vector<WindowInfo>> AppState::currentScreenWindows() {
    co_await m_windows->refresh(true);
    std::vector<WindowInfo> windows;
    for (const WindowInfo& window : m_windows->allWindows()) {
        if (!window.isMinimized && !window.isAppHidden)
            windows.push_back(window);
    }
    std::stable_sort(windows.begin(), windows.end(), [](const WindowInfo& a, const WindowInfo& b) {
        return a.lastActivated > b.lastActivated;
    });

    const Screens& screens = *m_platform.screens;
    const auto pointerScreen = screenUnderMouse(screens);
    if (!pointerScreen)
        co_return windows;
    std::vector<WindowInfo> onScreen;
    for (const WindowInfo& window : windows) {
        const auto screen = screenForRect(screens, window.frame);
        if (screen && isSameScreen(*screen, *pointerScreen))
            onScreen.push_back(window);
    }
    co_return onScreen.empty() ? windows : onScreen;
}

QCoro::Task<void> AppState::saveCurrentWindows() {
    const std::vector<WindowInfo> windows = co_await currentScreenWindows();
    saveWorkspace(windows);
}

void AppState::saveWorkspace(const std::vector<WindowInfo>& windows) {
    std::vector<WorkspaceItem> items = m_workspaces->captureCurrentWindows(windows, captureContext());
    if (items.empty()) {
        m_toast->show(QStringLiteral("No windows to save"), warningSymbol);
        return;
    }
    const auto saved = static_cast<int>(m_workspaces->workspaces().size());
    // Named from the windows that were kept: a window with no program identity is not saved,
    // so it must not lend its program's name to the workspace either.
    std::vector<WindowInfo> kept;
    std::copy_if(windows.begin(), windows.end(), std::back_inserter(kept),
                 [](const WindowInfo& window) { return window.bundleID.has_value(); });
    const std::vector<QString> names = distinctAppNames(kept);
    QString name;
    if (!names.empty()) {
        name = names[0];
        if (names.size() > 1)
            name += QStringLiteral(" + ") + names[1];
        if (names.size() > 2)
            name += QStringLiteral(" +") + QString::number(names.size() - 2);
    } else {
        name = QStringLiteral("Workspace ") + QString::number(saved + 1);
    }

    Workspace workspace;
    workspace.id = QUuid::createUuid();
    workspace.name = name;
    workspace.colorHex = workspacePalette()[static_cast<size_t>(saved % 9)];
    workspace.hotkeyIndex = m_workspaces->nextFreeHotkeyIndex();
    workspace.items = std::move(items);
    m_workspaces->add(workspace);
    if (toldSavesRefused(*m_workspaces, *m_toast) || toldSaveFailed(*m_workspaces, *m_toast, name))
        return;

    QString message = QStringLiteral("Saved ") + quoted(name);
    if (workspace.hotkeyIndex) {
        if (auto shortcut = workspaceShortcutText(*m_shortcuts, *workspace.hotkeyIndex))
            message += QStringLiteral(" \u2014 ") + *shortcut;
    }
    m_toast->show(message, workspaceSymbol);
}

void AppState::applyLayout(LayoutPreset preset) {
    snap().tileScreen(preset);
}

void AppState::saveWindowsAsWorkspace() {
    saveCurrentWindows();
}

void AppState::updateWorkspaceFromWindows(const QUuid& id) {
    updateWorkspace(id);
}

QCoro::Task<void> AppState::updateWorkspace(QUuid id) {
    if (!m_workspaces->workspace(id))
        co_return;
    const std::vector<WindowInfo> windows = co_await currentScreenWindows();
    // The workspace may have been deleted while the list was read.
    auto workspace = m_workspaces->workspace(id);
    if (!workspace)
        co_return;
    workspace->items = m_workspaces->captureCurrentWindows(windows, captureContext());
    m_workspaces->update(*workspace);
    if (toldSavesRefused(*m_workspaces, *m_toast) || toldSaveFailed(*m_workspaces, *m_toast, workspace->name))
        co_return;
    m_toast->show(QStringLiteral("Updated ") + quoted(workspace->name),
                  QStringLiteral("arrow.triangle.2.circlepath"));
}

void AppState::addWindowToWorkspace(uint32_t windowID, const QUuid& workspaceID) {
    auto workspace = m_workspaces->workspace(workspaceID);
    const auto window = m_windows->window(windowID);
    if (!workspace || !window)
        return;
    const auto& all = m_windows->allWindows();
    const bool hasOtherWindows = std::any_of(all.begin(), all.end(), [&](const WindowInfo& other) {
        return other.bundleID == window->bundleID && other.windowID != window->windowID;
    });
    std::vector<WorkspaceItem> items = m_workspaces->captureCurrentWindows({*window}, captureContext());
    if (items.empty())
        return;
    WorkspaceItem item = items.front();
    if (hasOtherWindows)
        item.titleContains = titleHint(window->title, window->appName);
    workspace->items.push_back(item);
    m_workspaces->update(*workspace);
    if (toldSavesRefused(*m_workspaces, *m_toast) || toldSaveFailed(*m_workspaces, *m_toast, workspace->name))
        return;
    m_toast->show(QStringLiteral("Added ") + window->appName + QStringLiteral(" to ") +
                      quoted(workspace->name),
                  QStringLiteral("plus.circle.fill"));
}

void AppState::restoreWorkspace(const Workspace& requested) {
    const auto saved = m_workspaces->workspace(requested.id);
    if (!saved)
        return;
    // One restore at a time: two would fight over the same screen, so any request made while
    // one runs is dropped without a word.
    if (m_workspaces->restoringID())
        return;
    m_workspaces->setRestoringID(saved->id);
    runRestore(*saved);
}

QCoro::Task<void> AppState::runRestore(Workspace workspace) {
    const WorkspaceRestorer::Result result = co_await restorer().restore(workspace);
    m_workspaces->setRestoringID(std::nullopt);
    refreshWindows(true);
    if (!result.missingApps.isEmpty()) {
        m_toast->show(quoted(workspace.name) + QStringLiteral(" \u2014 missing ") +
                          result.missingApps.join(", "),
                      warningSymbol);
    } else {
        m_toast->show(quoted(workspace.name) + QStringLiteral(" \u2014 ") + QString::number(result.placed) +
                          (result.placed == 1 ? QStringLiteral(" window") : QStringLiteral(" windows")),
                      workspaceSymbol);
    }
}

void AppState::restoreSlot(int slot) {
    if (const auto workspace = m_workspaces->workspaceForHotkey(slot)) {
        restoreWorkspace(*workspace);
        return;
    }
    m_toast->show(QStringLiteral("No workspace on slot ") + QString::number(slot),
                  QStringLiteral("questionmark.circle.fill"));
}

} // namespace corvane
