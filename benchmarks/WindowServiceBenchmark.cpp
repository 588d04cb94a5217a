// What a second of idling costs the window model with many windows on screen: the strip's timer
// refreshes it every second, and every fourth second the refresh sweeps the programs' windows.
// On the fake platform, with inline executors: the model's own share, without the desktop's.
#include "core/PermissionManager.h"
#include "core/Settings.h"
#include "platform/fake/FakePlatform.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "support/FakeWindows.h"
#include "windows/AXWindowService.h"
#include "windows/WindowService.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace corvane;

namespace {

constexpr int32_t kOwnPID = 4242;

void idleRefresh(benchmark::State& state) {
    ManualScheduler scheduler;
    NotificationCenter notifications;
    ManualExecutor background;
    ManualExecutor axQueue;
    FakePlatform platform(scheduler);
    platform.fakePermissions->accessibility = true;
    PermissionManager::resetCachedFlags();
    PermissionManager::setProbeForFirstRead(platform.permissions.get());
    Settings settings(*platform.defaults, notifications);
    AXWindowService ax(*platform.accessibility, axQueue, scheduler, kOwnPID);
    WindowService service(settings, ax, *platform.windowList, *platform.runningApplications, scheduler,
                          background, kOwnPID);
    // One program per window, as with separate X programs.
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        const QRectF frame((i % 8) * 220, (i / 8 % 6) * 170, 200, 150);
        testing::addWindow(platform, {.pid = 1000 + i,
                                      .id = static_cast<uint32_t>(5000 + i),
                                      .frame = frame,
                                      .title = QStringLiteral("window %1").arg(i),
                                      .app = QStringLiteral("Program %1").arg(i)});
    }
    service.refresh(true);
    for (auto _ : state) {
        scheduler.advance(Seconds(1));
        service.refresh(false);
    }
    state.counters["windows"] = static_cast<double>(service.allWindows().size());
    PermissionManager::resetCachedFlags();
    PermissionManager::setProbeForFirstRead(nullptr);
}
BENCHMARK(idleRefresh)->Arg(10)->Arg(200)->Unit(benchmark::kMicrosecond);

} // namespace
