// The settings window on a real X server: the launch argument that names a page, a picture of
// every page, and a shortcut recorded on the Hotkeys page that then works as a global hot key.
#include "support/CorvaneProcess.h"
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/PictureChecks.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Recorder.h"
#include "ShortcutKit/RecorderTexts.h"
#include "ShortcutKit/Registry.h"
#include "app/Hotkeys.h"
#include "core/ScreenHelpers.h"
#include "settings/HotkeySettings.h"
#include "settings/OnboardingWindow.h"
#include "settings/OnboardingWindowController.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"
#include "snapping/SnapAction.h"

#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <vector>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindowController& controller() { return app.state().settingsWindow(); }

    // Shows the window on `tab` and waits until the server has it on screen.
    SettingsWindow& showOn(SettingsTab tab) {
        controller().show(tab);
        SettingsWindow& window = *controller().window();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window, waitMs));
        QCoreApplication::processEvents();
        return window;
    }

    LiveApp app;
    FocusedPrograms programs;
};

TEST_F(SettingsWindowTest, TheSettingsTabArgumentOpensTheSettingsAtLaunchInsteadOfTheWelcome) {
    // Given a first launch, which would otherwise welcome the user
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid()) << qPrintable(home.errorString());
    QProcess corvane;
    corvane.setProcessEnvironment(corvaneEnvironment(home.path()));
    corvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);

    // When it is started on the Hotkeys page
    corvane.start(CORVANE_BINARY, {QStringLiteral("-settingsTab"), QStringLiteral("hotkeys")});
    ASSERT_TRUE(corvane.waitForStarted(5000));
    const auto settings = desktop().waitForClientWindow(
        [&](const ClientWindow& w) {
            return w.pid == corvane.processId() && w.title == QStringLiteral("Corvane Settings");
        },
        std::chrono::seconds(20));

    // Then the settings window opens and the welcome window does not
    ASSERT_TRUE(settings.has_value());
    // (carrying the product's icon for taskbars, not the toolkit's generic one: its pictures of
    // 48 pixels and more are the brand red in the middle of their left edge)
    const std::vector<uint32_t> icon = windowProperty(settings->window, "_NET_WM_ICON");
    int large = 0;
    for (std::size_t at = 0; at + 2 < icon.size(); at += 2 + std::size_t(icon[at]) * icon[at + 1]) {
        const uint32_t width = icon[at], height = icon[at + 1];
        if (width < 48 || at + 2 + std::size_t(width) * height > icon.size())
            continue;
        const QColor edge = QColor::fromRgba(icon[at + 2 + width * (height / 2) + width / 8]);
        EXPECT_TRUE(edge.red() > 150 && edge.green() < 90) << width << ": " << qPrintable(edge.name());
        ++large;
    }
    EXPECT_GT(large, 0);
    for (const ClientWindow& window : desktop().clientWindows())
        EXPECT_FALSE(window.pid == corvane.processId() &&
                     window.title == QStringLiteral("Welcome to Corvane"));
    corvane.terminate();
    EXPECT_TRUE(corvane.waitForFinished(10000));

    // In process, the same page name shows the Hotkeys page
    SettingsWindow& window = showOn(settingsTabFromRawValue(QStringLiteral("hotkeys")));
    EXPECT_NE(qobject_cast<HotkeySettings*>(window.view().currentPage()), nullptr);
}

