#pragma once

#include "app/AppState.h"
#include "core/EventTapThread.h"
#include "core/ManualAnimator.h"
#include "core/Settings.h"
#include "platform/fake/FakePlatform.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "support/QtPrinting.h"
#include "windows/AXWindowService.h"

#include <gtest/gtest.h>

#include <memory>

namespace corvane::testing {

// The product's composition on the fake platform and virtual time. A test may script the
// platform and preset stored values (`platform->defaults->set`) before calling `buildState`,
// which reads them as a launch would. Every process-wide instance is reset afterwards.
class AppFixture : public ::testing::Test {
protected:
    AppFixture();
    ~AppFixture() override;

    // Rebuilds the platform with these launch arguments ("-settingsTab", "layouts", ...).
    void makePlatform(QStringList arguments = {});
    // Builds Settings, the window service and AppState over the platform, as `main` does.
    AppState& buildState();

    // The product's own process id in tests; fake programs use other ids.
    static constexpr int32_t ownPID = 4242;

    ManualScheduler scheduler;
    NotificationCenter notifications;
    ManualExecutor background;
    ManualExecutor axQueue;
    ManualAnimator animator;
    std::unique_ptr<FakePlatform> platform;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<AXWindowService> ax;
    // Set as the shared instance; its thread starts only when something uses it.
    std::unique_ptr<EventTapThread> eventTaps;
    std::unique_ptr<AppState> state;
};

} // namespace corvane::testing
