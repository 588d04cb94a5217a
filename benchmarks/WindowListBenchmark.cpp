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

// What a reader that asks the server does at least: both root lists, in one pipelined round trip.
// Not the list's floor: the list answers from what it keeps while nothing changes.
[[maybe_unused]] void readRootLists() {
    xcb_connection_t* c = desktop().connection();
    const xcb_window_t root = desktop().rootWindow();
    const auto ask = [&](const char* name) {
        const xcb_atom_t atom = desktop().atom(name);
        return xcb_get_property(c, 0, root, atom, XCB_ATOM_ANY, 0, 65536);
    };
    const xcb_get_property_cookie_t stacking = ask("_NET_CLIENT_LIST_STACKING");
    const xcb_get_property_cookie_t current = ask("_NET_CURRENT_DESKTOP");
    std::free(xcb_get_property_reply(c, stacking, nullptr));
    std::free(xcb_get_property_reply(c, current, nullptr));
}

// The list read while nothing changes, beside its floor in the same run: with nothing changed the
// server has nothing to say, so the least is handing over a copy of the same list.
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
