#include "support/AppFixture.h"

#include "app/MenuBarExtra.h"
#include "app/MenuBarMenu.h"
#include "core/Settings.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

class MenuBarExtraTest : public AppFixture {};

TEST_F(MenuBarExtraTest, ALeftClickOpensTheMenuAndTheIconFollowsItsPreferenceBothWays) {
    buildState();
    MenuBarExtra extra(*state);
    FakeTrayIcon* icon = platform->fakeTray->icon(QStringLiteral("corvane"));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->toolTip(), QStringLiteral("Corvane"));
    icon->click();
    EXPECT_TRUE(extra.menu().isVisible());
    extra.menu().hide();

    settings->setShowMenuBarIcon(false);
    EXPECT_EQ(platform->fakeTray->icon(QStringLiteral("corvane")), nullptr);
    settings->setShowMenuBarIcon(true);
    icon = platform->fakeTray->icon(QStringLiteral("corvane"));
    ASSERT_NE(icon, nullptr);

    // Taken away by the user, it stays away across launches
    icon->removeByUser();
    QCoreApplication::processEvents();
    EXPECT_FALSE(settings->showMenuBarIcon());
    EXPECT_FALSE(extra.isInserted());
}

} // namespace
} // namespace corvane::testing