TEST_F(SettingsWindowTest, TheWelcomeWindowIsAnOrdinaryWindowThatCannotStayMinimised) {
    OnboardingWindowController& onboarding = app.state().onboarding();
    onboarding.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(onboarding.window(), waitMs));
    const auto id = static_cast<xcb_window_t>(onboarding.window()->winId());

    // An ordinary window: of the normal type alone, among the window manager's clients, titled,
    // closable, and asking (in the Motif hints) for no minimising
    EXPECT_EQ(windowProperty(id, "_NET_WM_WINDOW_TYPE"),
              std::vector<uint32_t>{desktop().atom("_NET_WM_WINDOW_TYPE_NORMAL")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return isClient(id); }, waitMs));
    const std::vector<uint32_t> extents = windowProperty(id, "_NET_FRAME_EXTENTS");
    ASSERT_EQ(extents.size(), 4u);
    EXPECT_GT(extents[2], extents[3]); // a title bar above, a thinner edge below
    const std::vector<uint32_t> actions = windowProperty(id, "_NET_WM_ALLOWED_ACTIONS");
    EXPECT_NE(std::find(actions.begin(), actions.end(), desktop().atom("_NET_WM_ACTION_CLOSE")),
              actions.end());
    const std::vector<uint32_t> motif = windowProperty(id, "_MOTIF_WM_HINTS");
    ASSERT_GE(motif.size(), 2u);
    constexpr uint32_t functionsGiven = 1, minimiseFunction = 1 << 3;
    EXPECT_TRUE((motif[0] & functionsGiven) && !(motif[1] & minimiseFunction));

    // A pager's minimise request: the window manager minimises it, and it is back at once
    bool wasMinimised = false;
    QObject::connect(
        onboarding.window()->windowHandle(), &QWindow::windowStateChanged, onboarding.window(),
        [&](Qt::WindowState state) { wasMinimised = wasMinimised || state == Qt::WindowMinimized; });
    askWindowManager(id, "WM_CHANGE_STATE", {3});
    ASSERT_TRUE(QTest::qWaitFor([&] { return wasMinimised; }, waitMs));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<uint32_t> wmState = windowProperty(id, "WM_STATE");
            return !wmState.empty() && wmState[0] == 1 && !hasState(id, "_NET_WM_STATE_HIDDEN") &&
                   !onboarding.window()->isMinimized();
        },
        waitMs));

    // The settings window, made active, comes above it
    SettingsWindow& settings = showOn(SettingsTab::general);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&settings, waitMs));
    const auto settingsId = static_cast<xcb_window_t>(settings.winId());
    const auto stackedAbove = [&] {
        const std::vector<uint32_t> order =
            windowProperty(desktop().rootWindow(), "_NET_CLIENT_LIST_STACKING");
        const auto welcome = std::find(order.begin(), order.end(), id);
        const auto front = std::find(order.begin(), order.end(), settingsId);
        return welcome != order.end() && front != order.end() && front > welcome;
    };
    EXPECT_TRUE(QTest::qWaitFor(stackedAbove, waitMs));
    EXPECT_FALSE(hasState(id, "_NET_WM_STATE_ABOVE"));
    onboarding.window()->close();
}

TEST_F(SettingsWindowTest, TheWelcomeWindowIsCentredByItsFrameAtItsFirstShowingAndAtLaterOnes) {
    OnboardingWindowController& onboarding = app.state().onboarding();
    onboarding.show();
    ASSERT_NE(onboarding.window(), nullptr);
    OnboardingWindow& window = *onboarding.window();
    const auto id = static_cast<xcb_window_t>(window.winId());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return isClient(id) && serverFrame(id).isValid() && serverFrame(id) == serverClientFrame(id); },
        waitMs));
    const QRect first = serverFrame(id);
    EXPECT_GT(first.height(), window.height()) << "no title bar around " << qPrintable(describe(first));

    // The frame, as the user sees it, stands in the middle of the visible area, lifted by 8 %
    const std::optional<ScreenInfo> screen = screenUnderMouse(*app.platform().screens);
    ASSERT_TRUE(screen.has_value());
    const QRectF visible = screen->visibleFrame;
    EXPECT_NEAR(first.center().x(), visible.center().x(), 1.5);
    EXPECT_NEAR(first.top(), visible.center().y() - first.height() / 2.0 - 0.08 * visible.height(), 1.5);

    // Dragged aside by the user (the window manager moves it) and shown again, it comes back to
    // the same place. Shown once Qt has heard of the drag, as it has by the time a person gets to
    // the next showing; a loaded machine can tell Qt late.
    const std::vector<uint32_t> extents = windowProperty(id, "_NET_FRAME_EXTENTS");
    const QPoint clientAt =
        first.topLeft() + (extents.size() == 4 ? QPoint(int(extents[0]), int(extents[2])) : QPoint());
    const QRect aside = first.translated(60, 40);
    askWindowManager(id, "_NET_MOVERESIZE_WINDOW",
                     {1 | (3u << 8) | (2u << 12), uint32_t(aside.x()), uint32_t(aside.y()), 0, 0});
    ASSERT_TRUE(serverFrameLandsOn(id, aside));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.geometry().topLeft() == clientAt + QPoint(60, 40); }, waitMs))
        << "Qt places the window at " << window.geometry().x() << "," << window.geometry().y();
    onboarding.show();
    EXPECT_TRUE(serverFrameLandsOn(id, first));
    window.close();
}

