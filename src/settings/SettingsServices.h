#pragma once

#include "settings/SettingsTab.h"

#include <functional>

namespace corvane {

class SettingsNavigation;
class SettingsPage;

class NotificationCenter;
class PermissionManager;
class Scheduler;
class Settings;
struct Platform;
namespace ShortcutKit {
class Registry;
}

// What the settings and onboarding windows and their pages work with. Each must outlive the
// windows; the application builds one and hands it to the window controllers.
struct SettingsServices {
    Platform& platform;
    Settings& settings;
    Scheduler& scheduler;
    NotificationCenter& notifications;
    PermissionManager& permissions;
    ShortcutKit::Registry& shortcuts;
    // Builds the page of a tab, without a parent, over the services of the feature it sets up.
    std::function<SettingsPage*(SettingsTab, SettingsNavigation&)> makePage;
};

} // namespace corvane
