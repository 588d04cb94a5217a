#include "shelf/FilePanel.h"

#include "platform/fake/FakePanelWindowing.h"
#include "shelf/WindowDragHandle.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
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

// The header moves its window by the pointer's way once the pointer has gone past the drag
// distance with the button held: a click whose pointer jitters by a few pixels moves nothing.
TEST(FilePanelTest, TheHeaderMovesItsPanelOnlyPastTheDragDistance) {
    QWidget panel;
    panel.setGeometry(100, 100, 200, 100);
    auto* header = new WindowDragHandle(&panel);
    header->setGeometry(0, 0, 200, 40);
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at - QPoint(100, 100)), QPointF(at), button, held, {});
        QApplication::sendEvent(header, &event);
    };
    ASSERT_GT(QApplication::startDragDistance(), 3);

    send(QEvent::MouseButtonPress, QPoint(150, 120), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(152, 121), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(152, 121), Qt::NoButton);
    EXPECT_EQ(panel.pos(), QPoint(100, 100)) << "a click with 3 px of jitter moved the panel";

    send(QEvent::MouseButtonPress, QPoint(150, 120), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(170, 125), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(172, 126), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(172, 126), Qt::NoButton);
    EXPECT_EQ(panel.pos(), QPoint(122, 106));
    // The pointer moving on with the button up moves it no more
    send(QEvent::MouseMove, QPoint(200, 200), Qt::NoButton);
    EXPECT_EQ(panel.pos(), QPoint(122, 106));
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
