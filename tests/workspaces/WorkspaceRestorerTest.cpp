#include "workspaces/WorkspaceRestorer.h"
#include "core/Settings.h"
#include "platform/fake/FakePlatform.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "snapping/LayoutFrames.h"
#include "windows/AXWindowService.h"
#include "workspaces/Workspace.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace corvane;

namespace {

constexpr int32_t ownPID = 4242;
constexpr int32_t termPID = 100;

QCoro::Task<> collect(QCoro::Task<RestoreResult> task, std::optional<RestoreResult>& out) {
    out = co_await std::move(task);
}

FakeAXWindow window(uint32_t number, QString title, QRectF frame = {0, 0, 300, 200}) {
    FakeAXWindow made;
    made.number = number;
    made.title = std::move(title);
    made.frame = frame;
    return made;
}

WorkspaceItem item(const QString& bundleID, QRectF relative, std::optional<QString> title = std::nullopt) {
    WorkspaceItem made;
    made.id = QUuid::createUuid();
    made.bundleID = bundleID;
    made.appName = bundleID.toUpper();
    made.titleContains = std::move(title);
    made.relativeFrame = relative;
    made.screenID = QStringLiteral("Main");
    return made;
}

class WorkspaceRestorerTest : public ::testing::Test {
protected:
    WorkspaceRestorerTest() {
        // One screen whose usable area is (0, 25, 800, 600).
        platform.fakeScreens->setScreens({ScreenInfo{QStringLiteral("Main"), QRectF(0, 0, 800, 625),
                                                     QRectF(0, 25, 800, 600), 1, std::nullopt}});
        platform.fakeRunningApplications->add(termPID, QStringLiteral("Term"), QStringLiteral("term"));
    }

    // Runs the restore on virtual time until it returns (or a minute passes).
    RestoreResult restore(Workspace workspace) {
        std::optional<RestoreResult> out;
        collect(restorer.restore(std::move(workspace)), out);
        for (int i = 0; i < 600 && !out; ++i)
            scheduler.advance(Seconds(0.1));
        EXPECT_TRUE(out);
        return out.value_or(RestoreResult{});
    }
    Workspace workspace(std::vector<WorkspaceItem> items) {
        Workspace made;
        made.id = QUuid::createUuid();
        made.name = QStringLiteral("W");
        made.items = std::move(items);
        return made;
    }
    QRectF frameOf(int32_t pid, uint32_t number) {
        return platform.fakeAccessibility->window(pid, number)->frame;
    }
    std::vector<QString> writesStarting(const QString& prefix) {
        std::vector<QString> result;
        for (const QString& w : platform.fakeAccessibility->writes())
            if (w.startsWith(prefix))
                result.push_back(w);
        return result;
    }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    ManualExecutor queue;
    FakePlatform platform{scheduler};
    Settings settings{*platform.defaults, notifications};
    AXWindowService ax{*platform.accessibility, queue, scheduler, ownPID};
    WorkspaceRestorer restorer{ax, settings, Seconds(8.0), [](const ScreenInfo& s) { return s.visibleFrame; },
                               WorkspaceRestorer::Services{*platform.runningApplications, *platform.launcher,
                                                           *platform.screens, scheduler}};
};

} // namespace

TEST_F(WorkspaceRestorerTest, StartsAMissingProgramWaitsForItsWindowAndPlacesEveryWindow) {
    // Given a running terminal with two windows and an installed viewer that is not running,
    // whose window shows up a second after it starts
    platform.fakeAccessibility->addWindow(termPID, window(1, QStringLiteral("build")));
    platform.fakeAccessibility->addWindow(termPID, window(2, QStringLiteral("logs")));
    platform.fakeLauncher->installed.insert(QStringLiteral("viewer"), QStringLiteral("/apps/viewer.desktop"));
    TimerHandle appears;
    platform.fakeLauncher->onLaunch = [&](const QString&) {
        platform.fakeRunningApplications->add(300, QStringLiteral("Viewer"), QStringLiteral("viewer"));
        appears = scheduler.schedule(Seconds(1), [&] {
            platform.fakeAccessibility->addWindow(300, window(9, QStringLiteral("image")));
        });
        return ApplicationLauncher::Outcome{300, {}};
    };
    const Workspace saved =
        workspace({item("term", QRectF(0, 0, 0.5, 1), QStringLiteral("logs")),
                   item("term", QRectF(0.5, 0, 0.5, 0.5)), item("viewer", QRectF(0.5, 0.5, 0.5, 0.5))});

    // When it is restored
    const Instant start = scheduler.now();
    const RestoreResult result = restore(saved);

    // Then the viewer was started once, the title fragment picked the "logs" window, every window
    // sits at its relative frame, the first item's window was raised last, and the windows were
    // moved a second time after the launch
    EXPECT_EQ(result.launched, 1);
    EXPECT_EQ(result.placed, 3);
    EXPECT_TRUE(result.missingApps.isEmpty());
    ASSERT_EQ(platform.fakeLauncher->launches.size(), 1u);
    EXPECT_EQ(platform.fakeLauncher->launches[0].location, QStringLiteral("/apps/viewer.desktop"));
    EXPECT_EQ(frameOf(termPID, 2), QRectF(0, 25, 400, 600));
    EXPECT_EQ(frameOf(termPID, 1), QRectF(400, 25, 400, 300));
    EXPECT_EQ(frameOf(300, 9), QRectF(400, 325, 400, 300));
    EXPECT_EQ(writesStarting(QStringLiteral("raise")),
              (std::vector<QString>{QStringLiteral("raise 9"), QStringLiteral("raise 1"),
                                    QStringLiteral("raise 2")}));
    EXPECT_EQ(writesStarting(QStringLiteral("position 9")).size(), 2u);
    EXPECT_GE(scheduler.now() - start, toInstant(Seconds(1.7)));
}

