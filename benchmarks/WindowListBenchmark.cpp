// How long the window list and a full read of every window take with many managed windows.
#include "BenchmarkDesktop.h"

#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11WindowList.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <thread>

using namespace corvane;
using namespace corvane::benchmarks;

namespace {

void onScreenWindows(benchmark::State& state) {
    if (!populate(Population::windowsOfOneProgram, static_cast<int>(state.range(0)))) {
        state.SkipWithError("the window manager did not take every window");
        return;
    }
    X11WindowList list(desktop().displayName().toLocal8Bit());
    for (auto _ : state)
        benchmark::DoNotOptimize(list.onScreenWindows());
}
BENCHMARK(onScreenWindows)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

// What a sweep of the window service reads for every window of a process.
void accessibilitySweep(benchmark::State& state) {
    if (!populate(Population::windowsOfOneProgram, static_cast<int>(state.range(0)))) {
        state.SkipWithError("the window manager did not take every window");
        return;
    }
    X11Accessibility ax(desktop().displayName().toLocal8Bit());
    const int32_t pid = getpid();
    for (auto _ : state) {
        // Sweeps come seconds apart: nothing read by the one before still holds.
        state.PauseTiming();
        std::this_thread::sleep_for(X11FactsCache::freshFor + std::chrono::milliseconds(5));
        state.ResumeTiming();
        const auto elements = ax.windows(pid);
        for (const AXElement& element : elements.value) {
            benchmark::DoNotOptimize(ax.windowNumber(element));
            benchmark::DoNotOptimize(ax.position(element));
            benchmark::DoNotOptimize(ax.size(element));
            benchmark::DoNotOptimize(ax.title(element));
            benchmark::DoNotOptimize(ax.minimized(element));
            benchmark::DoNotOptimize(ax.subrole(element));
        }
    }
}
BENCHMARK(accessibilitySweep)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace
