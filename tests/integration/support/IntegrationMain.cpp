#include "IntegrationMain.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace corvane::testing {
namespace {

VirtualDesktop* currentDesktop = nullptr;

// Flags with which GoogleTest runs no test, so no desktop is needed.
bool runsNoTest(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--gtest_list_tests") == 0 || std::strcmp(arg, "--help") == 0 ||
            std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "-?") == 0 || std::strcmp(arg, "/?") == 0)
            return true;
    }
    return false;
}

} // namespace

VirtualDesktop& desktop() {
    if (!currentDesktop)
        throw std::logic_error("no virtual desktop: tests must run under runIntegrationTests");
    return *currentDesktop;
}

int runIntegrationTests(int argc, char** argv) {
    if (runsNoTest(argc, argv)) {
        ::testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    }

    std::unique_ptr<VirtualDesktop> virtualDesktop;
    try {
        virtualDesktop = std::make_unique<VirtualDesktop>();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Cannot start the virtual desktop: %s\n", error.what());
        return 1;
    }
    currentDesktop = virtualDesktop.get();

    // Qt reads these when the application is built, so the desktop must exist first.
    qputenv("DISPLAY", virtualDesktop->displayName().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

    int result = 1;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    } // the application's X connection closes before the server stops

    if (result != 0)
        virtualDesktop->keepLogs();
    currentDesktop = nullptr;
    virtualDesktop.reset();
    return result;
}

} // namespace corvane::testing
