#include "RegistryFixture.h"

#include "ShortcutKit/MenuItemShortcut.h"

#include <QAction>

namespace corvane::testing {
namespace {

class MenuItemShortcutTest : public RegistryFixture {
protected:
    const QKeySequence controlQ{Qt::CTRL | Qt::Key_Q};
    const Name notes{QStringLiteral("notes")};
    const Name other{QStringLiteral("other")};
    QAction item;

    void bind(const std::optional<Name>& name) {
        MenuItemShortcut::setShortcutFor(item, name, registry, notifications);
    }
};

TEST_F(MenuItemShortcutTest, AnItemFollowsItsNamesShortcutAndFallsBackToItsOwn) {
    // Given an item with its own Control+Q bound to a name without shortcut
    item.setShortcut(controlQ);
    bind(notes);
    EXPECT_EQ(item.shortcut(), controlQ);

    // When the name gets Option+Shift+K, the item shows it at once
    registry.setShortcut(shortcut(Key::k, optionShift), notes);
    EXPECT_EQ(item.shortcut(), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_K));

    // Another name's change leaves it alone
    registry.setShortcut(shortcut(Key::a, ModifierFlags::control), other);
    EXPECT_EQ(item.shortcut(), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_K));

    // Clearing the name's shortcut brings Control+Q back
    registry.setShortcut(std::nullopt, notes);
    EXPECT_EQ(item.shortcut(), controlQ);
}

TEST_F(MenuItemShortcutTest, RebindingKeepsTheFirstFallbackAndUnbindingRestoresIt) {
    item.setShortcut(controlQ);
    registry.setShortcut(shortcut(Key::k, optionShift), notes);
    bind(notes);
    bind(other);
    // The second name has no shortcut: the item's own one shows, not the first name's
    EXPECT_EQ(item.shortcut(), controlQ);

    // Unbound, it shows its own and follows nothing
    registry.setShortcut(shortcut(Key::a, ModifierFlags::control), other);
    EXPECT_EQ(item.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    bind(std::nullopt);
    EXPECT_EQ(item.shortcut(), controlQ);
    registry.setShortcut(shortcut(Key::s, ModifierFlags::control), other);
    EXPECT_EQ(item.shortcut(), controlQ);

    // Unbinding an item that was never bound leaves it with no shortcut
    QAction free;
    free.setShortcut(controlQ);
    MenuItemShortcut::setShortcutFor(free, std::nullopt, registry, notifications);
    EXPECT_TRUE(free.shortcut().isEmpty());
}

TEST_F(MenuItemShortcutTest, ASetShortcutStopsFollowingAndKeypadKeysShowNone) {
    bind(notes);
    MenuItemShortcut::setShortcut(item, shortcut(Key::f5, ModifierFlags::command), keyboard);
    EXPECT_EQ(item.shortcut(), QKeySequence(Qt::META | Qt::Key_F5));
    registry.setShortcut(shortcut(Key::k, optionShift), notes);
    EXPECT_EQ(item.shortcut(), QKeySequence(Qt::META | Qt::Key_F5));

    // The keypad has no Qt key of its own here
    MenuItemShortcut::setShortcut(item, shortcut(Key::keypad1, ModifierFlags::control), keyboard);
    EXPECT_TRUE(item.shortcut().isEmpty());
}

} // namespace
} // namespace corvane::testing
