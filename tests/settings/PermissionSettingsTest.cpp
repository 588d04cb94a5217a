#include "settings/SettingsPageFixture.h"

#include "core/PermissionManager.h"
#include "settings/AboutView.h"
#include "settings/FormSection.h"
#include "settings/PermissionSettings.h"
#include "settings/PermissionStatusRow.h"

#include <QLabel>
#include <QPushButton>

namespace corvane::testing {
namespace {

class PermissionSettingsTest : public SettingsPageFixture {
protected:
    int welcomes = 0;
    PermissionSettings page{state->permissions(), *platform->shell, *platform->host, true,
                            [this] { ++welcomes; }};
};

TEST_F(PermissionSettingsTest, RowsFollowAFreshReadingTakenWhenThePageShows) {
    // The two rows name what X11 needs, not another desktop's permissions
    EXPECT_EQ(page.accessibilityRow().title(), QStringLiteral("EWMH Window Manager"));
    EXPECT_EQ(page.screenRecordingRow().title(), QStringLiteral("Composite Extension"));
    EXPECT_FALSE(page.accessibilityRow().isGranted());
    EXPECT_EQ(page.accessibilityRow().statusSymbol(), "xmark.circle.fill");
    platform->fakePermissions->accessibility = true;
    platform->fakePermissions->screenCapture = true;
    background.setMode(ManualExecutor::Mode::stepped);
    show(page);
    // Showing started a check; a second showing while it runs starts none
    EXPECT_TRUE(state->permissions().checking());
    page.hide();
    page.show();
    EXPECT_EQ(background.pendingWork(), 1);
    background.drain();
    scheduler.runDue();
    EXPECT_TRUE(page.accessibilityRow().isGranted());
    EXPECT_TRUE(page.screenRecordingRow().isGranted());
    EXPECT_FALSE(page.accessibilityRow().allowButton().isVisible());
    EXPECT_EQ(page.screenRecordingRow().statusSymbol(), "checkmark.circle.fill");
    EXPECT_FALSE(page.screenRecordingRow().statusMark().pixmap().isNull());
    EXPECT_EQ(page.lidClosedSection().rowCount(), 1);

    page.findChild<QPushButton*>("showWelcomeScreen")->click();
    EXPECT_EQ(welcomes, 1);
    savePicture(page, "permissions");
}

TEST(AboutViewTest, TheVersionLineFallsBackWhenTheVersionIsUnset) {
    const QString version = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(AboutView::versionLine(), QStringLiteral("Version 1.0 (1)"));
    QCoreApplication::setApplicationVersion(version);
}

} // namespace
} // namespace corvane::testing
