#pragma once

#include "support/AppFixture.h"

#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeRunningApplications.h"
#include "platform/fake/FakeWindowList.h"
#include "support/FakeWindows.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"

#include <QAction>
#include <QMenu>

namespace corvane::testing {

// The application on the fake platform with windows of other programs a test adds.
class SidebarFixture : public AppFixture {
protected:
    SidebarFixture() {
        platform->fakePermissions->accessibility = true;
        platform->fakeScreens->setScreens(
            {ScreenInfo{"DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 30, 1920, 1050), 1u, std::nullopt}});
        platform->fakeScreens->setPointer(QPointF(100, 100));
        buildState();
    }

    // A window of a running program, listed on screen and known to window access.
    void addWindow(int32_t pid, uint32_t id, const QString& app, QString title = {},
                   QRectF frame = QRectF(100, 100, 800, 600)) {
        corvane::testing::addWindow(*platform, {.pid = pid,
                                                .id = id,
                                                .frame = frame,
                                                .title = title,
                                                .app = app,
                                                .bundleID = QStringLiteral("org.example.") + app,
                                                .namesOwner = true});
    }
    void refresh() { state->windows().refresh(true); }

    // The window as the strip lists it (with its pin).
    WindowInfo listed(uint32_t id) {
        for (const WindowInfo& window : state->windows().windows()) {
            if (window.windowID == id)
                return window;
        }
        ADD_FAILURE() << "window " << id << " is not listed";
        return {};
    }

    Workspace addWorkspace(const QString& name) {
        Workspace workspace;
        workspace.id = QUuid::createUuid();
        workspace.name = name;
        workspace.colorHex = QStringLiteral("#2F80ED");
        state->workspaces().add(workspace);
        return workspace;
    }

    // The menu's item titles in order; separators read as "-".
    static QStringList titles(const QMenu& menu) {
        QStringList result;
        for (QAction* action : menu.actions())
            result << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return result;
    }
    static QAction* item(const QMenu& menu, const QString& title) {
        for (QAction* action : menu.actions()) {
            if (action->text() == title)
                return action;
        }
        ADD_FAILURE() << "no item " << title.toStdString();
        return nullptr;
    }
};

} // namespace corvane::testing
