#include "RegistryFixture.h"

namespace corvane::testing {
namespace {

class RegistryTest : public RegistryFixture {
protected:
    const Shortcut a = shortcut(Key::leftArrow, controlOption);
    const Shortcut b = shortcut(Key::rightArrow, controlOption);
    const Name first{QStringLiteral("first"), a};
    const Name second{QStringLiteral("second"), a};
    std::vector<QString> ran;

    void bind(const Name& name) {
        registry.seed(name);
        registry.onKeyDown(name, [this, raw = name.rawValue] { ran.push_back(raw); });
    }
};

TEST_F(RegistryTest, NamesSharingAShortcutShareOneHotKeyUntilTheLastLetsGo) {
    bind(first);
    bind(second);
    EXPECT_EQ(hotKeys.registrationCount(), 1);

    // One press runs both names
    press(a);
    EXPECT_EQ(ran.size(), 2u);

    // Clearing one keeps the hot key for the other
    ran.clear();
    registry.setShortcut(std::nullopt, first);
    press(a);
    EXPECT_EQ(ran, std::vector<QString>{"second"});

    // Clearing both gives the combination back
    registry.setShortcut(std::nullopt, second);
    EXPECT_FALSE(isTaken(a));
}

TEST_F(RegistryTest, ChangingAShortcutMovesTheHotKeyAtOnce) {
    bind(first);
    bind(second);
    // When one name moves from A to B while the other keeps A
    registry.setShortcut(b, first);

    // Then both combinations are taken and each runs only its own name
    press(b);
    EXPECT_EQ(ran, std::vector<QString>{"first"});
    ran.clear();
    press(a);
    EXPECT_EQ(ran, std::vector<QString>{"second"});

    // A name bound while it had no shortcut gets its hot key when one is stored, without rebinding
    const Name late{QStringLiteral("late")};
    registry.onKeyDown(late, [this] { ran.push_back("late"); });
    EXPECT_FALSE(isTaken(shortcut(Key::l, controlOption)));
    registry.setShortcut(shortcut(Key::l, controlOption), late);
    ran.clear();
    press(shortcut(Key::l, controlOption));
    EXPECT_EQ(ran, std::vector<QString>{"late"});
}

TEST_F(RegistryTest, ADisabledNameRunsNothingButLeavesASharedHotKeyInPlace) {
    bind(first);
    bind(second);
    registry.disable({first});
    EXPECT_TRUE(isTaken(a));
    press(a);
    EXPECT_EQ(ran, std::vector<QString>{"second"});

    // Disabling the other too gives the combination back; enabling takes it again
    registry.disable({second});
    EXPECT_FALSE(isTaken(a));
    registry.enable({first, second});
    ran.clear();
    press(a);
    EXPECT_EQ(ran.size(), 2u);
}

TEST_F(RegistryTest, PausingGivesEveryCombinationBackAndRunsNothingUntilResumed) {
    bind(first);
    registry.setPaused(true);
    EXPECT_EQ(hotKeys.registeredCount(), 0);
    // Even a press that was already on its way runs nothing
    registry.handleEvent(EventType::keyDown, a);
    EXPECT_TRUE(ran.empty());

    registry.setPaused(false);
    press(a);
    EXPECT_EQ(ran, std::vector<QString>{"first"});

    // Switching the library off and on leaves the bindings as they were
    registry.setEnabled(false);
    EXPECT_EQ(hotKeys.registeredCount(), 0);
    EXPECT_FALSE(registry.isNameActive(first));
    registry.setEnabled(true);
    EXPECT_TRUE(registry.isNameActive(first));
}

TEST_F(RegistryTest, ACombinationAnotherProgramHoldsStaysWithoutHotKeyUntilALaterRegistrationWorks) {
    // Given A is held elsewhere
    int changes = 0;
    QObject::connect(&registry, &Registry::registrationsChanged, [&] { ++changes; });
    hotKeys.refuse(a.carbonKeyCode, a.carbonModifiers);
    bind(first);
    EXPECT_FALSE(registry.isRegistered(a));
    // the name says so, and says it no more once it moves to a free combination
    EXPECT_EQ(registry.refusal(first), HotKeys::Refusal::heldByAnotherProgram);
    EXPECT_EQ(changes, 1);
    registry.setShortcut(b, first);
    EXPECT_TRUE(registry.isRegistered(b));
    EXPECT_FALSE(registry.refusal(first));
    EXPECT_EQ(changes, 2);

    // When the combination is taken elsewhere during a pause, it is dropped when the pause ends
    hotKeys.refuse(b.carbonKeyCode, b.carbonModifiers);
    registry.setPaused(true);
    registry.setPaused(false);
    EXPECT_FALSE(registry.isRegistered(b));
    EXPECT_EQ(registry.refusal(first), HotKeys::Refusal::heldByAnotherProgram);
    EXPECT_EQ(registry.center().liveHotKeyCount(), 0);
    // and taken again by the next registration once it is free
    hotKeys.refuse(b.carbonKeyCode, b.carbonModifiers, false);
    registry.enable({first});
    EXPECT_TRUE(isTaken(b));
}

TEST_F(RegistryTest, AnActionMayChangeItsOwnShortcutWhileItsPressIsDispatched) {
    // Given an action that moves its own name elsewhere, releasing the hot key it runs from
    registry.seed(first);
    registry.onKeyDown(first, [this] {
        ran.push_back("moved");
        registry.setShortcut(b, first);
    });
    registry.onKeyDown(first, [this] { ran.push_back("after"); });

    press(a);

    // Then the press finishes with the bindings as they were when it began, and the name moved
    EXPECT_EQ(ran, (std::vector<QString>{"moved", "after"}));
    EXPECT_FALSE(isTaken(a));
    EXPECT_TRUE(isTaken(b));
}

TEST_F(RegistryTest, ActionsRunInTheOrderAddedAndRemovingThemGivesTheCombinationBack) {
    registry.seed(first);
    auto action = [this] { ran.push_back("x"); };
    registry.onKeyDown(first, action);
    registry.onKeyDown(first, action);
    registry.onKeyUp(first, [this] { ran.push_back("up"); });
    press(a);
    EXPECT_EQ(ran, (std::vector<QString>{"x", "x", "up"}));

    registry.removeAllHandlers();
    EXPECT_FALSE(isTaken(a));
    registry.removeAllHandlers();
}

TEST_F(RegistryTest, AHostileStoredValueRegistersNothing) {
    defaults.set(first.defaultsKey(), R"({"carbonKeyCode":-7,"carbonModifiers":9223372036854775807})");
    bind(first);
    EXPECT_EQ(hotKeys.registrationCount(), 0);
    EXPECT_FALSE(registry.isNameActive(first));
}

} // namespace
} // namespace corvane::testing
