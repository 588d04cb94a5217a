#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/DesktopApplicationCatalog.h"
#include "platform/linux/GioApplicationLauncher.h"
#include "platform/linux/InotifyFolderWatching.h"
#include "platform/linux/JsonDefaultsFile.h"
#include "platform/linux/LinuxBacklight.h"
#include "platform/linux/LinuxPowerHolds.h"
#include "platform/linux/LinuxPowerSource.h"
#include "platform/linux/LinuxSleepWake.h"
#include "platform/linux/LinuxSystemShell.h"
#include "platform/linux/PulseSoundOutput.h"
#include "platform/linux/QtApplicationHost.h"
#include "platform/linux/XdgAutostart.h"
#include "platform/x11/QtScreens.h"
#include "platform/x11/QtTray.h"
#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11Desktops.h"
#include "platform/x11/X11DragSource.h"
#include "platform/x11/X11EventMonitors.h"
#include "platform/x11/X11HotKeys.h"
#include "platform/x11/X11KeyGrabs.h"
#include "platform/x11/X11KeyTaps.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11PanelWindowing.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11PermissionProbe.h"
#include "platform/x11/X11PointerDevices.h"
#include "platform/x11/X11RunningApplications.h"
#include "platform/x11/X11ScreenSaverWatch.h"
#include "platform/x11/X11WindowCapture.h"
#include "platform/x11/X11WindowList.h"
#include "platform/x11/X11WindowProgram.h"

namespace corvane {

std::unique_ptr<Platform> makeLinuxPlatform(Scheduler& scheduler, const QStringList& arguments) {
    auto platform = std::make_unique<Platform>();
    platform->defaults = std::make_unique<UserDefaults>(
        std::make_unique<JsonDefaultsFile>(JsonDefaultsFile::defaultPath()), scheduler, arguments);
    platform->screens = std::make_unique<QtScreens>();
    platform->permissions = std::make_unique<X11PermissionProbe>();
    platform->shell = std::make_unique<LinuxSystemShell>();
    platform->host = std::make_unique<QtApplicationHost>();
    // Window icons and the programs behind windows are read on one connection of their own.
    auto windowPrograms = std::make_shared<X11WindowProgram>();
    platform->applications = std::make_unique<DesktopApplicationCatalog>(windowPrograms);
    // The window list, the window access layer and the panels answer from one state kept from X
    // events.
    auto windowState = std::make_shared<X11WindowState>();
    platform->panelWindowing = std::make_unique<X11PanelWindowing>(windowState, scheduler);
    platform->accessibility = std::make_unique<X11Accessibility>(windowState);
    platform->windowList = std::make_unique<X11WindowList>(windowState);
    platform->runningApplications = std::make_unique<X11RunningApplications>();
    platform->keyboard = std::make_unique<X11Keyboard>();
    // The media keys' taps run on a thread of their own; the hot keys' conflict probe counts
    // their grabs as the product's.
    auto tappedKeys = std::make_shared<X11TappedKeys>();
    platform->hotKeys = std::make_unique<X11HotKeys>(QByteArray(), tappedKeys);
    platform->keyGrabs = std::make_unique<X11KeyGrabs>();
    platform->desktops = std::make_unique<X11Desktops>();
    platform->windowCapture = std::make_unique<X11WindowCapture>();
    platform->powerSource = std::make_unique<LinuxPowerSource>();
    platform->sleepWake = std::make_unique<LinuxSleepWake>(QDBusConnection::systemBus(),
                                                           std::make_unique<X11ScreenSaverWatch>());
    platform->eventMonitors = std::make_unique<X11EventMonitors>();
    platform->launcher = std::make_unique<GioApplicationLauncher>(windowPrograms);
    platform->soundOutput = std::make_unique<PulseSoundOutput>();
    platform->backlight = std::make_unique<LinuxBacklight>();
    platform->dragSource = std::make_unique<X11DragSource>();
    platform->pasteboard = std::make_unique<X11Pasteboard>(scheduler);
    platform->pasteKeystroke = std::make_unique<X11PasteKeystroke>(scheduler);
    platform->powerHolds = std::make_unique<LinuxPowerHolds>();
    platform->pointerDevices = std::make_unique<X11PointerDevices>();
    platform->tray = std::make_unique<QtTray>();
    platform->folderWatching = std::make_unique<InotifyFolderWatching>();
    auto autostart = std::make_unique<XdgAutostart>(XdgAutostart::forCurrentUser());
    autostart->followInstalledProgram();
    platform->loginItem = std::move(autostart);
    platform->makeKeyTaps = [tappedKeys] { return std::make_unique<X11KeyTaps>(QByteArray(), tappedKeys); };
    return platform;
}

} // namespace corvane
