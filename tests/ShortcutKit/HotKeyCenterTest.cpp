#include "ShortcutKit/HotKeyCenter.h"
#include "ShortcutKit/HotKey.h"
#include "ShortcutKit/Key.h"
#include "ShortcutKit/ModifierFlags.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeKeyboard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace corvane::testing {
namespace {

using namespace corvane::ShortcutKit;
using Mode = HotKeyCenter::Mode;

class HotKeyCenterTest : public ::testing::Test {
protected:
    std::unique_ptr<HotKey> makeHotKey(Key key, qint64 modifiers) {
        return std::make_unique<HotKey>(
            center, key.rawValue, modifiers, [this] { events.push_back("down"); },
            [this] { events.push_back("up"); });
    }
    void setState(bool enabled, bool menuOpen) {
        center.setEnabled(enabled);
        center.updateMode();
        if (menuOpen)
            center.menuDidBeginTracking();
        else
            center.menuDidEndTracking();
    }

    FakeHotKeys system;
    FakeKeyboard keyboard;
    HotKeyCenter center{system, keyboard};
    std::vector<std::string> events;
    const qint64 controlOption = CarbonModifiers::control | CarbonModifiers::option;
};

TEST_F(HotKeyCenterTest, ModeFollowsTheEnableFlagAndOpenMenus) {
    auto hotKey = makeHotKey(Key::leftArrow, controlOption);
    ASSERT_TRUE(center.registerHotKey(*hotKey));

    struct Row {
        bool enabled, menuOpen;
        Mode mode;
        bool taken;
    };
    for (const Row& row : {Row{false, false, Mode::disabled, false}, Row{false, true, Mode::disabled, false},
                           Row{true, false, Mode::normal, true}, Row{true, true, Mode::menuOpen, false},
                           Row{true, false, Mode::normal, true}}) {
        SCOPED_TRACE(::testing::Message() << "enabled " << row.enabled << ", menu " << row.menuOpen);
        setState(row.enabled, row.menuOpen);
        EXPECT_EQ(center.mode(), row.mode);
        EXPECT_EQ(system.isRegistered(Key::leftArrow.rawValue, controlOption), row.taken);
        EXPECT_EQ(hotKey->registration.has_value(), row.taken);
    }
}

TEST_F(HotKeyCenterTest, RegisteringWhileDisabledAcceptsButTakesTheCombinationOnlyWhenEnabled) {
    setState(false, false);
    auto hotKey = makeHotKey(Key::c, controlOption);
    EXPECT_TRUE(center.registerHotKey(*hotKey));
    EXPECT_FALSE(system.press(Key::c.rawValue, controlOption));
    setState(true, false);
    EXPECT_TRUE(system.press(Key::c.rawValue, controlOption));
    EXPECT_EQ(events, std::vector<std::string>{"down"});
    // A hot key that goes gives its combination back
    hotKey.reset();
    EXPECT_EQ(system.registeredCount(), 0);
}

TEST_F(HotKeyCenterTest, WhileAMenuIsOpenItsKeyEventsAreMatchedAgainstTheHotKeys) {
    auto arrow = makeHotKey(Key::f5, 0);
    auto letter = makeHotKey(Key::c, controlOption);
    center.registerHotKey(*arrow);
    center.registerHotKey(*letter);
    center.menuDidBeginTracking();

    // A press runs key down, auto-repeat nothing, the release key up
    EXPECT_TRUE(center.matchKeyEvent(Key::c.rawValue, controlOption, false, EventType::keyDown));
    EXPECT_FALSE(center.matchKeyEvent(Key::c.rawValue, controlOption, true, EventType::keyDown));
    EXPECT_TRUE(center.matchKeyEvent(Key::c.rawValue, controlOption, false, EventType::keyUp));
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up"}));
    // The function modifier does not count for F5 but must match for a letter; caps lock never counts
    EXPECT_TRUE(center.matchKeyEvent(Key::f5.rawValue, CarbonModifiers::function, false, EventType::keyDown));
    EXPECT_FALSE(center.matchKeyEvent(Key::c.rawValue, controlOption | CarbonModifiers::function, false,
                                      EventType::keyDown));
    EXPECT_TRUE(center.matchKeyEvent(Key::c.rawValue, controlOption | 0x400, false, EventType::keyDown));
}

TEST_F(HotKeyCenterTest, AShownMenuSwitchesToMatchingTheKeysItReceives) {
    // Given a hot key on control+option+C and the keyboard's native code for C
    constexpr quint32 nativeC = 54;
    keyboard.setNativeKey(nativeC, Key::c.rawValue);
    auto hotKey = makeHotKey(Key::c, controlOption);
    center.registerHotKey(*hotKey);

    // When a menu of the application opens
    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    menu.popup(QPoint(10, 10));
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(center.mode(), Mode::menuOpen);
    EXPECT_FALSE(system.isRegistered(Key::c.rawValue, controlOption));

    // Then a key the menu receives runs the hot key once, however far the event travels
    ASSERT_TRUE(menu.windowHandle());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier, nativeC, 0, 0);
    QCoreApplication::sendEvent(menu.windowHandle(), &press);
    EXPECT_EQ(events, std::vector<std::string>{"down"});

    // And closing the menu takes the combination back
    menu.hide();
    EXPECT_EQ(center.mode(), Mode::normal);
    EXPECT_TRUE(system.isRegistered(Key::c.rawValue, controlOption));
}

} // namespace
} // namespace corvane::testing
