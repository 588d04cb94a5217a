// The event-tap thread on a real X server: a tap takes exactly its keys from every other program
// and hears them, with the held modifiers, on its own thread; the hot keys count them as ours.
#include "support/IntegrationMain.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "core/EventTapThread.h"
#include "platform/ModifierBits.h"
#include "platform/x11/X11HotKeys.h"
#include "platform/x11/X11KeyTaps.h"

#include <QTest>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

namespace corvane::testing {
namespace {

TEST(EventTaps, AVolumeKeyTapTakesTheKeyAndHearsItOnItsThread) {
    EventTapThread thread([] { return std::make_unique<X11KeyTaps>(); });
    thread.start();
    XTestInput typist;
    const xcb_keycode_t volumeUp = typist.keycode(XKB_KEY_XF86AudioRaiseVolume);
    ASSERT_NE(volumeUp, XCB_NO_SYMBOL);

    std::atomic<int> presses{0};
    std::atomic<qint64> modifiers{-1};
    std::atomic<QThread*> heardOn{nullptr};
    const auto tap = thread.addTap({Qt::Key_VolumeUp}, [&](const TappedKey& key) {
        if (!key.pressed)
            return;
        heardOn = QThread::currentThread();
        modifiers = key.modifiers;
        ++presses;
    });
    ASSERT_TRUE(tap.has_value());
    EXPECT_FALSE(isFreeOnServer(volumeUp)) << "the tap holds the key against other programs";
    EXPECT_TRUE(isFreeOnServer(typist.keycode(XKB_KEY_XF86AudioLowerVolume))) << "and no other key";

    typist.type({XKB_KEY_Shift_L, XKB_KEY_XF86AudioRaiseVolume});
    EXPECT_TRUE(QTest::qWaitFor([&] { return presses.load() == 1; }, 5000));
    EXPECT_EQ(heardOn.load(), &thread);
    EXPECT_EQ(modifiers.load(), 0x200) << "Shift was held";

    // (the server takes the tap's ungrab and a probe from another connection in either order)
    thread.removeTap(*tap);
    EXPECT_TRUE(QTest::qWaitFor([&] { return isFreeOnServer(volumeUp); }, 5000));
}

TEST(EventTaps, TheHotKeysProbeCountsATapsKeysAsTheProductsOwn) {
    // Given hot keys told of the taps' keys, and others that are not
    auto tapped = std::make_shared<X11TappedKeys>();
    X11HotKeys hotKeys(QByteArray(), tapped);
    X11HotKeys unaware;
    EventTapThread thread([tapped] { return std::make_unique<X11KeyTaps>(QByteArray(), tapped); });
    thread.start();
    const qint64 volumeUp = 72;
    const qint64 control = HotKeyModifier::control;

    // While a tap holds the volume key in every modifier state, Ctrl with it is not another
    // program's, though the server refuses it
    const auto tap = thread.addTap({Qt::Key_VolumeUp}, [](const TappedKey&) {});
    ASSERT_TRUE(tap.has_value());
    EXPECT_FALSE(hotKeys.isHeldElsewhere(volumeUp, control));
    EXPECT_TRUE(unaware.isHeldElsewhere(volumeUp, control));
    // but the product's own tap's, and a hot key of it is refused as such
    EXPECT_TRUE(hotKeys.isHeldByOwnKeyTap(volumeUp, control));
    EXPECT_FALSE(unaware.isHeldByOwnKeyTap(volumeUp, control));
    EXPECT_FALSE(hotKeys.registerHotKey(volumeUp, control));
    EXPECT_EQ(hotKeys.lastRefusal(), HotKeys::Refusal::heldByOwnKeyTap);

    // Once the tap lets go, another client's grab of the key is another program's again
    thread.removeTap(*tap);
    xcb_connection_t* c = desktop().connection();
    const xcb_keycode_t keycode = XTestInput().keycode(XKB_KEY_XF86AudioRaiseVolume);
    ASSERT_TRUE(QTest::qWaitFor([&] { return isFreeOnServer(keycode); }, 5000))
        << "the tap gave the key back";
    ASSERT_EQ(xcb_request_check(c, xcb_grab_key_checked(c, 0, desktop().rootWindow(), XCB_MOD_MASK_ANY,
                                                        keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)),
              nullptr);
    EXPECT_TRUE(hotKeys.isHeldElsewhere(volumeUp, control));
    EXPECT_FALSE(hotKeys.isHeldByOwnKeyTap(volumeUp, control));
    EXPECT_FALSE(hotKeys.registerHotKey(volumeUp, control));
    EXPECT_EQ(hotKeys.lastRefusal(), HotKeys::Refusal::heldByAnotherProgram);
    xcb_ungrab_key(c, keycode, desktop().rootWindow(), XCB_MOD_MASK_ANY);
    xcb_flush(c);
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