TEST_F(WorkspaceRestorerTest,
       AWindowGoesBackToThePixelsItWasSavedAtAndAFractionalFrameToTheRectangleHoldingIt) {
    platform.fakeAccessibility->addWindow(termPID, window(1, QStringLiteral("a")));
    platform.fakeAccessibility->addWindow(termPID, window(2, QStringLiteral("b")));
    // 7 and 55 of 800, 42 and 110 of 600 do not come back exactly from their fractions
    const QRectF area(0, 25, 800, 600);
    const QRectF saved(7, 25 + 42, 55, 110);
    restore(workspace({item("term", relativeUnitRect(saved, area), QStringLiteral("a")),
                       item("term", QRectF(0.10001, 0.5, 0.25, 0.25), QStringLiteral("b"))}));
    EXPECT_EQ(frameOf(termPID, 1), saved);
    EXPECT_EQ(frameOf(termPID, 2), QRectF(80, 325, 201, 150));
}

TEST_F(WorkspaceRestorerTest, MissingProgramsAndWindowsAreReported) {
    // Given a program that is not installed (two items), one that starts but never shows a window,
    // and a running terminal with one window for three items
    platform.fakeAccessibility->addWindow(termPID, window(1, QStringLiteral("shell")));
    platform.fakeLauncher->installed.insert(QStringLiteral("silent"), QStringLiteral("/apps/silent.desktop"));
    const Workspace saved = workspace({item("gone", QRectF(0, 0, 1, 1)), item("gone", QRectF(0, 0, 1, 1)),
                                       item("silent", QRectF(0, 0, 1, 1)), item("term", QRectF(0, 0, 1, 1)),
                                       item("term", QRectF(0, 0, 1, 1)), item("term", QRectF(0, 0, 1, 1))});

    const Instant start = scheduler.now();
    const RestoreResult result = restore(saved);

    // Then the missing program is named once, the silent one and the two windowless terminal items
    // once each; only the silent one was started, once, and the wait ran to the timeout
    EXPECT_EQ(result.placed, 1);
    EXPECT_EQ(result.launched, 1);
    EXPECT_EQ(result.missingApps, (QStringList{"GONE", "SILENT", "TERM", "TERM"}));
    EXPECT_EQ(platform.fakeLauncher->launches.size(), 1u);
    const Instant waited = scheduler.now() - start;
    EXPECT_GE(waited, toInstant(Seconds(8.0)));
    EXPECT_LT(waited, toInstant(Seconds(9.5)));
}

TEST_F(WorkspaceRestorerTest, TheWaitEndsWhenEveryProgramShowsASteadyNumberOfWindows) {
    // Given a terminal that shows one eligible window, a too narrow one and a panel
    platform.fakeAccessibility->addWindow(termPID, window(1, QStringLiteral("shell")));
    platform.fakeAccessibility->addWindow(termPID,
                                          window(2, QStringLiteral("narrow"), QRectF(0, 0, 79, 300)));
    FakeAXWindow panel = window(3, QStringLiteral("panel"));
    panel.subrole = QStringLiteral("AXFloatingWindow");
    platform.fakeAccessibility->addWindow(termPID, panel);

    const Instant start = scheduler.now();
    const RestoreResult result =
        restore(workspace({item("term", QRectF(0, 0, 1, 1)), item("term", QRectF(0, 0, 1, 1))}));

    // Then only the eligible window is placed, and the wait ends soon after the settle time
    EXPECT_EQ(result.placed, 1);
    EXPECT_EQ(result.missingApps, QStringList{"TERM"});
    EXPECT_LT(scheduler.now() - start, toInstant(Seconds(2.5)));
    EXPECT_EQ(frameOf(termPID, 2), QRectF(0, 0, 79, 300));
}