TEST_F(SettingsWindowTest, ASettingsWindowTheWindowManagerMinimisedComesBackCentred) {
    SettingsWindow& window = showOn(SettingsTab::general);
    const auto id = static_cast<xcb_window_t>(window.winId());
    ASSERT_TRUE(QTest::qWaitFor([&] { return isClient(id) && serverFrame(id).isValid(); }, waitMs));
    const QRect centred = serverFrame(id);

    // Moved aside, then minimised by the window manager (as a taskbar does) and shown again
    window.move(window.pos() + QPoint(60, 40));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return serverFrame(id).topLeft() == centred.topLeft() + QPoint(60, 40); }, waitMs));
    askWindowManager(id, "WM_CHANGE_STATE", {3});
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMinimized(); }, waitMs));
    controller().show(SettingsTab::keep);
    // Centred as at its first opening, give or take its frame, which Qt does not count alike for a
    // window never shown and for one coming back from the window manager's minimising
    const auto backNearCentre = [&] {
        const QPoint off = serverFrame(id).topLeft() - centred.topLeft();
        return !window.isMinimized() && !hasState(id, "_NET_WM_STATE_HIDDEN") && std::abs(off.x()) <= 16 &&
               std::abs(off.y()) <= 16;
    };
    EXPECT_TRUE(QTest::qWaitFor(backNearCentre, waitMs))
        << "at " << serverFrame(id).x() << "," << serverFrame(id).y() << " for " << centred.x() << ","
        << centred.y();
}

TEST_F(SettingsWindowTest, EveryPageDrawsAPictureWorthLookingAt) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));

    for (SettingsTab tab : allSettingsTabs()) {
        SCOPED_TRACE(rawValue(tab).toStdString());
        SettingsWindow& window = showOn(tab);
        ASSERT_EQ(window.view().currentPage()->tab(), tab);
        const QImage picture = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(picture.isNull());
        EXPECT_TRUE(picture.save(folder + QStringLiteral("/settings-%1.png").arg(rawValue(tab))));
        // A blank window is one colour; the sidebar's tinted icons and text alone give many
        EXPECT_GE(distinctColours(picture, 16), 16);
        // and the page itself draws at least its title
        const QImage page =
            window.view().currentPage()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_GE(distinctColours(page, 4), 4);
    }
}

TEST_F(SettingsWindowTest, AShortcutRecordedOnTheHotkeysPageSnapsARealWindow) {
    app.settings().setCycleSnapSizes(false);
    registerHotkeys(app.state());
    SettingsWindow& window = showOn(SettingsTab::hotkeys);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, waitMs));
    auto* page = qobject_cast<HotkeySettings*>(window.view().currentPage());
    ASSERT_NE(page, nullptr);
    ShortcutKit::Recorder* snapLeft = page->recorder(QStringLiteral("snapLeft"));
    ASSERT_NE(snapLeft, nullptr);

    // When the user clicks the left-half recorder and presses Control+Option+J
    ShortcutKit::RecorderControl& field = snapLeft->control();
    QTest::mouseClick(&field, Qt::LeftButton);
    ASSERT_TRUE(field.isRecording());
    // QTest's key events carry no native key code; the recorder reads the key from it, so give
    // the one the server's keymap has for J.
    const Qt::KeyboardModifiers controlOption = Qt::ControlModifier | Qt::AltModifier;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_J, controlOption, XTestInput().keycode(XKB_KEY_j), XKB_KEY_j, 0,
                    QStringLiteral("j"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_J, controlOption, XTestInput().keycode(XKB_KEY_j),
                      XKB_KEY_j, 0, QStringLiteral("j"));
    QCoreApplication::sendEvent(&field, &press);
    QCoreApplication::sendEvent(&field, &release);

    // Then it is stored and shown, and recording is over
    EXPECT_FALSE(field.isRecording());
    EXPECT_EQ(field.text(), QStringLiteral("Ctrl+Alt+J"));
    const auto stored = app.state().shortcuts().getShortcut(AppShortcuts::snapLeft());
    ASSERT_TRUE(stored.has_value());
    EXPECT_FALSE(app.state().shortcuts().isPaused());

    // And pressing Control+Alt+J on the keyboard snaps the focused window to the left half
    const xcb_window_t target = programs.openLogo(app.platform());
    ASSERT_NE(target, XCB_WINDOW_NONE);
    const auto screen = screenUnderMouse(*app.platform().screens);
    ASSERT_TRUE(screen.has_value());
    const QRect expected = frame(SnapAction::leftHalf, app.state().usableFrame(*screen),
                                 app.settings().layoutGap(), QRectF(serverFrame(target)))
                               .toRect();
    ASSERT_NE(serverFrame(target), expected);
    XTestInput().type({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_j});
    EXPECT_TRUE(QTest::qWaitFor([&] { return serverFrame(target) == expected; }, waitMs));
}

