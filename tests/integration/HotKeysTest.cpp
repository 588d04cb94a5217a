// The application's global shortcuts on a real X server: keys typed through XTest reach the
// product's grabs and snap the focused real window, and a shortcut changed in the store moves its
// grab at once.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/HotKeyCenter.h"
#include "ShortcutKit/Registry.h"
#include "app/Hotkeys.h"
#include "core/ScreenHelpers.h"
#include "platform/HotKeys.h"
#include "platform/Keyboard.h"
#include "settings/HotkeySettings.h"
#include "snapping/LayoutFrames.h"
#include "snapping/SnapAction.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <vector>

namespace corvane::testing {
namespace {

using namespace corvane::ShortcutKit;
constexpr int waitMs = 5000;

class HotKeys : public ::testing::Test {
protected:
    HotKeys() {
        app.settings().setCycleSnapSizes(false);
        registerHotkeys(app.state());
    }

    LiveApp app;
    XTestInput typist;
    FocusedPrograms programs;
};

TEST_F(HotKeys, EachDefaultSnapShortcutSnapsTheFocusedWindowWhateverLocksAreOn) {
    const xcb_window_t window = programs.openLogo(app.platform());
    ASSERT_NE(window, XCB_WINDOW_NONE);

    struct Case {
        SnapAction action;
        xcb_keysym_t key;
    };
    const Case cases[] = {
        {SnapAction::leftHalf, XKB_KEY_Left}, {SnapAction::rightHalf, XKB_KEY_Right},
        {SnapAction::topHalf, XKB_KEY_Up},    {SnapAction::bottomHalf, XKB_KEY_Down},
        {SnapAction::center, XKB_KEY_c},      {SnapAction::maximize, XKB_KEY_Return},
    };
    for (bool locksOn : {false, true}) {
        // Caps Lock and Num Lock change the modifier state the server reports with every key
        if (locksOn) {
            typist.type({XKB_KEY_Caps_Lock});
            typist.type({XKB_KEY_Num_Lock});
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message()
                         << rawValue(c.action).toStdString() << (locksOn ? " with locks" : ""));
            // Each action lands elsewhere than the one before, so every press must move the window
            const QRect expected = app.snapFrame(c.action, window);
            ASSERT_NE(expected, serverFrame(window));
            typist.type({XKB_KEY_Control_L, XKB_KEY_Alt_L, c.key});
            serverFrameLandsOn(window, expected);
        }
        if (locksOn) {
            typist.type({XKB_KEY_Caps_Lock});
            typist.type({XKB_KEY_Num_Lock});
        }
    }
    EXPECT_EQ(app.beeps(), 0);
}

TEST_F(HotKeys, ChangingAStoredShortcutMovesTheGrabAtOnce) {
    const xcb_window_t window = programs.openLogo(app.platform());
    ASSERT_NE(window, XCB_WINDOW_NONE);
    Registry& shortcuts = app.state().shortcuts();
    const uint16_t controlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    const xcb_keycode_t left = typist.keycode(XKB_KEY_Left);
    const xcb_keycode_t k = typist.keycode(XKB_KEY_k);
    ASSERT_FALSE(isFreeOnServer(left, controlAlt));

    // Count the left-snap name's presses beside its action, and those of a marker name
    int leftPresses = 0, markerPresses = 0;
    shortcuts.onKeyDown(AppShortcuts::snapLeft(), [&] { ++leftPresses; });
    const Name marker(QStringLiteral("marker"));
    shortcuts.setShortcut(Shortcut(Key::m, ModifierFlags(ModifierFlags::control | ModifierFlags::option)),
                          marker);
    shortcuts.onKeyDown(marker, [&] { ++markerPresses; });

    // When the store says control+option+K for the left half
    shortcuts.setShortcut(Shortcut(Key::k, ModifierFlags(ModifierFlags::control | ModifierFlags::option)),
                          AppShortcuts::snapLeft());

    // Then the server has the grab on the new combination and the old one is free
    EXPECT_TRUE(isFreeOnServer(left, controlAlt));
    EXPECT_FALSE(isFreeOnServer(k, controlAlt));

    // The old combination does nothing: the marker typed after it arrives with no left press before it
    typist.type({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_Left});
    typist.type({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_m});
    ASSERT_TRUE(QTest::qWaitFor([&] { return markerPresses == 1; }, waitMs));
    EXPECT_EQ(leftPresses, 0);

    // The new one snaps
    const QRect expected = app.snapFrame(SnapAction::leftHalf, window);
    typist.type({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_k});
    serverFrameLandsOn(window, expected);
    EXPECT_EQ(leftPresses, 1);
}

QStringList loggedWarnings;
void keepWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg)
        loggedWarnings << message;
}

