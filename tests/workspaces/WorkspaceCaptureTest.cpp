#include "support/AppFixture.h"
#include "workspaces/WorkspaceManager.h"

#include <gtest/gtest.h>

using namespace corvane;
using corvane::testing::AppFixture;

namespace {

WindowInfo window(uint32_t id, std::optional<QString> bundleID, QString title, QRectF frame) {
    WindowInfo made;
    made.windowID = id;
    made.pid = static_cast<int32_t>(id);
    made.bundleID = std::move(bundleID);
    made.appName = QStringLiteral("App");
    made.title = std::move(title);
    made.frame = frame;
    return made;
}

class WorkspaceCaptureTest : public AppFixture {};

} // namespace

TEST_F(WorkspaceCaptureTest, ItemsKeepInputOrderAndOnlySharedProgramsGetATitleHint) {
    platform->fakeScreens->setScreens({ScreenInfo{QStringLiteral("Main"), QRectF(0, 0, 1000, 800),
                                                  QRectF(0, 0, 1000, 800), 1, std::nullopt}});
    platform->fakeLauncher->installed.insert(QStringLiteral("editor"),
                                             QStringLiteral("/apps/editor.desktop"));
    // The viewer has no desktop entry: its location is the program that shows its window
    platform->fakeLauncher->programsByWindow.insert(3, QStringLiteral("/usr/bin/viewer"));
    AppState& state = buildState();
    state.settings().setReserveSidebarSpace(false);

    const std::vector<WindowInfo> windows{
        window(1, QStringLiteral("editor"), QStringLiteral("notes.txt - App"), QRectF(0, 0, 500, 400)),
        window(2, std::nullopt, QStringLiteral("nameless"), QRectF(0, 0, 100, 100)),
        window(3, QStringLiteral("viewer"), QStringLiteral("photo.png - App"), QRectF(500, 400, 500, 400)),
        window(4, QStringLiteral("editor"), QStringLiteral("todo.txt - App"), QRectF(-100, 0, 200, 2000)),
    };
    const auto items = WorkspaceManager::captureCurrentWindows(windows, state.captureContext());

    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].bundleID, QStringLiteral("editor"));
    EXPECT_EQ(items[1].bundleID, QStringLiteral("viewer"));
    EXPECT_EQ(items[2].bundleID, QStringLiteral("editor"));
    EXPECT_TRUE(items[0].titleContains.has_value());
    EXPECT_TRUE(items[2].titleContains.has_value());
    EXPECT_NE(items[0].titleContains, items[2].titleContains);
    EXPECT_FALSE(items[1].titleContains.has_value());
    EXPECT_EQ(items[1].relativeFrame, QRectF(0.5, 0.5, 0.5, 0.5));
    EXPECT_EQ(items[2].relativeFrame, QRectF(0, 0, 0.2, 1));
    EXPECT_EQ(items[0].appPath, QStringLiteral("/apps/editor.desktop"));
    EXPECT_EQ(items[1].appPath, QStringLiteral("/usr/bin/viewer"));
    EXPECT_FALSE(items[1].launchArgs.has_value());
    EXPECT_EQ(items[0].screenID, QStringLiteral("Main"));
    EXPECT_NE(items[0].id, items[2].id);
}

TEST_F(WorkspaceCaptureTest, AWindowOnNoScreenIsSavedForTheScreenUnderThePointer) {
    platform->fakeScreens->setScreens({ScreenInfo{QStringLiteral("Main"), QRectF(0, 0, 1000, 800),
                                                  QRectF(0, 0, 1000, 800), 1, std::nullopt},
                                       ScreenInfo{QStringLiteral("Side"), QRectF(1000, 0, 1000, 800),
                                                  QRectF(1000, 0, 1000, 800), 2, std::nullopt}});
    platform->fakeScreens->setPointer(QPointF(1500, 400));
    AppState& state = buildState();
    const auto items = WorkspaceManager::captureCurrentWindows(
        {window(1, QStringLiteral("editor"), QStringLiteral("notes"), QRectF(5000, 5000, 100, 80))},
        state.captureContext());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].screenID, QStringLiteral("Side"));
}
