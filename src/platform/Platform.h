#pragma once

#include "platform/Accessibility.h"
#include "platform/ApplicationCatalog.h"
#include "platform/ApplicationHost.h"
#include "platform/ApplicationLauncher.h"
#include "platform/Desktops.h"
#include "platform/DragSource.h"
#include "platform/EventMonitors.h"
#include "platform/FolderWatching.h"
#include "platform/HotKeys.h"
#include "platform/KeyGrabs.h"
#include "platform/KeyTaps.h"
#include "platform/Keyboard.h"
#include "platform/LoginItem.h"
#include "platform/PanelWindowing.h"
#include "platform/PasteKeystroke.h"
#include "platform/Pasteboard.h"
#include "platform/PermissionProbe.h"
#include "platform/PointerDevices.h"
#include "platform/PowerHolds.h"
#include "platform/PowerSource.h"
#include "platform/RunningApplications.h"
#include "platform/Screens.h"
#include "platform/SleepWake.h"
#include "platform/SoundOutput.h"
#include "platform/SystemShell.h"
#include "platform/Tray.h"
#include "platform/UserDefaults.h"
#include "platform/WindowCapture.h"
#include "platform/WindowList.h"

#include <memory>

namespace corvane {

// Every interface of the desktop the product talks to, in one bundle. `main` builds the Linux
// one; tests build a FakePlatform and script it.
struct Platform {
    virtual ~Platform() = default;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<Screens> screens;
    std::unique_ptr<PermissionProbe> permissions;
    std::unique_ptr<SystemShell> shell;
    std::unique_ptr<ApplicationHost> host;
    std::unique_ptr<ApplicationCatalog> applications;
    std::unique_ptr<PanelWindowing> panelWindowing;
    std::unique_ptr<Accessibility> accessibility;
    std::unique_ptr<WindowList> windowList;
    std::unique_ptr<RunningApplications> runningApplications;
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<HotKeys> hotKeys;
    std::unique_ptr<KeyGrabs> keyGrabs;
    std::unique_ptr<Desktops> desktops;
    std::unique_ptr<WindowCapture> windowCapture;
    std::unique_ptr<PowerSource> powerSource;
    std::unique_ptr<SleepWake> sleepWake;
    std::unique_ptr<EventMonitors> eventMonitors;
    std::unique_ptr<ApplicationLauncher> launcher;
    std::unique_ptr<SoundOutput> soundOutput;
    std::unique_ptr<Backlight> backlight;
    std::unique_ptr<DragSource> dragSource;
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<PasteKeystroke> pasteKeystroke;
    std::unique_ptr<PowerHolds> powerHolds;
    std::unique_ptr<PointerDevices> pointerDevices;
    std::unique_ptr<Tray> tray;
    std::unique_ptr<LoginItem> loginItem;
    // None in tests: the file shelf then watches through Qt, without the names of what changed.
    std::unique_ptr<FolderWatching> folderWatching;
    // Runs on the event-tap thread, which owns what it makes.
    KeyTapsFactory makeKeyTaps;
};

} // namespace corvane
