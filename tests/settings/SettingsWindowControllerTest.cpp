#include "SettingsFixture.h"

#include "settings/HotkeySettings.h"
#include "settings/OnboardingWindowController.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsSidebar.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"
#include "workspaces/WorkspaceManager.h"

#include <QCoreApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace corvane::testing {
namespace {

class SettingsWindowControllerTest : public SettingsFixture {
protected:
    SettingsWindowControllerTest() { buildState(); }

    SettingsWindowController& controller() { return state->settingsWindow(); }
    SettingsWindow& window() { return *controller().window(); }
    SettingsTab shownPage() { return window().view().currentPage()->tab(); }
};

TEST_F(SettingsWindowControllerTest, FirstShowBuildsTheWindowOnGeneralCentredOnThePointersScreen) {
    // Given the pointer on the right-hand screen
    pointAt(right);

    // When the window is shown without naming a page
    controller().show(SettingsTab::keep);

    // Then it opens on General, fronted, centred on that screen and lifted
    ASSERT_NE(controller().window(), nullptr);
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Corvane Settings"));
    EXPECT_EQ(shownPage(), SettingsTab::general);
    EXPECT_EQ(window().size(), QSize(920, 640));
    EXPECT_EQ(window().minimumSize(), QSize(860, 560));
    // Placed before it first shows, when only its content size is known; later moves centre the frame
    EXPECT_EQ(window().pos(), centredOn(right, window().size()));
    EXPECT_EQ(platform->fakeHost->activateCount, 1);
}

TEST_F(SettingsWindowControllerTest, SelectionIsKeptByKeepShowsAndAcrossClosingTheWindow) {
    const QUuid workspace = QUuid::createUuid();
    QSignalSpy tabChanges(&controller().nav(), &SettingsNavigation::tabChanged);

    // Showing General while General is selected changes nothing
    controller().show(SettingsTab::general);
    EXPECT_EQ(tabChanges.count(), 0);

    // A page with a workspace, then a keep show without one, stays on both
    controller().show(SettingsTab::workspaces, workspace);
    controller().show(SettingsTab::keep);
    EXPECT_EQ(shownPage(), SettingsTab::workspaces);
    EXPECT_EQ(controller().nav().selectedWorkspace(), workspace);

    // When the window is closed it is let go, and the next show builds a new one on the same page
    QPointer<SettingsWindow> first = controller().window();
    first->close();
    EXPECT_EQ(controller().window(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    controller().show(SettingsTab::keep);
    ASSERT_NE(controller().window(), nullptr);
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(shownPage(), SettingsTab::workspaces);
    EXPECT_EQ(controller().nav().selectedWorkspace(), workspace);
}

TEST_F(SettingsWindowControllerTest, AnOpenWindowStaysOnThePointersScreenAndOtherwiseMovesThere) {
    controller().show(SettingsTab::keep);
    // Given the user moved the open window a little on the pointer's screen
    const QPoint moved = window().pos() + QPoint(120, 60);
    window().move(moved);

    // A show with the pointer on the same screen leaves it there
    controller().show(SettingsTab::mouse);
    EXPECT_EQ(window().pos(), moved);
    EXPECT_EQ(shownPage(), SettingsTab::mouse);

    // With the pointer on the other screen it moves there
    pointAt(right);
    controller().show(SettingsTab::keep);
    EXPECT_EQ(window().pos(), centredOn(right, window().frameGeometry().size()));

    // A window that is not visible is centred again, even on the pointer's own screen
    window().move(centredOn(right, window().frameGeometry().size()) + QPoint(40, 40));
    window().hide();
    controller().show(SettingsTab::keep);
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().pos(), centredOn(right, window().frameGeometry().size()));

    // A minimised window comes back, centred again like a hidden one
    window().move(centredOn(right, window().frameGeometry().size()) + QPoint(40, 40));
    window().showMinimized();
    controller().show(SettingsTab::keep);
    EXPECT_FALSE(window().isMinimized());
    EXPECT_EQ(window().pos(), centredOn(right, window().frameGeometry().size()));
}

TEST_F(SettingsWindowControllerTest, SidebarClicksSelectPagesAndAClickIntoEmptySpaceKeepsTheCurrentOne) {
    controller().show(SettingsTab::keep);
    QCoreApplication::processEvents();
    SettingsSidebar& sidebar = window().view().sidebar();
    ASSERT_EQ(sidebar.count(), 13);
    EXPECT_EQ(sidebar.item(1)->text(), QStringLiteral("Sidebar"));

    // Clicking a row selects its page
    QTest::mouseClick(sidebar.viewport(), Qt::LeftButton, {}, sidebar.rowRect(SettingsTab::layouts).center());
    EXPECT_EQ(controller().nav().tab(), SettingsTab::layouts);
    EXPECT_EQ(shownPage(), SettingsTab::layouts);
    EXPECT_EQ(window().view().currentPage()->title(), QStringLiteral("Layouts"));

    // Clicking below the last row keeps it selected
    const QPoint empty(sidebar.viewport()->width() / 2, sidebar.viewport()->height() - 4);
    ASSERT_GT(empty.y(), sidebar.rowRect(SettingsTab::about).bottom());
    QTest::mouseClick(sidebar.viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(controller().nav().tab(), SettingsTab::layouts);
    ASSERT_EQ(sidebar.selectedItems().size(), 1);
    EXPECT_EQ(sidebar.selectedItems().front()->text(), QStringLiteral("Layouts"));

    // Even a programmatic clear puts the page back
    sidebar.clearSelection();
    ASSERT_EQ(sidebar.selectedItems().size(), 1);
    EXPECT_EQ(shownPage(), SettingsTab::layouts);
}

TEST_F(SettingsWindowControllerTest, TheWorkspaceInvitationShowsBothSentencesWholeAtTheDefaultSize) {
    ASSERT_TRUE(state->workspaces().workspaces().empty());
    controller().show(SettingsTab::workspaces);
    ASSERT_EQ(window().size(), QSize(920, 640));
    QCoreApplication::processEvents();
    QLabel* invitation = nullptr;
    for (QLabel* label : window().findChildren<QLabel*>())
        if (label->isVisible() && label->text().startsWith("Arrange your windows"))
            invitation = label;
    ASSERT_NE(invitation, nullptr);
    const QStringList sentences = invitation->text().split('\n');
    ASSERT_EQ(sentences.size(), 2);
    EXPECT_EQ(sentences[1].toStdString(), "Restore the whole layout with one click or Alt+1\u2026Alt+9.");

    // What the label shows of itself, clipped by every widget around it up to the window
    QRect shown(invitation->mapTo(&window(), QPoint(0, 0)), invitation->size());
    for (QWidget* around = invitation->parentWidget(); around != &window(); around = around->parentWidget())
        shown &= QRect(around->mapTo(&window(), QPoint(0, 0)), around->size());
    shown &= window().rect();
    EXPECT_EQ(shown.size(), invitation->size());
    // and the room both sentences take at that width
    const QRect needed = invitation->fontMetrics().boundingRect(
        QRect(0, 0, invitation->width(), 10000), Qt::TextWordWrap | Qt::AlignHCenter, invitation->text());
    EXPECT_GE(invitation->height(), needed.height());
    EXPECT_GE(invitation->width(), needed.width());
}

class SettingsLaunchTest : public SettingsFixture {};

TEST_F(SettingsLaunchTest, TheSettingsTabArgumentOpensThatPageAtLaunch) {
    makePlatform({"-settingsTab", "hotkeys"});
    platform->fakeScreens->setScreens({left, right});
    buildState();

    state->start(false);

    SettingsWindow* window = state->settingsWindow().window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_NE(qobject_cast<HotkeySettings*>(window->view().currentPage()), nullptr);
    EXPECT_EQ(state->onboarding().window(), nullptr);
}

} // namespace
} // namespace corvane::testing
