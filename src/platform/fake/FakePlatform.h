#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeApplicationHost.h"
#include "platform/fake/FakeApplicationLauncher.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeDesktops.h"
#include "platform/fake/FakeDragSource.h"
#include "platform/fake/FakeEventMonitors.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeKeyGrabs.h"
#include "platform/fake/FakeKeyTaps.h"
#include "platform/fake/FakeKeyboard.h"
#include "platform/fake/FakeLoginItem.h"
#include "platform/fake/FakePanelWindowing.h"
#include "platform/fake/FakePasteKeystroke.h"
#include "platform/fake/FakePasteboard.h"
#include "platform/fake/FakePermissionProbe.h"
#include "platform/fake/FakePointerDevices.h"
#include "platform/fake/FakePowerHolds.h"
#include "platform/fake/FakePowerSource.h"
#include "platform/fake/FakeRunningApplications.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeSleepWake.h"
#include "platform/fake/FakeSoundOutput.h"
#include "platform/fake/FakeSystemShell.h"
#include "platform/fake/FakeTray.h"
#include "platform/fake/FakeWindowCapture.h"
#include "platform/fake/FakeWindowList.h"

namespace corvane {

// The whole platform in memory. The typed pointers reach the fakes that the bundle owns, so a
// test can script them after handing the bundle to the product.
struct FakePlatform : Platform {
    explicit FakePlatform(Scheduler& scheduler, QStringList arguments = {});

    FakeDefaultsFile* defaultsFile;
    FakeScreens* fakeScreens;
    FakePermissionProbe* fakePermissions;
    FakeSystemShell* fakeShell;
    FakeApplicationHost* fakeHost;
    FakeApplicationCatalog* fakeApplications;
    FakePanelWindowing* fakePanelWindowing;
    FakeAccessibility* fakeAccessibility;
    FakeWindowList* fakeWindowList;
    FakeRunningApplications* fakeRunningApplications;
    FakeKeyboard* fakeKeyboard;
    FakeHotKeys* fakeHotKeys;
    FakeKeyGrabs* fakeKeyGrabs;
    FakeDesktops* fakeDesktops;
    FakeWindowCapture* fakeWindowCapture;
    FakePowerSource* fakePowerSource;
    FakeSleepWake* fakeSleepWake;
    FakeEventMonitors* fakeEventMonitors;
    FakeApplicationLauncher* fakeLauncher;
    FakeSoundOutput* fakeSoundOutput;
    FakeBacklight* fakeBacklight;
    FakeDragSource* fakeDragSource;
    FakePasteboard* fakePasteboard;
    FakePasteKeystroke* fakePasteKeystroke;
    FakePowerHolds* fakePowerHolds;
    FakePointerDevices* fakePointerDevices;
    FakeTray* fakeTray;
    FakeLoginItem* fakeLoginItem;
};

} // namespace corvane
