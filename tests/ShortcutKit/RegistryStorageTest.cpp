#include "RegistryFixture.h"

namespace corvane::testing {
namespace {

class RegistryStorageTest : public RegistryFixture {
protected:
    const Shortcut optionShiftS = shortcut(Key::s, optionShift);
    const Name withDefault{QStringLiteral("toggleSidebar"), optionShiftS};
    const Name withoutDefault{QStringLiteral("custom")};
};

TEST_F(RegistryStorageTest, StoredValuesReadAsAShortcutAsRemovedOrAsNotSet) {
    using Kind = StoredShortcutState::Kind;
    auto kindOf = [&](const Json& value) {
        defaults.set(withDefault.defaultsKey(), value);
        return registry.storedShortcut(withDefault).kind;
    };
    EXPECT_EQ(registry.storedShortcut(withDefault).kind, Kind::notSet);
    EXPECT_EQ(kindOf(R"({"carbonKeyCode":1,"carbonModifiers":2560})"), Kind::shortcut);
    EXPECT_EQ(registry.getShortcut(withDefault), optionShiftS);
    EXPECT_EQ(kindOf(false), Kind::disabled);
    EXPECT_EQ(kindOf(0), Kind::disabled);
    EXPECT_FALSE(registry.getShortcut(withDefault));
    // Garbage of every kind reads as nothing chosen, never as an error
    for (const Json& garbage : {Json(true), Json("not json"), Json(5), Json::array({1, 2560}),
                                Json({{"carbonKeyCode", 1}, {"carbonModifiers", 2560}}),
                                Json(R"({"carbonKeyCode":99999999,"carbonModifiers":2560})")}) {
        SCOPED_TRACE(garbage.dump());
        EXPECT_EQ(kindOf(garbage), Kind::notSet);
        EXPECT_FALSE(registry.getShortcut(withDefault));
    }
}

TEST_F(RegistryStorageTest, SeedingStoresTheDefaultOnlyIntoAnEmptyKey) {
    // Given a fresh store, seeding stores the default's text and announces nothing
    registry.seed(withDefault);
    EXPECT_EQ(registry.storedObject(withDefault), Json(R"({"carbonKeyCode":1,"carbonModifiers":2560})"));
    EXPECT_TRUE(posted.empty());

    // A choice of the user, and a removed default, survive the next launch's seeding
    const Shortcut other = shortcut(Key::d, ModifierFlags::command);
    registry.setShortcut(other, withDefault);
    registry.seed(withDefault);
    EXPECT_EQ(registry.getShortcut(withDefault), other);
    registry.setShortcut(std::nullopt, withDefault);
    registry.seed(withDefault);
    EXPECT_EQ(registry.storedObject(withDefault), Json(false));
    EXPECT_FALSE(registry.getShortcut(withDefault));

    // A name without default seeds nothing
    registry.seed(withoutDefault);
    EXPECT_FALSE(registry.storedObject(withoutDefault));
}

TEST_F(RegistryStorageTest, WritersAnnounceEveryEffectiveChangeAndNothingElse) {
    const Shortcut s = shortcut(Key::k, controlOption);
    // Writing the value already stored writes and announces again
    registry.writeShortcut(s, withDefault);
    registry.writeShortcut(s, withDefault);
    EXPECT_EQ(posted, (std::vector<QString>{"toggleSidebar", "toggleSidebar"}));
    // Removing a default twice announces once
    posted.clear();
    registry.setShortcut(std::nullopt, withDefault);
    registry.setShortcut(std::nullopt, withDefault);
    EXPECT_EQ(posted, std::vector<QString>{"toggleSidebar"});
    // A name without default loses its key; clearing it again announces nothing
    posted.clear();
    registry.setShortcut(s, withoutDefault);
    registry.setShortcut(std::nullopt, withoutDefault);
    registry.setShortcut(std::nullopt, withoutDefault);
    EXPECT_FALSE(registry.storedObject(withoutDefault));
    EXPECT_EQ(posted, (std::vector<QString>{"custom", "custom"}));
}

TEST_F(RegistryStorageTest, ResetBringsBackARemovedDefaultAndItsHotKey) {
    // Given a bound name whose user removed its shortcut
    int presses = 0;
    registry.seed(withDefault);
    registry.onKeyDown(withDefault, [&] { ++presses; });
    registry.setShortcut(std::nullopt, withDefault);
    ASSERT_FALSE(isTaken(optionShiftS));
    posted.clear();

    // When both names are reset
    registry.reset({withDefault, withoutDefault});

    // Then the default is back, announced and working; the name without default had nothing to reset
    EXPECT_EQ(registry.getShortcut(withDefault), optionShiftS);
    EXPECT_EQ(posted, std::vector<QString>{"toggleSidebar"});
    EXPECT_TRUE(press(optionShiftS));
    EXPECT_EQ(presses, 1);
}

TEST_F(RegistryStorageTest, StoredNamesFindEveryKeyAndClearingThemLetsDefaultsReturn) {
    registry.seed(withDefault);
    registry.setShortcut(shortcut(Key::k, controlOption), withoutDefault);
    defaults.set("ShortcutKit_", "{}");
    defaults.set("unrelated", 1);

    std::set<QString> raw;
    for (const Name& name : registry.storedNames())
        raw.insert(name.rawValue);
    EXPECT_EQ(raw, (std::set<QString>{"", "custom", "toggleSidebar"}));

    registry.clearAllStoredShortcuts();
    EXPECT_TRUE(registry.storedNames().empty());
    EXPECT_TRUE(defaults.object("unrelated"));
    // The next launch seeds the default again
    registry.seed(withDefault);
    EXPECT_EQ(registry.getShortcut(withDefault), optionShiftS);
}

} // namespace
} // namespace corvane::testing
