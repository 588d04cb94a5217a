#pragma once

#include "support/VirtualDesktop.h"

#include <QProcess>

class QSocketNotifier;

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace corvane::benchmarks {

// The private desktop every benchmark of this binary runs on; valid inside a benchmark.
testing::VirtualDesktop& desktop();

// Client windows the window manager manages, shown side by side, each at least large enough for
// the window list to keep. They stay up until the next call asks for another population, so that
// a benchmark run several times over (as the library does to find its iteration count) sets up
// its desktop once.
enum class Population {
    // Windows of this process, named by WM_CLASS and _NET_WM_PID and titled in UTF-8, as
    // current toolkits do.
    windowsOfOneProgram,
    // One small X program per window, of a toolkit that sets only the legacy properties.
    programs,
};
// False when the desktop did not take the whole population in time.
bool populate(Population kind, int count);
// Removes whatever population is up, waiting until the window manager has let go of it.
void depopulate();
// The process ids behind the current population.
std::vector<int32_t> populationPIDs();

// The Qt application the benchmarks run in: one with widgets shows on the virtual desktop.
enum class Application { core, widgets };

// Hands every event of `connection` to `handle` until it says done, waiting on the connection's
// socket between them; false when `until` passes first.
bool waitForEvents(xcb_connection_t* connection, std::chrono::steady_clock::time_point until,
                   const std::function<bool(const xcb_generic_event_t&)>& handle);

// Does `act` and turns the event loop until `seen` gives the moment the awaited event came, or
// `boundMs` passes; the milliseconds from just before `act` to that moment, none after the bound.
// `seen` reads what has come on the connection `wake` watches; it is asked after `act` and each
// time `wake` fires.
std::optional<double>
timeUntilSeen(QSocketNotifier& wake, const std::function<void()>& act,
              const std::function<std::optional<std::chrono::steady_clock::time_point>()>& seen, int boundMs);

// Runs the benchmarks registered in this binary on a fresh desktop.
int runBenchmarks(int argc, char** argv, Application application = Application::core);

} // namespace corvane::benchmarks