TEST(HeldHotKeys, AShortcutAnotherProgramHoldsIsShownAsHeldOnThePageAndInTheLog) {
    LiveApp app;
    XTestInput typist;
    // Given another X client holds Ctrl+Alt+Right, as a window manager's desktop switching does
    xcb_connection_t* c = desktop().connection();
    const xcb_keycode_t right = typist.keycode(XKB_KEY_Right);
    const uint16_t controlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    ASSERT_TRUE(isFreeOnServer(right, controlAlt));
    std::free(xcb_request_check(c, xcb_grab_key_checked(c, 0, desktop().rootWindow(), controlAlt, right,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));

    // When the application's shortcuts are registered
    loggedWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarning);
    registerHotkeys(app.state());
    qInstallMessageHandler(previous);
    HotkeySettings page(app.state().settingsServices());

    // Then the right-half row says it is held, the left-half row says nothing, and the log
    // names the shortcut as the page shows it
    ASSERT_NE(page.refusalNote(QStringLiteral("snapRight")), nullptr);
    EXPECT_FALSE(page.refusalNote(QStringLiteral("snapRight"))->isHidden());
    EXPECT_TRUE(page.refusalNote(QStringLiteral("snapRight"))->text().startsWith("Held by another program"));
    EXPECT_TRUE(page.refusalNote(QStringLiteral("snapLeft"))->isHidden());
    EXPECT_TRUE(loggedWarnings.contains(QStringLiteral("Hot key Ctrl+Alt+Right is held by another program")))
        << loggedWarnings.join('\n').toStdString();

    // Asking whether the desktop holds a combination takes nothing: the held one is the system's,
    // a free one is free again afterwards in every lock state, and our own stays ours (checked
    // once the later probe's grab is seen given back, as the server takes each client's requests
    // in order)
    const HotKeyCenter& center = app.state().shortcuts().center();
    const qint64 controlOption = CarbonModifiers::control | CarbonModifiers::option;
    EXPECT_TRUE(center.isTakenBySystem(Key::rightArrow.rawValue, controlOption));
    EXPECT_FALSE(center.isTakenBySystem(Key::leftArrow.rawValue, controlOption));
    EXPECT_FALSE(center.isTakenBySystem(Key::j.rawValue, controlOption));
    for (const int locks :
         {0, XCB_MOD_MASK_LOCK + 0, XCB_MOD_MASK_2 + 0, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2}) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return isFreeOnServer(typist.keycode(XKB_KEY_j), uint16_t(controlAlt | locks)); }, waitMs))
            << "lock modifiers " << locks;
    }
    EXPECT_FALSE(isFreeOnServer(typist.keycode(XKB_KEY_Left), controlAlt));

    // Once the other program lets go, a new registration takes it and the note goes
    std::free(xcb_request_check(c, xcb_ungrab_key_checked(c, right, desktop().rootWindow(), controlAlt)));
    app.state().shortcuts().enable({AppShortcuts::snapRight()});
    app.state().shortcuts().setShortcut(std::nullopt, AppShortcuts::snapRight());
    app.state().shortcuts().reset({AppShortcuts::snapRight()});
    EXPECT_TRUE(page.refusalNote(QStringLiteral("snapRight"))->isHidden());
    EXPECT_FALSE(isFreeOnServer(right, controlAlt));
}

// Writes down the keys that reach a window.
class KeysReceived : public QObject {
public:
    std::vector<int> keys;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            keys.push_back(static_cast<QKeyEvent*>(event)->key());
        return false;
    }
};

