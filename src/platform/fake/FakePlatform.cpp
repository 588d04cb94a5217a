#include "platform/fake/FakePlatform.h"

namespace corvane {

FakePlatform::FakePlatform(Scheduler& scheduler, QStringList arguments) {
    auto file = std::make_unique<FakeDefaultsFile>();
    defaultsFile = file.get();
    // Argument lists in tests are written as a command line, program name first.
    arguments.prepend(QStringLiteral("corvane"));
    defaults = std::make_unique<UserDefaults>(std::move(file), scheduler, arguments);

    auto madeScreens = std::make_unique<FakeScreens>();
    fakeScreens = madeScreens.get();
    screens = std::move(madeScreens);
    auto madePermissions = std::make_unique<FakePermissionProbe>();
    fakePermissions = madePermissions.get();
    permissions = std::move(madePermissions);
    auto madeShell = std::make_unique<FakeSystemShell>();
    fakeShell = madeShell.get();
    shell = std::move(madeShell);
    auto madeHost = std::make_unique<FakeApplicationHost>();
    fakeHost = madeHost.get();
    host = std::move(madeHost);
    auto madeApplications = std::make_unique<FakeApplicationCatalog>();
    fakeApplications = madeApplications.get();
    applications = std::move(madeApplications);
    auto madePanelWindowing = std::make_unique<FakePanelWindowing>();
    fakePanelWindowing = madePanelWindowing.get();
    panelWindowing = std::move(madePanelWindowing);
    auto madeAccessibility = std::make_unique<FakeAccessibility>();
    fakeAccessibility = madeAccessibility.get();
    accessibility = std::move(madeAccessibility);
    auto madeWindowList = std::make_unique<FakeWindowList>();
    fakeWindowList = madeWindowList.get();
    windowList = std::move(madeWindowList);
    auto madeRunning = std::make_unique<FakeRunningApplications>();
    fakeRunningApplications = madeRunning.get();
    runningApplications = std::move(madeRunning);
    fakeAccessibility->frontProgram = [running = fakeRunningApplications] { return running->frontmost; };
    auto madeKeyboard = std::make_unique<FakeKeyboard>();
    fakeKeyboard = madeKeyboard.get();
    keyboard = std::move(madeKeyboard);
    auto madeHotKeys = std::make_unique<FakeHotKeys>();
    fakeHotKeys = madeHotKeys.get();
    hotKeys = std::move(madeHotKeys);
    auto madeKeyGrabs = std::make_unique<FakeKeyGrabs>();
    fakeKeyGrabs = madeKeyGrabs.get();
    keyGrabs = std::move(madeKeyGrabs);
    auto madeDesktops = std::make_unique<FakeDesktops>();
    fakeDesktops = madeDesktops.get();
    desktops = std::move(madeDesktops);
    auto madeCapture = std::make_unique<FakeWindowCapture>();
    fakeWindowCapture = madeCapture.get();
    windowCapture = std::move(madeCapture);
    auto madePower = std::make_unique<FakePowerSource>();
    fakePowerSource = madePower.get();
    powerSource = std::move(madePower);
    auto madeSleepWake = std::make_unique<FakeSleepWake>();
    fakeSleepWake = madeSleepWake.get();
    sleepWake = std::move(madeSleepWake);
    auto madeMonitors = std::make_unique<FakeEventMonitors>(fakeScreens);
    fakeEventMonitors = madeMonitors.get();
    eventMonitors = std::move(madeMonitors);
    auto madeLauncher = std::make_unique<FakeApplicationLauncher>();
    fakeLauncher = madeLauncher.get();
    launcher = std::move(madeLauncher);
    auto madeSound = std::make_unique<FakeSoundOutput>();
    fakeSoundOutput = madeSound.get();
    soundOutput = std::move(madeSound);
    auto madeBacklight = std::make_unique<FakeBacklight>();
    fakeBacklight = madeBacklight.get();
    backlight = std::move(madeBacklight);
    auto madeDrag = std::make_unique<FakeDragSource>();
    fakeDragSource = madeDrag.get();
    dragSource = std::move(madeDrag);
    auto madePasteboard = std::make_unique<FakePasteboard>();
    fakePasteboard = madePasteboard.get();
    pasteboard = std::move(madePasteboard);
    auto madePasteKeystroke = std::make_unique<FakePasteKeystroke>();
    fakePasteKeystroke = madePasteKeystroke.get();
    pasteKeystroke = std::move(madePasteKeystroke);
    auto madeHolds = std::make_unique<FakePowerHolds>();
    fakePowerHolds = madeHolds.get();
    powerHolds = std::move(madeHolds);
    auto madePointers = std::make_unique<FakePointerDevices>();
    fakePointerDevices = madePointers.get();
    pointerDevices = std::move(madePointers);
    auto madeTray = std::make_unique<FakeTray>();
    fakeTray = madeTray.get();
    tray = std::move(madeTray);
    auto madeLoginItem = std::make_unique<FakeLoginItem>();
    fakeLoginItem = madeLoginItem.get();
    loginItem = std::move(madeLoginItem);
    makeKeyTaps = [] { return std::make_unique<FakeKeyTaps>(); };
}

} // namespace corvane
