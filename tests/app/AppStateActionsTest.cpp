#include "support/AppFixture.h"

#include "core/AppIcons.h"
#include "core/ToastController.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeRunningApplications.h"
#include "platform/fake/FakeWindowList.h"

#include "support/FakeWindows.h"
#include "windows/WindowService.h"
#include "workspaces/WorkspaceManager.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gmock/gmock.h>

namespace corvane::testing {
namespace {

const ScreenInfo mainDisplay{"DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 30, 1920, 1050), 1u, std::nullopt};
const ScreenInfo sideDisplay{"DP-2", QRectF(1920, 0, 1280, 1024), QRectF(1920, 0, 1280, 1024), 2u,
                             std::nullopt};

class AppStateActionsTest : public AppFixture {
protected:
    AppStateActionsTest() {
        platform->fakePermissions->accessibility = true;
        platform->fakeScreens->setScreens({mainDisplay, sideDisplay});
        platform->fakeScreens->setPointer(QPointF(100, 100));
        buildState();
    }

    // A window of a running program, listed on screen and known to window access.
    void addWindow(int32_t pid, uint32_t id, const QString& app, QRectF frame, QString title = {}) {
        corvane::testing::addWindow(*platform, {.pid = pid,
                                                .id = id,
                                                .frame = frame,
                                                .title = title,
                                                .app = app,
                                                .bundleID = QStringLiteral("org.example.") + app,
                                                .namesOwner = true});
    }
    void refresh() { state->windows().refresh(true); }
    QString lastToast() { return state->toast().lastMessage(); }
};

TEST_F(AppStateActionsTest, UsableFrameIsTheVisibleFrameWhileTheStripReservesNothing) {
    EXPECT_EQ(state->usableFrame(mainDisplay), QRectF(0, 30, 1920, 1050));
    EXPECT_EQ(state->usableFrame(sideDisplay), sideDisplay.visibleFrame);
}

TEST_F(AppStateActionsTest, FocusingAWindowMovesItToTheFrontAtOnceAndRaisesIt) {
    addWindow(100, 1, "Editor", QRectF(0, 40, 800, 600));
    addWindow(200, 2, "Terminal", QRectF(100, 100, 800, 600));
    refresh();
    ASSERT_EQ(state->windows().windows().size(), 2u);
    const WindowInfo behind = state->windows().windows().back();

    scheduler.advance(Seconds(5));
    state->focusWindow(behind);

    EXPECT_EQ(state->windows().windows().front().windowID, behind.windowID);
    EXPECT_THAT(platform->fakeAccessibility->writes(),
                ::testing::Contains(QStringLiteral("raise %1").arg(behind.windowID)));
    // Brought to the front with its window: no separate activation of the program.
    EXPECT_TRUE(platform->fakeRunningApplications->activated.empty());
}

TEST_F(AppStateActionsTest, AClosedWindowsPictureIsForgottenWhileItsProgramRunsOn) {
    addWindow(100, 1, "Editor", QRectF(0, 40, 800, 600));
    addWindow(100, 2, "Editor", QRectF(100, 100, 800, 600));
    refresh();
    const auto lookedUp = [&] {
        state->icons().appIconForWindow(2, 100, std::nullopt);
        return platform->fakeApplications->windowLookups;
    };
    const int once = lookedUp();
    EXPECT_EQ(lookedUp(), once);
    platform->fakeWindowList->setEntries({platform->fakeWindowList->entries().front()});
    refresh();
    EXPECT_EQ(lookedUp(), once + 1);
}

TEST_F(AppStateActionsTest, FocusUnhidesAHiddenProgramAndActivatesOneWhoseWindowCannotBeFound) {
    addWindow(100, 1, "Editor", QRectF(0, 40, 800, 600));
    refresh();
    platform->fakeRunningApplications->apps[100].isHidden = true;
    WindowInfo gone = state->windows().windows().front();
    gone.windowID = 99; // no such window any more

    state->focusWindow(gone);

    EXPECT_EQ(platform->fakeRunningApplications->unhidden, std::vector<int32_t>{100});
    EXPECT_EQ(platform->fakeRunningApplications->activated, std::vector<int32_t>{100});
}

TEST_F(AppStateActionsTest, MinimiseTogglesAndCloseWaitsBeforeTheForcedRefresh) {
    addWindow(100, 1, "Editor", QRectF(0, 40, 800, 600));
    refresh();
    WindowInfo window = state->windows().windows().front();

    state->setMinimized(window);
    window.isMinimized = true;
    state->setMinimized(window);
    EXPECT_THAT(
        platform->fakeAccessibility->writes(),
        ::testing::ElementsAre(QStringLiteral("minimized 1 true"), QStringLiteral("minimized 1 false")));

    const int before = state->windows().refreshCount();
    state->closeWindow(window);
    EXPECT_EQ(state->windows().refreshCount(), before);
    scheduler.advance(Seconds(0.15));
    EXPECT_EQ(state->windows().refreshCount(), before + 1);
}

TEST_F(AppStateActionsTest, SavedWorkspacesAreNamedColouredAndGivenSlotsInTurn) {
    addWindow(100, 1, "Safari", QRectF(0, 40, 800, 600));
    addWindow(200, 2, "Mail", QRectF(100, 100, 800, 600));
    addWindow(300, 3, "Notes", QRectF(200, 200, 800, 600));
    refresh();
    // A window with no program identity is not saved and does not name the workspace
    std::vector<WindowInfo> windows = state->windows().windows();
    WindowInfo unnamed = windows.front();
    unnamed.windowID = 4;
    unnamed.appName = "Stray";
    unnamed.bundleID.reset();
    windows.insert(windows.begin() + 1, unnamed);

    state->saveWorkspace(windows);
    ASSERT_EQ(state->workspaces().workspaces().size(), 1u);
    const Workspace& first = state->workspaces().workspaces().front();
    EXPECT_EQ(first.name.toStdString(), "Safari + Mail +1");
    EXPECT_EQ(first.colorHex.toStdString(), "#D22027");
    EXPECT_EQ(first.hotkeyIndex, 1);
    EXPECT_EQ(first.items.size(), 3u);
    EXPECT_EQ(lastToast().toStdString(), "Saved \u201CSafari + Mail +1\u201D \u2014 Alt+1");

    for (int i = 1; i < 10; ++i)
        state->saveWorkspace({state->windows().windows().front()});
    const Workspace& tenth = state->workspaces().workspaces().back();
    EXPECT_EQ(tenth.colorHex.toStdString(), "#D22027"); // the palette starts over
    EXPECT_FALSE(tenth.hotkeyIndex.has_value());        // all nine slots are taken

    state->saveWorkspace({});
    EXPECT_EQ(lastToast().toStdString(), "No windows to save");
}

TEST_F(AppStateActionsTest, CurrentScreenWindowsTakesThePointersScreenElseEveryScreen) {
    addWindow(100, 1, "Editor", QRectF(0, 40, 800, 600));
    addWindow(200, 2, "Terminal", QRectF(2000, 100, 800, 600));
    std::vector<WindowInfo> taken;
    auto collect = [&]() -> QCoro::Task<void> { taken = co_await state->currentScreenWindows(); };

    collect();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken.front().windowID, 1u);

    platform->fakeScreens->setPointer(QPointF(3100, 1000)); // on the side display, away from its window
    platform->fakeWindowList->setEntries({platform->fakeWindowList->entries().front()});
    collect();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken.front().windowID, 1u);
}

TEST_F(AppStateActionsTest, RestoringReportsTheOutcomeAndAnEmptySlotSaysSo) {
    Workspace mail;
    mail.id = QUuid::createUuid();
    mail.name = "Mail";
    mail.hotkeyIndex = 2;
    state->workspaces().add(mail);

    state->restoreSlot(2);
    EXPECT_EQ(lastToast().toStdString(), "\u201CMail\u201D \u2014 0 windows");
    EXPECT_FALSE(state->workspaces().restoringID().has_value());

    state->restoreSlot(5);
    EXPECT_EQ(lastToast().toStdString(), "No workspace on slot 5");
}

TEST_F(AppStateActionsTest, ARestoreWhileAnyOtherRunsIsDroppedSilentlyAndItsEndClearsTheMark) {
    // Given a restore that waits for the window of a program that cannot be found
    Workspace waiting;
    waiting.id = QUuid::createUuid();
    waiting.name = "Waiting";
    WorkspaceItem item;
    item.id = QUuid::createUuid();
    item.bundleID = "org.example.Missing";
    waiting.items.push_back(item);
    Workspace quick;
    quick.id = QUuid::createUuid();
    quick.name = "Quick";
    state->workspaces().add(waiting);
    state->workspaces().add(quick);
    state->restoreWorkspace(waiting);
    ASSERT_EQ(state->workspaces().restoringID(), waiting.id);

    // Another workspace, and the same one again, are dropped without a toast
    state->toast().show("-", "-");
    state->restoreWorkspace(quick);
    state->restoreWorkspace(waiting);
    EXPECT_EQ(lastToast().toStdString(), "-");
    EXPECT_EQ(state->workspaces().restoringID(), waiting.id);

    // The running one finishes once and its end clears the mark
    int reports = 0;
    for (int i = 0; i < 200; ++i) {
        scheduler.advance(Seconds(0.25));
        if (lastToast() != "-")
            ++reports, state->toast().show("-", "-");
    }
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(state->workspaces().restoringID().has_value());
    // The store on disk is shared by the tests of this program: leave it empty
    state->workspaces().remove(waiting.id);
    state->workspaces().remove(quick.id);
    scheduler.advance(Seconds(5));
}

TEST_F(AppStateActionsTest, UpdatingAWorkspaceTakesTheWindowsOnScreenNowEvenNone) {
    addWindow(100, 1, "Safari", QRectF(0, 40, 800, 600));
    refresh();
    state->saveWorkspace(state->windows().windows());
    const QUuid id = state->workspaces().workspaces().front().id;

    // Another program's window on the pointer's screen and one on the side display
    addWindow(200, 2, "Mail", QRectF(100, 100, 800, 600));
    addWindow(300, 3, "Notes", QRectF(2000, 100, 800, 600));
    state->updateWorkspace(id);
    std::vector<QString> apps;
    const Workspace updated = *state->workspaces().workspace(id);
    for (const WorkspaceItem& item : updated.items)
        apps.push_back(item.appName.value_or(QString()));
    EXPECT_THAT(apps, ::testing::UnorderedElementsAre(QStringLiteral("Safari"), QStringLiteral("Mail")));
    EXPECT_EQ(lastToast().toStdString(), "Updated \u201CSafari\u201D");

    // No windows left: the workspace is stored empty and still reported as updated
    platform->fakeWindowList->setEntries({});
    state->toast().show(QStringLiteral("-"), QString());
    state->updateWorkspace(id);
    EXPECT_TRUE(state->workspaces().workspace(id)->items.empty());
    EXPECT_EQ(lastToast().toStdString(), "Updated \u201CSafari\u201D");

    // An unknown workspace changes nothing and says nothing
    state->toast().show(QStringLiteral("-"), QString());
    state->updateWorkspace(QUuid::createUuid());
    EXPECT_EQ(lastToast(), QStringLiteral("-"));
}

TEST_F(AppStateActionsTest, AddingAWindowKeepsATitleHintOnlyWhenItsProgramHasOtherWindows) {
    addWindow(100, 1, "Safari", QRectF(0, 40, 800, 600), QStringLiteral("Bank \u2014 Safari"));
    addWindow(100, 2, "Safari", QRectF(100, 100, 800, 600), QStringLiteral("News \u2014 Safari"));
    addWindow(200, 3, "Mail", QRectF(200, 200, 800, 600), QStringLiteral("Inbox"));
    refresh();
    Workspace work;
    work.id = QUuid::createUuid();
    work.name = "Work";
    state->workspaces().add(work);

    state->addWindowToWorkspace(1, work.id);
    state->addWindowToWorkspace(3, work.id);
    const std::vector<WorkspaceItem> items = state->workspaces().workspace(work.id)->items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].titleContains, QStringLiteral("Bank"));
    EXPECT_FALSE(items[1].titleContains.has_value());
    EXPECT_EQ(lastToast().toStdString(), "Added Mail to \u201CWork\u201D");

    // A window or workspace that is gone stops it silently
    state->toast().show(QStringLiteral("-"), QString());
    state->addWindowToWorkspace(99, work.id);
    state->addWindowToWorkspace(1, QUuid::createUuid());
    EXPECT_EQ(lastToast(), QStringLiteral("-"));
    EXPECT_EQ(state->workspaces().workspace(work.id)->items.size(), 2u);
}