TEST_F(HotKeys, AHoldPassesKeysToItsWindowUntilTheWindowHasTheKeyboardOrItIsReleasedAgain) {
    const xcb_window_t front = programs.openLogo(app.platform());
    ASSERT_NE(front, XCB_WINDOW_NONE);
    // A window of ours that shows without taking the keyboard
    QWidget target;
    target.setAttribute(Qt::WA_ShowWithoutActivating);
    target.setGeometry(600, 100, 200, 100);
    KeysReceived received;
    target.installEventFilter(&received);
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target, waitMs));
    ASSERT_EQ(activeWindow(), front);

    corvane::HotKeys& hotKeys = *app.platform().hotKeys;
    hotKeys.holdKeyboard();
    hotKeys.releaseKeyboard(target.winId());
    // The window does not have the keyboard yet: a key typed now still goes to it, and the
    // keyboard stays held
    typist.type({XKB_KEY_a});
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.keys == std::vector<int>{Qt::Key_A}; }, waitMs));
    EXPECT_FALSE(isKeyboardFree());
    // Released again (the hold's limit), it waits for the window no longer
    hotKeys.releaseKeyboard(target.winId());
    EXPECT_TRUE(QTest::qWaitFor(isKeyboardFree, waitMs)) << "the keyboard is still held";
    EXPECT_EQ(activeWindow(), front);
}

TEST(KeymapNotices, AHotKeyHeldAcrossAKeymapNoticeKeepsItsGrabAndItsRelease) {
    LiveApp app;
    XTestInput typist;
    corvane::HotKeys& hotKeys = *app.platform().hotKeys;
    const auto id = hotKeys.registerHotKey(Key::s.rawValue, HotKeyModifier::control | HotKeyModifier::shift);
    ASSERT_TRUE(id);
    int pressed = 0, released = 0;
    QObject::connect(&hotKeys, &corvane::HotKeys::pressed,
                     [&](corvane::HotKeys::Id which) { pressed += which == *id; });
    QObject::connect(&hotKeys, &corvane::HotKeys::released,
                     [&](corvane::HotKeys::Id which) { released += which == *id; });
    const xcb_keycode_t keys[] = {typist.keycode(XKB_KEY_Control_L), typist.keycode(XKB_KEY_Shift_L),
                                  typist.keycode(XKB_KEY_s)};
    for (xcb_keycode_t key : keys)
        typist.press(key);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pressed == 1; }, waitMs));
    // The same layout loaded again: the notice every client gets when another keyboard starts
    // typing. The grab stays taken (a press in a gap would reach the program in front), and the
    // key held meanwhile still ends with its release.
    EXPECT_EQ(QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("us")}), 0);
    QTest::qWait(300);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        typist.release(*key);
    EXPECT_TRUE(QTest::qWaitFor([&] { return released == 1; }, waitMs));
    typist.type({XKB_KEY_Control_L, XKB_KEY_Shift_L, XKB_KEY_s});
    EXPECT_TRUE(QTest::qWaitFor([&] { return pressed == 2 && released == 2; }, waitMs));
}

TEST_F(HotKeys, TheLiveKeymapNamesKeysAndPrintsThem) {
    const Keyboard& keyboard = *app.platform().keyboard;
    // The server's key codes and the stored ones meet through the shared table
    EXPECT_EQ(keyboard.keyCode(typist.keycode(XKB_KEY_s)), Key::s.rawValue);
    EXPECT_EQ(keyboard.keyCode(typist.keycode(XKB_KEY_Left)), Key::leftArrow.rawValue);
    EXPECT_EQ(keyboard.keyCode(typist.keycode(XKB_KEY_5)), Key::five.rawValue);
    // Texts come from the layout, special keys from their table
    EXPECT_EQ(app.state().shortcuts().getShortcut(AppShortcuts::toggleSidebar())->description(keyboard),
              QStringLiteral("Alt+Shift+S"));
    EXPECT_EQ(app.state().shortcuts().getShortcut(AppShortcuts::snapLeft())->description(keyboard),
              QStringLiteral("Ctrl+Alt+Left"));
    EXPECT_EQ(keyboard.keyText(Key::slash.rawValue), QStringLiteral("/"));
    // The server's repeat rate is read
    const KeyRepeat repeat = keyboard.keyRepeat();
    EXPECT_GT(repeat.delay.count(), 0);
    EXPECT_GT(repeat.interval.count(), 0);
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
