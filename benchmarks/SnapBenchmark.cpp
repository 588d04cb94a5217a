// One snap of a real window (alternately to the left half and the right third), from the call to the window
// manager's confirmation of the new frame: the product reads the focused window, computes the half's frame
// and writes it through its window service, then the frame window is watched until it stands there. Beside
// it, the same move done the way a user scripts it today: two xdotool runs that wait for the window manager.
#include "BenchmarkDesktop.h"

#include "platform/x11/X11Accessibility.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "snapping/SnapAction.h"
#include "windows/AXWindowService.h"

#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

using namespace corvane;
using namespace corvane::benchmarks;

namespace {

const QRectF area(0, 0, 1920, 1080);
constexpr double gap = 8;

// The geometry of the window manager's frame around `client`.
QRect frameOf(xcb_connection_t* c, xcb_window_t client) {
    xcb_window_t window = client;
    for (;;) {
        auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
        if (!tree)
            return {};
        const bool top = tree->parent == tree->root;
        const xcb_window_t parent = tree->parent;
        std::free(tree);
        if (top)
            break;
        window = parent;
    }
    auto* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (!g)
        return {};
    const QRect rect(g->x, g->y, g->width, g->height);
    std::free(g);
    return rect;
}

bool waitFor(xcb_connection_t* c, xcb_window_t client, const QRect& expected) {
    for (int i = 0; i < 100000; ++i)
        if (frameOf(c, client) == expected)
            return true;
    return false;
}

// One xlogo, focused, whose pid and window the benchmarks move.
struct Target {
    int32_t pid = 0;
    xcb_window_t window = XCB_WINDOW_NONE;
};

Target openTarget() {
    static Target target;
    if (target.window != XCB_WINDOW_NONE)
        return target;
    QProcess* program = desktop().launch(QStringLiteral("xlogo"),
                                         {QStringLiteral("-geometry"), QStringLiteral("300x200+100+100")});
    if (!program)
        return target;
    const auto client = desktop().waitForClientWindow(program->processId(), std::chrono::seconds(30));
    if (!client)
        return target;
    target = {static_cast<int32_t>(client->pid), client->window};
    return target;
}

void BM_SnapThroughTheWindowService(benchmark::State& state) {
    const Target target = openTarget();
    if (target.window == XCB_WINDOW_NONE)
        return state.SkipWithError("no window to snap");
    ManualScheduler scheduler;
    ManualExecutor queue;
    X11Accessibility accessibility(std::make_shared<X11WindowState>(desktop().displayName().toLocal8Bit()));
    AXWindowService ax(accessibility, queue, scheduler, 1);
    accessibility.bringToFront(target.pid, target.window);
    xcb_connection_t* c = desktop().connection();

    bool left = true;
    for (auto _ : state) {
        const SnapAction action = left ? SnapAction::leftHalf : SnapAction::rightThird;
        left = !left;
        const auto focused = ax.focusedWindow(target.pid);
        const QRectF current = focused ? focused->frame : QRectF();
        const QRectF wanted = frame(action, area, gap, current);
        ax.setFrameSync(target.pid, target.window, wanted);
        if (!waitFor(c, target.window, wanted.toRect()))
            return state.SkipWithError("the frame did not land");
    }
}
BENCHMARK(BM_SnapThroughTheWindowService)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SnapWithXdotool(benchmark::State& state) {
    const Target target = openTarget();
    if (target.window == XCB_WINDOW_NONE)
        return state.SkipWithError("no window to snap");
    const QString id = QString::number(target.window);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), desktop().displayName());
    bool left = true;
    for (auto _ : state) {
        const QRectF wanted = frame(left ? SnapAction::leftHalf : SnapAction::rightThird, area, gap);
        left = !left;
        // Position and size both change at every step: a --sync wait on an unchanged value never ends.
        QProcess move;
        move.setProcessEnvironment(environment);
        move.start(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), QStringLiteral("--sync"), id,
                                               QString::number(wanted.x()), QString::number(wanted.y())});
        QProcess size;
        size.setProcessEnvironment(environment);
        if (!move.waitForFinished(10000) || move.exitCode() != 0)
            return state.SkipWithError("xdotool failed");
        size.start(QStringLiteral("xdotool"),
                   {QStringLiteral("windowsize"), QStringLiteral("--sync"), id,
                    QString::number(wanted.width()), QString::number(wanted.height())});
        if (!size.waitForFinished(10000) || size.exitCode() != 0)
            return state.SkipWithError("xdotool failed");
    }
}
BENCHMARK(BM_SnapWithXdotool)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