TEST_F(WorkspaceRestorerTest, ALayoutKeepsTheSlotsOfWindowsThatWereNotFound) {
    // Given three items, of which the second program never shows a window
    platform.fakeAccessibility->addWindow(termPID, window(1, QStringLiteral("a")));
    platform.fakeRunningApplications->add(200, QStringLiteral("Empty"), QStringLiteral("empty"));
    platform.fakeRunningApplications->add(201, QStringLiteral("Other"), QStringLiteral("other"));
    platform.fakeAccessibility->addWindow(201, window(5, QStringLiteral("b")));
    Workspace saved = workspace({item("term", QRectF(0, 0, 1, 1)), item("empty", QRectF(0, 0, 1, 1)),
                                 item("other", QRectF(0, 0, 1, 1))});
    saved.layout = LayoutPreset::thirds;

    const RestoreResult result = restore(saved);

    const auto expected = frames(LayoutPreset::thirds, 3, QRectF(0, 25, 800, 600), settings.layoutGap());
    ASSERT_EQ(expected.size(), 3u);
    EXPECT_EQ(result.placed, 2);
    EXPECT_EQ(frameOf(termPID, 1), expected[0]);
    EXPECT_EQ(frameOf(201, 5), expected[2]);
    // The windowless program was asked once to show its windows, never started again
    EXPECT_EQ(std::count(platform.fakeRunningApplications->unhidden.begin(),
                         platform.fakeRunningApplications->unhidden.end(), 200),
              1);
    EXPECT_TRUE(platform.fakeLauncher->launches.empty());
}

TEST_F(WorkspaceRestorerTest, HidingOthersSparesTheWorkspaceThisProgramAndNonRegularPrograms) {
    settings.setHideOthersOnRestore(true);
    platform.fakeAccessibility->addWindow(termPID, window(1, QStringLiteral("a")));
    platform.fakeRunningApplications->add(200, QStringLiteral("Mail"), QStringLiteral("mail"));
    platform.fakeRunningApplications->add(201, QStringLiteral("Empty"),
                                          QStringLiteral("empty")); // in the workspace
    platform.fakeRunningApplications->add(202, QStringLiteral("Dock"), QStringLiteral("dock")).regular =
        false;
    platform.fakeRunningApplications->add(ownPID, QStringLiteral("Self"), QStringLiteral("corvane"));
    platform.fakeRunningApplications->add(203, QStringLiteral("No id"));
    platform.fakeRunningApplications->add(204, QStringLiteral("Hidden one"), QStringLiteral("hidden"))
        .isHidden = true;

    restore(workspace({item("term", QRectF(0, 0, 1, 1)), item("empty", QRectF(0, 0, 1, 1))}));

    std::vector<int32_t> hidden = platform.fakeRunningApplications->hidden;
    std::sort(hidden.begin(), hidden.end());
    EXPECT_EQ(hidden, (std::vector<int32_t>{200, 203, 204}));
}

TEST_F(WorkspaceRestorerTest, LaunchInputSplitsExistingPathsFromArguments) {
    const QString home = QDir::homePath();
    platform.fakeLauncher->installed.insert(QStringLiteral("editor"), QStringLiteral("/apps/editor.desktop"));
    WorkspaceItem editor = item("editor", QRectF(0, 0, 1, 1));
    editor.appPath = QStringLiteral("/no/such/editor.desktop");
    editor.launchArgs = QStringList{QStringLiteral("~"), QStringLiteral("--new"), QStringLiteral("~")};

    EXPECT_EQ(restorer.launchApp(editor), 9000);
    ASSERT_EQ(platform.fakeLauncher->launches.size(), 1u);
    const auto& launch = platform.fakeLauncher->launches[0];
    EXPECT_EQ(launch.location, QStringLiteral("/apps/editor.desktop"));
    EXPECT_EQ(launch.documents, (QStringList{home, home}));
    EXPECT_EQ(launch.arguments, QStringList{QStringLiteral("--new")});

    // A program that is not installed, and one whose start fails, give nothing
    EXPECT_FALSE(restorer.launchApp(item("gone", QRectF(0, 0, 1, 1))));
    platform.fakeLauncher->failures.insert(QStringLiteral("/apps/editor.desktop"), QStringLiteral("no exec"));
    EXPECT_FALSE(restorer.launchApp(editor));
}
