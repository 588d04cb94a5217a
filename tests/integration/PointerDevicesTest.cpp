// The pointer devices of a real X server: the virtual server's own pointer offers no scroll
// direction to set, so the mouse's direction reports itself unavailable and changes nothing;
// a device added to the server is announced.
#include "support/IntegrationMain.h"

#include "core/Settings.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11PointerDevices.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "system/MouseController.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xinput.h>

using namespace corvane;
using corvane::testing::desktop;

namespace {

TEST(PointerDevices, TheVirtualServersPointerCannotTurnAndANewDeviceIsAnnounced) {
    const QByteArray display = desktop().displayName().toLocal8Bit();
    X11PointerDevices devices(display);
    for (const PointerDevices::Device& device : devices.devices()) {
        EXPECT_FALSE(device.name.contains(QLatin1String("XTEST")));
        EXPECT_FALSE(device.naturalScrolling.has_value());
        EXPECT_FALSE(devices.setNaturalScrolling(device.id, true));
    }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults{std::make_unique<FakeDefaultsFile>(), scheduler};
    Settings settings{defaults, notifications};
    MouseController mouse(settings, devices, defaults);
    EXPECT_FALSE(mouse.isAvailable());
    settings.setMouseScrollDirection(MouseScrollDirection::natural);
    mouse.apply();
    EXPECT_TRUE(mouse.originals().empty());
    EXPECT_FALSE(defaults.object("mouseNaturalScrollingOriginals"));

    // Another client adds a pointer pair to the server, as plugging in a device does.
    QSignalSpy changed(&mouse, &MouseController::devicesChanged);
    const X11Display other = openDisplay(display);
    ASSERT_TRUE(inputExtensionOpcode(other.connection, 2, 0));
    struct {
        uint16_t type = XCB_INPUT_HIERARCHY_CHANGE_TYPE_ADD_MASTER;
        uint16_t length = 3; // in four-byte units, the name included
        uint16_t nameLength = 4;
        uint8_t sendCore = 1;
        uint8_t enable = 1;
        char name[4] = {'T', 'e', 's', 't'};
    } addMaster;
    xcb_input_xi_change_hierarchy(other.connection, 1,
                                  reinterpret_cast<const xcb_input_hierarchy_change_t*>(&addMaster));
    xcb_flush(other.connection);
    EXPECT_TRUE(QTest::qWaitFor([&] { return changed.count() > 0; }, 10000));
    xcb_disconnect(other.connection);
}

} // namespace

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
