// How long the window list and a full read of every window take with many managed windows.
#include "support/VirtualDesktop.h"

#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11WindowList.h"

#include <QCoreApplication>
#include <QThread>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using namespace corvane;

namespace {

testing::VirtualDesktop* gDesktop = nullptr;

// Small client windows of our own, mapped and managed by the window manager while in scope.
class ClientWindows {
public:
    explicit ClientWindows(int count) {
        xcb_connection_t* c = gDesktop->connection();
        for (int i = 0; i < count; ++i) {
            const xcb_window_t window = xcb_generate_id(c);
            xcb_create_window(c, XCB_COPY_FROM_PARENT, window, gDesktop->rootWindow(), (i * 7) % 900,
                              (i * 5) % 600, 120, 80, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                              0, nullptr);
            const QByteArray title = QByteArray("window ") + QByteArray::number(i);
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                                static_cast<uint32_t>(title.size()), title.constData());
            xcb_map_window(c, window);
            m_windows.push_back(window);
        }
        xcb_flush(c);
        // Managed once every window is in the client list (each one also gets its frame).
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < until) {
            size_t managed = 0;
            for (const auto& client : gDesktop->clientWindows())
                managed += client.pid == getpid();
            if (managed >= m_windows.size())
                break;
            QThread::msleep(20);
        }
    }
    ~ClientWindows() {
        for (xcb_window_t window : m_windows)
            xcb_destroy_window(gDesktop->connection(), window);
        xcb_flush(gDesktop->connection());
    }

private:
    std::vector<xcb_window_t> m_windows;
};

void onScreenWindows(benchmark::State& state) {
    ClientWindows windows(static_cast<int>(state.range(0)));
    X11WindowList list(gDesktop->displayName().toLocal8Bit());
    for (auto _ : state)
        benchmark::DoNotOptimize(list.onScreenWindows());
}
BENCHMARK(onScreenWindows)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

// What a sweep of the window service reads for every window of a process.
void accessibilitySweep(benchmark::State& state) {
    ClientWindows windows(static_cast<int>(state.range(0)));
    X11Accessibility ax(gDesktop->displayName().toLocal8Bit());
    const int32_t pid = getpid();
    for (auto _ : state) {
        const auto elements = ax.windows(pid);
        for (const AXElement& element : elements.value) {
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

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::unique_ptr<testing::VirtualDesktop> desktop;
    try {
        desktop = std::make_unique<testing::VirtualDesktop>();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Cannot start the virtual desktop: %s\n", error.what());
        return 1;
    }
    gDesktop = desktop.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gDesktop = nullptr;
    return 0;
}
