#include "core/Settings.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "support/QtPrinting.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// A settings store over a fake defaults file preloaded with what a previous run left.
class SettingsTest : public ::testing::Test {
protected:
    Settings& load(Json stored = Json::object()) {
        settings.reset();
        defaults.reset();
        auto made = std::make_unique<FakeDefaultsFile>(std::move(stored));
        file = made.get();
        defaults = std::make_unique<UserDefaults>(std::move(made), scheduler);
        settings = std::make_unique<Settings>(*defaults, notifications);
        return *settings;
    }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    FakeDefaultsFile* file = nullptr;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<Settings> settings;
};

} // namespace

TEST_F(SettingsTest, EmptyStoreGivesTheDefaultsAndWritesNothing) {
    // Given no stored values, with an observer of the change notification
    int announced = 0;
    const ObserverToken token =
        notifications.addObserver(Settings::didChangeNotification, [&](const Notification&) { ++announced; });

    // When the store is built
    Settings& s = load();
    scheduler.advance(Seconds(5));

    // Then the less obvious defaults hold
    EXPECT_EQ(s.thumbnailSize(), ThumbnailSize::medium);
    EXPECT_EQ(s.sidebarAccent(), AccentChoice::lumenForge);
    EXPECT_EQ(s.radialAccent(), AccentChoice::system);
    EXPECT_EQ(s.mouseScrollDirection(), MouseScrollDirection::system);
    EXPECT_EQ(s.maxVisible(), 12);
    EXPECT_EQ(s.clipboardLimit(), 60);
    EXPECT_EQ(s.refreshInterval(), 3.0);
    EXPECT_EQ(s.radialHoldDelay(), 0.15);
    EXPECT_TRUE(s.showSettingsOnLaunch());
    EXPECT_FALSE(s.hasCompletedOnboarding());
    EXPECT_TRUE(s.specificDisplayID().isEmpty());
    EXPECT_EQ(s.excludedBundleIDs(), Settings::defaultExcludedBundleIDs());
    EXPECT_EQ(s.excludedBundleIDs().size(), 5);

    // And nothing was written or announced
    EXPECT_TRUE(defaults->keys().empty());
    EXPECT_EQ(file->saveCount, 0);
    EXPECT_EQ(announced, 0);

    // And the key list has 63 distinct keys
    const QStringList& keys = Settings::allKeys();
    EXPECT_EQ(keys.size(), 63);
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), 63);
}

TEST_F(SettingsTest, EachKindIsWrittenWithItsJsonKindAndReadBackByTheNextLaunch) {
    // Given a store that is assigned one value of every kind
    Settings& s = load();
    s.setShowDockIcon(true);
    s.setMaxVisible(20);
    s.setRefreshInterval(3.0);
    s.setSpecificDisplayID(QStringLiteral("42"));
    s.setExcludedBundleIDs({QStringLiteral("org.example.App")});
    s.setRadialCenterAction(RadialCenterAction::almostMaximize);
    s.setQuickTilePreset(LayoutPreset::mainStack);

    // Then the defaults hold each value under the key of its property, with the right JSON kind
    EXPECT_EQ(defaults->object("showDockIcon"), Json(true));
    EXPECT_TRUE(defaults->object("maxVisible")->is_number_integer());
    EXPECT_TRUE(defaults->object("refreshInterval")->is_number_float()); // 3.0, not 3
    EXPECT_EQ(defaults->object("specificDisplayID"), Json("42"));
    EXPECT_EQ(defaults->object("excludedBundleIDs"), Json::array({"org.example.App"}));
    EXPECT_EQ(defaults->object("radialCenterAction"), Json("almostMaximize"));
    EXPECT_EQ(defaults->object("quickTilePreset"), Json("mainStack"));

    // When the file is written and the next launch reads it
    defaults->flush();
    Settings& next = load(file->document);

    // Then every value is back
    EXPECT_TRUE(next.showDockIcon());
    EXPECT_EQ(next.maxVisible(), 20);
    EXPECT_EQ(next.refreshInterval(), 3.0);
    EXPECT_EQ(next.specificDisplayID(), QStringLiteral("42"));
    EXPECT_EQ(next.excludedBundleIDs(), QStringList{QStringLiteral("org.example.App")});
    EXPECT_EQ(next.radialCenterAction(), RadialCenterAction::almostMaximize);
    EXPECT_EQ(next.quickTilePreset(), LayoutPreset::mainStack);
}

