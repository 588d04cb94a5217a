#pragma once

#include "core/PermissionManager.h"
#include "core/Settings.h"
#include "platform/fake/FakePlatform.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "support/FakeWindows.h"
#include "windows/AXWindowService.h"
#include "windows/WindowService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace corvane::testing {

// A window service over the fake platform, inline executors and virtual time, with the
// window-reading permission granted unless a test says otherwise before its first refresh.
class WindowServiceFixture : public ::testing::Test {
protected:
    static constexpr int32_t ownPID = 4242;

    WindowServiceFixture() : platform(scheduler) {
        platform.fakePermissions->accessibility = true;
        PermissionManager::resetCachedFlags();
        PermissionManager::setProbeForFirstRead(platform.permissions.get());
        settings = std::make_unique<Settings>(*platform.defaults, notifications);
        ax = std::make_unique<AXWindowService>(*platform.accessibility, axQueue, scheduler, ownPID);
        service =
            std::make_unique<WindowService>(*settings, *ax, *platform.windowList,
                                            *platform.runningApplications, scheduler, background, ownPID);
    }
    ~WindowServiceFixture() override {
        service.reset();
        PermissionManager::resetCachedFlags();
        PermissionManager::setProbeForFirstRead(nullptr);
    }

    FakeWindowList& list() { return *platform.fakeWindowList; }
    FakeRunningApplications& apps() { return *platform.fakeRunningApplications; }
    FakeAccessibility& axDesktop() { return *platform.fakeAccessibility; }

    // One pass; with inline executors it is over when this returns.
    void refresh(bool force = false) { service->refresh(force); }

    // A window on screen (appended behind the others) that its program also reports.
    void addWindow(int32_t pid, uint32_t id, QRectF frame = QRectF(0, 0, 400, 300), QString title = {}) {
        corvane::testing::addWindow(platform, {.pid = pid, .id = id, .frame = frame, .title = title});
    }
    // A window only its program reports (minimised or on another desktop).
    void addOffScreenWindow(int32_t pid, uint32_t id, bool minimized, QRectF frame = QRectF(0, 0, 400, 300)) {
        FakeAXWindow window;
        window.number = id;
        window.frame = frame;
        window.minimized = minimized;
        axDesktop().addWindow(pid, window);
    }

    static std::vector<uint32_t> ids(const std::vector<WindowInfo>& windows) {
        std::vector<uint32_t> result;
        for (const WindowInfo& info : windows)
            result.push_back(info.windowID);
        return result;
    }
    const WindowInfo& info(uint32_t id) {
        static WindowInfo none;
        for (const WindowInfo& window : service->allWindows())
            if (window.windowID == id)
                return window;
        ADD_FAILURE() << "window " << id << " is not listed";
        return none;
    }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    ManualExecutor background;
    ManualExecutor axQueue;
    FakePlatform platform;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<AXWindowService> ax;
    std::unique_ptr<WindowService> service;
};

} // namespace corvane::testing