TEST_F(SettingsWindowTest, RecordingACombinationAnotherProgramHoldsWarnsThatTheSystemUsesIt) {
    registerHotkeys(app.state());
    SettingsWindow& window = showOn(SettingsTab::hotkeys);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, waitMs));
    auto* page = qobject_cast<HotkeySettings*>(window.view().currentPage());
    ASSERT_NE(page, nullptr);
    ShortcutKit::RecorderControl& field = page->recorder(QStringLiteral("snapLeft"))->control();
    const auto storedBefore = app.state().shortcuts().getShortcut(AppShortcuts::snapLeft());

    // The alerts are answered with the button titled `answer`; what they said is kept
    QString answer;
    QStringList said;
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == answer) {
                said << box->text();
                button->click();
                return;
            }
        }
    });
    answering.start(20);

    // Given another X client holds Ctrl+Alt+K, as a window manager holds its keys
    XTestInput typist;
    xcb_connection_t* c = desktop().connection();
    const xcb_keycode_t k = typist.keycode(XKB_KEY_k);
    const auto grab = [&](uint16_t modifiers) {
        xcb_generic_error_t* error =
            xcb_request_check(c, xcb_grab_key_checked(c, 0, desktop().rootWindow(), modifiers, k,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    };
    const auto ungrab = [&](uint16_t modifiers) {
        std::free(xcb_request_check(c, xcb_ungrab_key_checked(c, k, desktop().rootWindow(), modifiers)));
    };
    const uint16_t controlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    ASSERT_TRUE(grab(controlAlt));

    // When the user records it by typing it, the recorder gets it and says the system uses it;
    // "OK" keeps what was stored
    answer = QStringLiteral("OK");
    QTest::mouseClick(&field, Qt::LeftButton);
    ASSERT_TRUE(field.isRecording());
    typist.type({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_k});
    ASSERT_TRUE(QTest::qWaitFor([&] { return said.size() == 1; }, waitMs));
    EXPECT_EQ(said[0], ShortcutKit::recorderText("keyboard_shortcut_used_by_system"));
    EXPECT_EQ(app.state().shortcuts().getShortcut(AppShortcuts::snapLeft()), storedBefore);

    // Held only while Caps Lock is on, it is still the system's: every lock state is asked (and
    // given back, or the other client could not take it now). Now "Use Anyway" takes it
    ungrab(controlAlt);
    ASSERT_TRUE(grab(controlAlt | XCB_MOD_MASK_LOCK));
    answer = ShortcutKit::recorderText("force_use_shortcut");
    // The field records again once its window has the keyboard back from the alert
    ASSERT_TRUE(QTest::qWaitFor([&] { return field.isRecording(); }, waitMs));
    typist.type({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_k});
    ASSERT_TRUE(QTest::qWaitFor([&] { return said.size() == 2 && !field.isRecording(); }, waitMs));
    EXPECT_EQ(field.text(), QStringLiteral("Ctrl+Alt+K"));
    ungrab(controlAlt | XCB_MOD_MASK_LOCK);

    // A combination nobody holds is taken without a word
    answer.clear();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, waitMs));
    QTest::mouseClick(&field, Qt::LeftButton);
    ASSERT_TRUE(field.isRecording());
    typist.type({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_m});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !field.isRecording(); }, waitMs));
    EXPECT_EQ(field.text(), QStringLiteral("Ctrl+Alt+M"));
    EXPECT_EQ(said.size(), 2);
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
