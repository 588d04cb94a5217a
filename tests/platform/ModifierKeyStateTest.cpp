#include "platform/ModifierKeyState.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

constexpr qint64 leftOption = 58, rightOption = 61, letterA = 0;

TEST(ModifierKeyStateTest, AModifierStaysSetWhileEitherOfItsKeysIsHeld) {
    ModifierKeyState keys;
    const auto rightDown = keys.press(rightOption, {});
    ASSERT_TRUE(rightDown);
    EXPECT_EQ(rightDown->type, MonitoredEvent::Type::flagsChanged);
    EXPECT_EQ(rightDown->keyCode, rightOption);
    EXPECT_EQ(rightDown->modifierFlags, EventModifier::option);

    ASSERT_TRUE(keys.press(leftOption, {}));
    const MonitoredEvent rightUp = keys.release(rightOption, {});
    EXPECT_EQ(rightUp.type, MonitoredEvent::Type::flagsChanged);
    EXPECT_EQ(rightUp.keyCode, rightOption);
    EXPECT_EQ(rightUp.modifierFlags, EventModifier::option);

    EXPECT_EQ(keys.release(leftOption, {}).modifierFlags, 0u);
}

TEST(ModifierKeyStateTest, RepeatsOfAHeldModifierAreDroppedAndOtherKeysArePlainPresses) {
    ModifierKeyState keys;
    ASSERT_TRUE(keys.press(functionKeyCode, {}));
    EXPECT_FALSE(keys.press(functionKeyCode, {}));

    const auto letter = keys.press(letterA, {});
    ASSERT_TRUE(letter);
    EXPECT_EQ(letter->type, MonitoredEvent::Type::keyDown);
    EXPECT_EQ(letter->modifierFlags, EventModifier::function);
    // A held letter repeats as presses.
    EXPECT_TRUE(keys.press(letterA, {}));
    EXPECT_EQ(keys.release(letterA, {}).type, MonitoredEvent::Type::keyUp);

    // A key without a virtual key code is still a key press.
    const auto unnamed = keys.press(std::nullopt, {});
    ASSERT_TRUE(unnamed);
    EXPECT_EQ(unnamed->type, MonitoredEvent::Type::keyDown);
    EXPECT_FALSE(unnamed->keyCode);
}

} // namespace
} // namespace corvane::testing
