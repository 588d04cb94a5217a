#include "shelf/FilePanel.h"

#include "platform/fake/FakePanelWindowing.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace corvane;

// Showing leaves the keyboard where it was; a click takes it only in a text field (a click
// elsewhere, on the header say, leaves it, and the window manager is told not to hand it over);
// hiding hands it back to the program that had it.
TEST(FilePanelTest, OnlyAClickIntoATextFieldTakesTheKeyboardAndHidingHandsItBack) {
    FakePanelWindowing windowing;
    windowing.active = 4242;
    FilePanel panel(windowing, QRect(0, 0, 200, 200), PanelLevel::status);
    auto* content = new QWidget;
    auto* header = new QWidget(content);
    header->setGeometry(0, 0, 200, 40);
    auto* field = new QLineEdit(content);
    field->setGeometry(10, 100, 180, 30);
    panel.setContentView(content);
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
    EXPECT_TRUE(panel.windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus));

    QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, QPoint(100, 20));
    QCoreApplication::processEvents();
    EXPECT_FALSE(panel.isActiveWindow()) << "a click on the header took the keyboard";
    QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, QPoint(100, 115));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    EXPECT_TRUE(field->hasFocus());

    panel.hide();
    ASSERT_FALSE(windowing.activations.isEmpty());
    EXPECT_EQ(windowing.activations.last(), 4242u);

    // Shown again with no program in front, it has none to hand the keyboard back to
    windowing.active = 0;
    panel.show();
    EXPECT_EQ(panel.returnFocusWindow(), 0u);
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

TEST(FilePanelTest, APanelNoWindowManagerManagesTakesTheKeyboardItselfAndGivesItBackOnce) {
    FakePanelWindowing windowing;
    windowing.active = 4242;
    FilePanel panel(windowing, QRect(0, 0, 200, 100), PanelLevel::status);
    panel.setWindowFlag(Qt::BypassWindowManagerHint);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    panel.makeKeyWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    EXPECT_EQ(windowing.keyboardGifts, QList<quint64>{panel.winId()});
    // Given back as it closes, and not again as it hides while the toolkit still counts it active
    // (a click elsewhere meanwhile keeps the keyboard)
    panel.giveKeyboardBack();
    panel.hide();
    EXPECT_EQ(windowing.keyboardGifts, (QList<quint64>{panel.winId(), 4242}));
    EXPECT_TRUE(windowing.activations.isEmpty());
}
