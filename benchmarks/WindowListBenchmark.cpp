// How long the window list and a full read of every window take with many managed windows.
#include "BenchmarkDesktop.h"
#include "PairedRuns.h"

#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11WindowList.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

using namespace corvane;
using namespace corvane::benchmarks;

namespace {

constexpr int kRuns = 60;

// The list read while nothing changes, beside its floor in the same run. The list answers as the
// server stands at the call (a window changed a moment ago is seen changed), so the least it can
// do is one round trip, to learn that nothing changed, and a copy of the list it keeps.
void onScreenWindows(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    if (!populate(Population::windowsOfOneProgram, count)) {
        state.SkipWithError("the window manager did not take every window");
        return;
    }
    X11WindowList list(std::make_shared<X11WindowState>(desktop().displayName().toLocal8Bit()));
    if (list.onScreenWindows().size() < static_cast<size_t>(count)) {
        state.SkipWithError("the list did not hold every window");
        return;
    }
    const std::vector<WindowListEntry> kept = list.onScreenWindows();
    PairedMedians medians;
    for (auto _ : state)
        medians = timePaired(
            kRuns, [&] { benchmark::DoNotOptimize(list.onScreenWindows()); },
            [&] {
                xcb_connection_t* c = desktop().connection();
                std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
                std::vector<WindowListEntry> copy = kept;
                benchmark::DoNotOptimize(copy);
            });
    reportPaired(state, medians);
}
BENCHMARK(onScreenWindows)->Arg(10)->Arg(50)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);

// What a sweep of the window service reads for every window of a process.
void accessibilitySweep(benchmark::State& state) {
    if (!populate(Population::windowsOfOneProgram, static_cast<int>(state.range(0)))) {
        state.SkipWithError("the window manager did not take every window");
        return;
    }
    X11Accessibility ax(std::make_shared<X11WindowState>(desktop().displayName().toLocal8Bit()));
    const int32_t pid = getpid();
    for (auto _ : state) {
        const auto elements = ax.windows(pid);
        for (const AXElement& element : elements.value) {
            benchmark::DoNotOptimize(ax.windowNumber(element));
            benchmark::DoNotOptimize(ax.readWindow(element));
        }
    }
}
BENCHMARK(accessibilitySweep)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace
