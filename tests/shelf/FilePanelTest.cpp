#include "shelf/FilePanel.h"

#include "platform/fake/FakePanelWindowing.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace corvane;

// Showing leaves the keyboard where it was; the first click takes it (through the panel's own
// hook, as the file list's focus action does); hiding hands it back to the program that had it.
TEST(FilePanelTest, TakesTheKeyboardOnTheFirstClickAndHandsItBackOnHide) {
    FakePanelWindowing windowing;
    windowing.active = 4242;
    FilePanel panel(windowing, QRect(0, 0, 200, 200), PanelLevel::status);
    int firstClicks = 0;
    panel.onFirstClick = [&] {
        ++firstClicks;
        panel.makeKeyWindow();
    };
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    EXPECT_TRUE(panel.canBecomeKeyWindow());
    EXPECT_TRUE(panel.testAttribute(Qt::WA_ShowWithoutActivating));
    // The offscreen desktop activates whatever shows; another window takes the keyboard back.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ASSERT_FALSE(panel.isActiveWindow());

    QTest::mousePress(panel.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(panel.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    EXPECT_EQ(firstClicks, 1);
    // A later click with the keyboard already here is an ordinary click.
    QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(firstClicks, 1);

    panel.hide();
    ASSERT_FALSE(windowing.activations.isEmpty());
    EXPECT_EQ(windowing.activations.last(), 4242u);
}

TEST(FilePanelTest, HidingWithoutTheKeyboardLeavesFocusAlone) {
    FakePanelWindowing windowing;
    windowing.active = 7;
    FilePanel panel(windowing, QRect(0, 0, 100, 100), PanelLevel::status);
    panel.show();
    panel.hide();
    EXPECT_TRUE(windowing.activations.isEmpty());
    EXPECT_EQ(panel.model(), nullptr);
}