TEST_F(AppStateActionsTest, AWorkspaceTheFileWillNotKeepIsNeverAnnouncedAsSaved) {
    // Given a workspaces file written by a newer version: it is kept and nothing is saved
    const QString path = WorkspaceStore::defaultFileURL();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"version\": 7, \"workspaces\": []}");
    file.close();
    state.reset();
    buildState();
    addWindow(100, 1, "Safari", QRectF(0, 40, 800, 600));
    refresh();

    state->saveWorkspace(state->windows().windows());
    EXPECT_EQ(lastToast(), WorkspaceManager::savesRefusedMessage());
    QFile::remove(path);
}

TEST_F(AppStateActionsTest, AWorkspaceThatCouldNotBeWrittenIsNamedWithTheReasonAndLandsLater) {
    // Given a data folder whose place is taken by a file: nothing can be written
    const QString blocker = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Corvane");
    QDir().mkpath(qEnvironmentVariable("XDG_DATA_HOME"));
    ASSERT_TRUE(QFile(blocker).open(QIODevice::WriteOnly));
    state.reset();
    buildState();
    addWindow(100, 1, "Safari", QRectF(0, 40, 800, 600));
    refresh();

    // When a workspace is saved: the failure is named, never "Saved", and the workspace is kept
    state->saveWorkspace(state->windows().windows());
    EXPECT_TRUE(lastToast().startsWith(QStringLiteral("Could not save \u201CSafari\u201D: ")))
        << qPrintable(lastToast());
    EXPECT_TRUE(lastToast().contains(QStringLiteral("not a folder"))) << qPrintable(lastToast());
    EXPECT_EQ(state->workspaces().workspaces().size(), 1u);

    // Then once the folder can be made, the retry writes it without another change
    QFile::remove(blocker);
    scheduler.advance(WorkspaceManager::retryInterval);
    EXPECT_TRUE(QFile::exists(WorkspaceStore::defaultFileURL()));
}

} // namespace
} // namespace corvane::testing
