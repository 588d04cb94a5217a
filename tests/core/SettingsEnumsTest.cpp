#include "core/SettingsEnums.h"
#include "core/AwakeMode.h"
#include "core/LayoutPreset.h"
#include "core/MouseScrollDirection.h"
#include "core/ShelfSort.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace corvane;

namespace {

// Every case reads back from its own raw value, and no two cases share one.
template <typename E> void expectRawValuesRoundTrip() {
    QSet<QString> seen;
    for (const E value : allCases<E>()) {
        const QString raw = rawValue(value);
        EXPECT_FALSE(raw.isEmpty());
        EXPECT_FALSE(seen.contains(raw)) << raw.toStdString();
        seen.insert(raw);
        EXPECT_EQ(fromRawValue<E>(raw), value) << raw.toStdString();
    }
}

} // namespace

TEST(SettingsEnums, EveryCaseRoundTripsThroughItsRawValue) {
    expectRawValuesRoundTrip<SidebarEdge>();
    expectRawValuesRoundTrip<SidebarDisplay>();
    expectRawValuesRoundTrip<WindowScope>();
    expectRawValuesRoundTrip<ThumbnailSize>();
    expectRawValuesRoundTrip<WindowOrdering>();
    expectRawValuesRoundTrip<PanelStyle>();
    expectRawValuesRoundTrip<AccentChoice>();
    expectRawValuesRoundTrip<RadialTrigger>();
    expectRawValuesRoundTrip<RadialCenterAction>();
    expectRawValuesRoundTrip<RadialTarget>();
    expectRawValuesRoundTrip<LayoutPreset>();
    expectRawValuesRoundTrip<AwakeMode>();
    expectRawValuesRoundTrip<MouseScrollDirection>();
    expectRawValuesRoundTrip<ShelfSort>();
}

TEST(SettingsEnums, ConstructionTakesOnlyTheExactRawValue) {
    EXPECT_EQ(fromRawValue<SidebarEdge>("right"), SidebarEdge::right);
    for (const char* nearMiss : {"Right", " right", "right ", "RIGHT", ""})
        EXPECT_EQ(fromRawValue<SidebarEdge>(nearMiss), std::nullopt) << nearMiss;

    EXPECT_EQ(fromRawValue<RadialCenterAction>("almostMaximize"), RadialCenterAction::almostMaximize);
    for (const char* nearMiss : {"almost Maximize", "almost maximize", "AlmostMaximize", "almostmaximize"})
        EXPECT_EQ(fromRawValue<RadialCenterAction>(nearMiss), std::nullopt) << nearMiss;
}

TEST(SettingsEnums, RawValuesAndCaseOrderAreThePersistentSpelling) {
    EXPECT_EQ(rawValue(AccentChoice::lumenForge), "lumenForge");
    EXPECT_EQ(rawValue(RadialCenterAction::none), "none");
    EXPECT_EQ(rawValue(AwakeMode::lidClosed), "lidClosed");
    EXPECT_EQ(rawValue(LayoutPreset::sixtyForty), "sixtyForty");
    EXPECT_EQ(rawValue(WindowScope::sidebarDisplay), "sidebarDisplay");

    const std::array expected{RadialTrigger::fn, RadialTrigger::rightOption, RadialTrigger::rightCommand,
                              RadialTrigger::rightControl};
    EXPECT_EQ(allCases<RadialTrigger>(), expected);
    EXPECT_EQ(allCases<ThumbnailSize>()[1], ThumbnailSize::medium);
}