TEST_F(SettingsTest, NumbersAreTakenOnlyWhenTheyConvertWithoutLoss) {
    // An Int key takes integers and whole doubles; anything else gives the default 12
    const std::vector<std::pair<Json, qint64>> ints{
        {20, 20},   {20.0, 20}, {-3, -3},    {"20", 12},
        {20.5, 12}, {true, 12}, {1e300, 12}, {Json(std::uint64_t(18446744073709551615u)), 12}};
    for (const auto& [stored, expected] : ints)
        EXPECT_EQ(load({{"maxVisible", stored}}).maxVisible(), expected) << stored.dump();

    // A Bool key takes bools and the numbers 0 and 1; anything else gives the default true
    const std::vector<std::pair<Json, bool>> bools{{false, false}, {0, false}, {1, true},
                                                   {0.0, false},   {2, true},  {"NO", true}};
    for (const auto& [stored, expected] : bools)
        EXPECT_EQ(load({{"showSettingsOnLaunch", stored}}).showSettingsOnLaunch(), expected) << stored.dump();

    // A Double key takes any number; not a bool or a numeric string (default 3.0)
    const std::vector<std::pair<Json, double>> doubles{
        {5, 5.0}, {0.5, 0.5}, {0, 0.0}, {"5", 3.0}, {true, 3.0}};
    for (const auto& [stored, expected] : doubles)
        EXPECT_EQ(load({{"refreshInterval", stored}}).refreshInterval(), expected) << stored.dump();

    // The display id takes a string or a number's decimal text, nothing else
    EXPECT_EQ(load({{"specificDisplayID", 12345}}).specificDisplayID(), QStringLiteral("12345"));
    EXPECT_EQ(load({{"specificDisplayID", true}}).specificDisplayID(), QString());
}

TEST_F(SettingsTest, EnumerationsTakeOnlyExactRawValues) {
    // Given stored strings that are near misses, exact values and no strings at all
    Settings& s = load({{"sidebarEdge", "Left"},
                        {"thumbnailSize", "large"},
                        {"panelStyle", "Dark"},
                        {"sidebarAccent", "system"},
                        {"radialAccent", "LumenForge"},
                        {"radialTrigger", "rightCommand"},
                        {"windowScope", 1},
                        {"awakeMode", "lidClosed"},
                        {"shelfSort", "name "},
                        {"quickTilePreset", "grid"}});

    // Then only exact matches are taken; the rest give each key's own default
    EXPECT_EQ(s.sidebarEdge(), SidebarEdge::left);
    EXPECT_EQ(s.thumbnailSize(), ThumbnailSize::large);
    EXPECT_EQ(s.panelStyle(), PanelStyle::glass);
    EXPECT_EQ(s.sidebarAccent(), AccentChoice::system);
    EXPECT_EQ(s.radialAccent(), AccentChoice::system);
    EXPECT_EQ(s.radialTrigger(), RadialTrigger::rightCommand);
    EXPECT_EQ(s.windowScope(), WindowScope::allDisplays);
    EXPECT_EQ(s.awakeMode(), AwakeMode::lidClosed);
    EXPECT_EQ(s.shelfSort(), ShelfSort::newest);
    EXPECT_EQ(s.quickTilePreset(), LayoutPreset::grid);

    // And each accent key differs from its default only on the other case's exact raw value
    EXPECT_EQ(load({{"sidebarEdge", "right"}, {"radialAccent", "lumenForge"}}).radialAccent(),
              AccentChoice::lumenForge);
    EXPECT_EQ(settings->sidebarEdge(), SidebarEdge::right);
    EXPECT_EQ(load({{"sidebarAccent", "System"}}).sidebarAccent(), AccentChoice::lumenForge);
}

