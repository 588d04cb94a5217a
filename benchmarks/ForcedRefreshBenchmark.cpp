// How long a forced refresh of the window model takes on the real X11 layer: the on-screen list,
// the programs' descriptions and a sweep of every program's windows, merged. The executors run
// inline, so the sweep runs on the benchmark's thread and one call is one whole refresh.
#include "BenchmarkDesktop.h"

#include "core/PermissionManager.h"
#include "core/Settings.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11PermissionProbe.h"
#include "platform/x11/X11RunningApplications.h"
#include "platform/x11/X11WindowList.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "windows/AXWindowService.h"
#include "windows/WindowService.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

using namespace corvane;
using namespace corvane::benchmarks;

namespace {

// The benchmark's own windows stand for another program's: the service must not take them for
// its own and leave them out.
constexpr int32_t kServicePID = 1;

// The window services over the real X11 layer, as the application composes them.
struct RealWindowServices {
    explicit RealWindowServices(const QByteArray& display)
        : defaults(std::make_unique<FakeDefaultsFile>(), scheduler), settings(defaults, notifications),
          probe(display), state(std::make_shared<X11WindowState>(display)), list(state), accessibility(state),
          running(display), ax(accessibility, axQueue, scheduler, kServicePID),
          service(settings, ax, list, running, scheduler, background, kServicePID) {
        PermissionManager::resetCachedFlags();
        PermissionManager::setProbeForFirstRead(&probe);
    }
    ~RealWindowServices() { PermissionManager::resetCachedFlags(); }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    ManualExecutor background;
    ManualExecutor axQueue;
    UserDefaults defaults;
    Settings settings;
    X11PermissionProbe probe;
    std::shared_ptr<X11WindowState> state;
    X11WindowList list;
    X11Accessibility accessibility;
    X11RunningApplications running;
    AXWindowService ax;
    WindowService service;
};

void forcedRefresh(benchmark::State& state, Population population) {
    const int count = static_cast<int>(state.range(0));
    if (!populate(population, count)) {
        state.SkipWithError("the window manager did not take every window");
        return;
    }
    // Built once the windows are up, so the running applications already know every program.
    RealWindowServices services(desktop().displayName().toLocal8Bit());
    QCoreApplication::processEvents();
    // The first pass also fills the desktop-entry caches, which live as long as the application.
    services.service.refresh(true);
    if (services.service.allWindows().size() != static_cast<size_t>(count)) {
        state.SkipWithError("the refresh did not list every window");
        return;
    }

    const int sweepsBefore = services.service.sweepCount();
    for (auto _ : state)
        services.service.refresh(true);
    if (services.service.sweepCount() - sweepsBefore != static_cast<int>(state.iterations()))
        state.SkipWithError("a refresh did not sweep");
    state.counters["windows"] = static_cast<double>(services.service.allWindows().size());
}
// With --benchmark_repetitions, the fastest repetition beside the median: on a shared machine the
// server's share of the processor varies, and the fastest run is the one least disturbed.
double fastest(const std::vector<double>& runs) {
    return runs.empty() ? 0.0 : *std::min_element(runs.begin(), runs.end());
}

BENCHMARK_CAPTURE(forcedRefresh, windowsOfOneProgram, Population::windowsOfOneProgram)
    ->Arg(50)
    ->Arg(200)
    ->ComputeStatistics("min", fastest)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(forcedRefresh, oneWindowPerProgram, Population::programs)
    ->Arg(50)
    ->Arg(200)
    ->ComputeStatistics("min", fastest)
    ->Unit(benchmark::kMillisecond);

} // namespace
