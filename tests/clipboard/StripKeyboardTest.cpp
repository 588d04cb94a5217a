#include "clipboard/StripKeyboard.h"

#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakePanelWindowing.h"
#include "runtime/ManualScheduler.h"
#include "shelf/FilePanel.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

class StripKeyboardTest : public ::testing::Test {
protected:
    StripKeyboardTest() {
        windowing.active = 77;
        // As the strip is: no window manager's window
        strip.setWindowFlag(Qt::BypassWindowManagerHint);
        keyboard.setStrip(&strip);
    }

    ManualScheduler scheduler;
    FakeHotKeys hotKeys;
    FakePanelWindowing windowing;
    FilePanel strip{windowing, QRect(0, 0, 200, 100), PanelLevel::status};
    StripKeyboard keyboard{&hotKeys, scheduler};
};

TEST_F(StripKeyboardTest, TheHoldGoesToTheStripOnScreenAndWaitsForItNoLongerThanTheLimit) {
    keyboard.opening();
    EXPECT_TRUE(hotKeys.isHoldingKeyboard());
    strip.show();
    // On the screen the strip asks for the keyboard, and what was typed goes to it
    keyboard.onScreen();
    EXPECT_EQ(hotKeys.releasedTo(), std::vector<quint64>{strip.winId()});
    EXPECT_EQ(hotKeys.releaseRequests(), 1);
    // At the limit the hold is asked again, so it stops waiting for the strip to get the keyboard
    scheduler.advance(StripKeyboard::holdLimit);
    EXPECT_EQ(hotKeys.releaseRequests(), 2);
    // Closed, the strip that asked for the keyboard gives it back to the program in front
    keyboard.closing();
    EXPECT_EQ(windowing.keyboardGifts.last(), 77u);
}

TEST_F(StripKeyboardTest, AStripClosingDropsWhatIsHeldAndEndsAnyWaitAtOnce) {
    // Closed before it came onto the screen: the keys are dropped, the keyboard stays put
    keyboard.opening();
    strip.show();
    keyboard.closing();
    EXPECT_EQ(hotKeys.releasedTo(), std::vector<quint64>{0});
    EXPECT_TRUE(windowing.keyboardGifts.isEmpty());

    // Closed after its hold went to it: the wait for its keyboard ends with it, not at the limit
    keyboard.opening();
    keyboard.onScreen();
    const int requests = hotKeys.releaseRequests();
    keyboard.closing();
    EXPECT_EQ(hotKeys.releaseRequests(), requests + 1);
    scheduler.advance(StripKeyboard::holdLimit);
    EXPECT_EQ(hotKeys.releaseRequests(), requests + 1);
}

} // namespace
} // namespace corvane::testing