TEST_F(SettingsTest, ScrollDirectionFallsBackToTheOlderSwitch) {
    struct Case {
        Json stored;
        MouseScrollDirection expected;
    };
    const std::vector<Case> cases{
        {Json::object(), MouseScrollDirection::system},
        {{{"reverseMouseScroll", true}}, MouseScrollDirection::standard},
        {{{"reverseMouseScroll", 1}}, MouseScrollDirection::standard},
        {{{"mouseScrollDirection", "natural"}, {"reverseMouseScroll", true}}, MouseScrollDirection::natural},
        {{{"mouseScrollDirection", "system"}, {"reverseMouseScroll", true}}, MouseScrollDirection::system},
        {{{"mouseScrollDirection", "Natural"}, {"reverseMouseScroll", true}}, MouseScrollDirection::standard},
        {{{"mouseScrollDirection", "sideways"}}, MouseScrollDirection::system},
    };
    for (const Case& c : cases)
        EXPECT_EQ(load(c.stored).mouseScrollDirection(), c.expected) << c.stored.dump();

    // The older switch is neither written nor removed by an assignment
    Settings& s = load({{"reverseMouseScroll", true}});
    s.setMouseScrollDirection(MouseScrollDirection::natural);
    defaults->flush();
    EXPECT_EQ(file->document, (Json{{"reverseMouseScroll", true}, {"mouseScrollDirection", "natural"}}));
}

TEST_F(SettingsTest, ExcludedBundleIDsKeepAStoredEmptyList) {
    EXPECT_TRUE(load({{"excludedBundleIDs", Json::array()}}).excludedBundleIDs().isEmpty());
    EXPECT_EQ(load({{"excludedBundleIDs", {"a", 1}}}).excludedBundleIDs(),
              Settings::defaultExcludedBundleIDs());
    EXPECT_EQ(load({{"excludedBundleIDs", "a"}}).excludedBundleIDs(), Settings::defaultExcludedBundleIDs());
}

TEST_F(SettingsTest, EveryAssignmentWritesAndAnnouncesButOnlyAChangeTellsWhatIsBound) {
    // Given a store whose maxVisible is already 12, watched by an observer and a signal spy
    Settings& s = load({{"maxVisible", 12}});
    QStringList announced;
    const ObserverToken token =
        notifications.addObserver(Settings::didChangeNotification,
                                  [&](const Notification& n) { announced.append(n.object.toString()); });
    QSignalSpy changed(&s, &Settings::changed);

    // When it is assigned 12 twice, then 13
    s.setMaxVisible(12);
    s.setMaxVisible(12);
    s.setMaxVisible(13);
    scheduler.advance(Seconds(1));

    // Then each assignment was announced with the key, only the change was signalled to what is
    // bound to the key, and the value was written
    EXPECT_EQ(announced, (QStringList{"maxVisible", "maxVisible", "maxVisible"}));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("maxVisible"));
    EXPECT_EQ(file->saveCount, 1);
    EXPECT_EQ(file->document, (Json{{"maxVisible", 13}}));
}

TEST_F(SettingsTest, ReceiversSeeTheNewValueInMemoryAndInTheDefaults) {
    // Given an observer and a signal receiver that read the value back while being told
    Settings& s = load();
    std::vector<std::pair<qint64, Json>> seen;
    const ObserverToken token =
        notifications.addObserver(Settings::didChangeNotification, [&](const Notification&) {
            seen.emplace_back(s.clipboardLimit(), *defaults->object("clipboardLimit"));
        });
    QObject::connect(&s, &Settings::changed, [&](const QString&) {
        seen.emplace_back(s.clipboardLimit(), *defaults->object("clipboardLimit"));
    });

    // When the value is assigned
    s.setClipboardLimit(200);

    // Then both saw the new value everywhere
    const std::vector<std::pair<qint64, Json>> expected{{200, Json(200)}, {200, Json(200)}};
    EXPECT_EQ(seen, expected);
}

TEST_F(SettingsTest, SharedInstanceIsClearedWhenItGoes) {
    Settings& s = load();
    Settings::setShared(&s);
    EXPECT_EQ(&Settings::shared(), &s);
    settings.reset();
    EXPECT_DEATH_IF_SUPPORTED(Settings::shared(), "setShared");
}
