#include "RegistryFixture.h"

#include "ShortcutKit/GlobalKeyboardShortcutViewModifier.h"
#include "ShortcutKit/GlobalShortcutListener.h"

#include <QPushButton>

namespace corvane::testing {
namespace {

class GlobalKeyboardShortcutTest : public RegistryFixture {
protected:
    void recorderActive(bool active) {
        notifications.post(recorderActiveStatusDidChange, {}, {{QStringLiteral("isActive"), active}});
    }

    const Name notes{QStringLiteral("notes")};
    const Shortcut optionShiftK = shortcut(Key::k, optionShift);
    const QKeySequence optionShiftKSequence{Qt::ALT | Qt::SHIFT | Qt::Key_K};
};

TEST_F(GlobalKeyboardShortcutTest, AButtonCarriesTheNamesShortcutExceptWhileARecorderRecords) {
    // Given a button mirroring a name without shortcut
    QPushButton button;
    globalKeyboardShortcut(button, notes, registry, notifications);
    EXPECT_TRUE(button.shortcut().isEmpty());

    registry.setShortcut(optionShiftK, notes);
    EXPECT_EQ(button.shortcut(), optionShiftKSequence);

    // While a recorder records the shortcut is lifted, even across a change of it
    recorderActive(true);
    EXPECT_TRUE(button.shortcut().isEmpty());
    registry.setShortcut(shortcut(Key::a, ModifierFlags::control), notes);
    EXPECT_TRUE(button.shortcut().isEmpty());

    // And the current one returns when recording ends
    recorderActive(false);
    EXPECT_EQ(button.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));

    // A removed shortcut or a keypad key leaves the button without one
    registry.setShortcut(shortcut(Key::keypad1, ModifierFlags::control), notes);
    EXPECT_TRUE(button.shortcut().isEmpty());
}

TEST_F(GlobalKeyboardShortcutTest, OnlyChangesOfItsOwnNameReachTheTarget) {
    QObject target;
    int applied = 0;
    new GlobalKeyboardShortcutViewModifier(
        target, [&](const QKeySequence&) { ++applied; }, notes, registry, notifications);
    EXPECT_EQ(applied, 1);
    registry.setShortcut(optionShiftK, Name(QStringLiteral("other")));
    EXPECT_EQ(applied, 1);
    registry.setShortcut(optionShiftK, notes);
    EXPECT_EQ(applied, 2);
}

TEST_F(GlobalKeyboardShortcutTest, AListenerHearsTheHotKeyOnlyWhileItsViewIsShown) {
    // Given a shown view listening for the releases of a name's hot key
    registry.setShortcut(optionShiftK, notes);
    QWidget view;
    view.show();
    int releases = 0;
    std::vector<EventType> events;
    onGlobalKeyboardShortcut(view, notes, EventType::keyUp, registry, [&] { ++releases; });
    onGlobalKeyboardShortcut(view, notes, registry, [&](EventType type) { events.push_back(type); });

    // A press and a release call the typed action once, on release
    ASSERT_TRUE(hotKeys.press(optionShiftK.carbonKeyCode, optionShiftK.carbonModifiers));
    EXPECT_EQ(releases, 0);
    hotKeys.release(optionShiftK.carbonKeyCode, optionShiftK.carbonModifiers);
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(events, (std::vector<EventType>{EventType::keyDown, EventType::keyUp}));

    // Hidden, the view hears nothing and the hot key is given back; shown again, it listens again
    view.hide();
    EXPECT_FALSE(isTaken(optionShiftK));
    view.show();
    EXPECT_TRUE(press(optionShiftK));
    EXPECT_EQ(releases, 2);
}

} // namespace
} // namespace corvane::testing
