// The snap wheel on a real X server: holding each trigger key typed through XTest, moving the
// pointer and letting go snaps the focused real window; Escape cancels; the key standing for fn
// reaches no program while the wheel uses it, while every other key typed meanwhile does;
// preference changes apply without a restart.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "core/FloatingPanel.h"
#include "core/ScreenHelpers.h"
#include "snapping/RadialDirection.h"
#include "snapping/RadialSnapController.h"
#include "snapping/SnapAction.h"

#include <QCursor>
#include <QProcess>
#include <QTest>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <numbers>
#include <vector>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;
using Phase = RadialSnapController::Phase;

// The key the wheel's fn trigger stands for: XF86Fn where the keymap has it, else Menu.
xcb_keycode_t functionKey(const XTestInput& input) {
    const xcb_keycode_t fn = input.keycode(XKB_KEY_XF86Fn);
    return fn != XCB_NO_SYMBOL ? fn : input.keycode(XKB_KEY_Menu);
}

// A small window of the test's own that takes the keyboard focus and records the keys it gets.
class KeyWitness {
public:
    KeyWitness() : m_connection(xcb_connect(desktop().displayName().toLatin1().constData(), nullptr)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        const uint32_t events = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 40, 40, 120, 80, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);
        xcb_map_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    ~KeyWitness() { xcb_disconnect(m_connection); }

    // Waits until the window is mapped, then gives it the focus.
    bool takeFocus() {
        if (!QTest::qWaitFor([&] { return read(), m_mapped; }, waitMs))
            return false;
        return QTest::qWaitFor(
            [&] {
                xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_POINTER_ROOT, m_window, XCB_CURRENT_TIME);
                std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> focus(
                    xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr),
                    &std::free);
                return focus && focus->focus == m_window;
            },
            waitMs);
    }
    // Waits until the key has been pressed in the window.
    bool waitFor(xcb_keycode_t code) {
        return QTest::qWaitFor(
            [&] { return read(), std::count(m_pressed.begin(), m_pressed.end(), code) > 0; }, waitMs);
    }
    bool got(xcb_keycode_t code) {
        read();
        return std::count(m_pressed.begin(), m_pressed.end(), code) > 0;
    }
    // The presses of these keys, in the order the window got them.
    std::vector<xcb_keycode_t> pressedAmong(const std::vector<xcb_keycode_t>& codes) {
        read();
        std::vector<xcb_keycode_t> among;
        std::copy_if(m_pressed.begin(), m_pressed.end(), std::back_inserter(among),
                     [&](xcb_keycode_t code) { return std::count(codes.begin(), codes.end(), code) > 0; });
        return among;
    }

private:
    void read() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY)
                m_mapped = true;
            if (type == XCB_KEY_PRESS)
                m_pressed.push_back(reinterpret_cast<xcb_key_press_event_t*>(event)->detail);
            std::free(event);
        }
    }
    xcb_connection_t* m_connection;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    bool m_mapped = false;
    std::vector<xcb_keycode_t> m_pressed;
};

class SnapWheel : public ::testing::Test {
protected:
    SnapWheel() {
        // As start-up does: every preference change is applied at once.
        m_settingsObserver = app.state().notifications().addObserver(
            Settings::didChangeNotification,
            [this](const Notification& note) { app.state().settingsChanged(note.object.toString()); });
        app.state().radial().start();
    }
    RadialSnapController& radial() { return app.state().radial(); }

    // The middle of the screen, with room for the pointer to travel.
    QPoint middle() {
        const auto screen = app.platform().screens->mainScreen();
        return screen ? screen->frame.center().toPoint() : QPoint(400, 300);
    }
    // Holds the trigger at the middle of the screen until the ring is up.
    bool holdUntilRingShows(xcb_keycode_t trigger) {
        input.moveTo(middle());
        if (!QTest::qWaitFor([&] { return QCursor::pos() == middle(); }, waitMs))
            return false;
        input.press(trigger);
        return QTest::qWaitFor([&] { return radial().phase() == Phase::active; }, waitMs);
    }
    // Holds the trigger, moves `offset` away from where it went down and lets go.
    void gesture(xcb_keycode_t trigger, QPoint offset, RadialDirection expected) {
        ASSERT_TRUE(holdUntilRingShows(trigger));
        input.moveTo(middle() + offset);
        EXPECT_TRUE(QTest::qWaitFor([&] { return radial().model().direction() == expected; }, waitMs));
        input.release(trigger);
        EXPECT_TRUE(QTest::qWaitFor([&] { return radial().phase() == Phase::idle; }, waitMs));
    }

    LiveApp app;
    XTestInput input;
    ObserverToken m_settingsObserver;
    FocusedPrograms programs;
};

QPoint towards(RadialDirection direction) {
    const double angle = RadialModel::sectorAngle(direction) * std::numbers::pi / 180;
    return QPoint(static_cast<int>(std::lround(80 * std::cos(angle))),
                  static_cast<int>(std::lround(-80 * std::sin(angle))));
}

TEST_F(SnapWheel, EachTriggerSnapsTheFocusedWindowInEveryDirectionAndTheCentreMaximises) {
    const xcb_window_t window = programs.openLogo(app.platform());
    ASSERT_NE(window, XCB_WINDOW_NONE);
    struct Trigger {
        RadialTrigger setting;
        xcb_keycode_t key;
    };
    const Trigger triggers[] = {{RadialTrigger::fn, functionKey(input)},
                                {RadialTrigger::rightOption, input.keycode(XKB_KEY_Alt_R)},
                                {RadialTrigger::rightCommand, input.keycode(XKB_KEY_Super_R)},
                                {RadialTrigger::rightControl, input.keycode(XKB_KEY_Control_R)}};
    for (const Trigger& trigger : triggers) {
        SCOPED_TRACE(rawValue(trigger.setting).toStdString());
        ASSERT_NE(trigger.key, XCB_NO_SYMBOL);
        app.settings().setRadialTrigger(trigger.setting);
        for (RadialDirection direction : allCases<RadialDirection>()) {
            if (direction == RadialDirection::center)
                continue;
            SCOPED_TRACE(rawValue(direction).toStdString());
            const QRect expected = app.snapFrame(*snapAction(direction), window);
            gesture(trigger.key, towards(direction), direction);
            serverFrameLandsOn(window, expected);
        }
        // Let go inside the dead zone: the centre's action, maximise by default.
        const QRect expected = app.snapFrame(SnapAction::maximize, window);
        gesture(trigger.key, QPoint(8, 6), RadialDirection::center);
        serverFrameLandsOn(window, expected);
        // Back to a frame the next trigger's maximise will change.
        gesture(trigger.key, towards(RadialDirection::left), RadialDirection::left);
    }
}

TEST_F(SnapWheel, EscapeWhileTheRingShowsMovesNothing) {
    // The Escape reaches the program in front as well: one that does not quit on it.
    const xcb_window_t window = programs.open(app.platform(), QStringLiteral("xterm"),
                                              {QStringLiteral("-geometry"), QStringLiteral("40x10+200+150")});
    ASSERT_NE(window, XCB_WINDOW_NONE);
    const QRect before = serverFrame(window);

    const xcb_keycode_t trigger = functionKey(input);
    ASSERT_TRUE(holdUntilRingShows(trigger));
    input.moveTo(middle() + towards(RadialDirection::right));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return radial().model().direction() == RadialDirection::right; }, waitMs));
    input.press(input.keycode(XKB_KEY_Escape));
    input.release(input.keycode(XKB_KEY_Escape));
    EXPECT_TRUE(QTest::qWaitFor([&] { return radial().phase() == Phase::idle; }, waitMs));
    input.release(trigger);

    // The ring goes once its fade has run, which a loaded machine draws out; and nothing is to
    // happen: give a wrong placement the time it would take to show.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !radial().ringPanel()->isVisible(); }, waitMs));
    QTest::qWait(500);
    EXPECT_EQ(serverFrame(window), before);
    EXPECT_FALSE(radial().ringPanel()->isVisible());
}

TEST_F(SnapWheel, TheFunctionKeyReachesNoProgramWhileTheWheelUsesItAndChangesApplyAtOnce) {
    KeyWitness witness;
    ASSERT_TRUE(witness.takeFocus());
    const xcb_keycode_t fn = functionKey(input);
    const xcb_keycode_t letter = input.keycode(XKB_KEY_a);

    // The wheel arms on the key, and the focused program never sees it.
    input.press(fn);
    EXPECT_TRUE(QTest::qWaitFor([&] { return radial().phase() != Phase::idle; }, waitMs));
    input.release(fn);
    input.press(letter);
    input.release(letter);
    ASSERT_TRUE(witness.waitFor(letter));
    EXPECT_FALSE(witness.got(fn));
    EXPECT_TRUE(QTest::qWaitFor([&] { return radial().phase() == Phase::idle; }, waitMs));

    // Switched off: the key goes to the program and the wheel stays down.
    app.settings().setRadialEnabled(false);
    input.press(fn);
    input.release(fn);
    EXPECT_TRUE(witness.waitFor(fn));
    EXPECT_EQ(radial().phase(), Phase::idle);

    // On again with another trigger: the right-hand Control key works, the fn key is free.
    app.settings().setRadialEnabled(true);
    app.settings().setRadialTrigger(RadialTrigger::rightControl);
    const xcb_keycode_t control = input.keycode(XKB_KEY_Control_R);
    input.press(control);
    EXPECT_TRUE(QTest::qWaitFor([&] { return radial().phase() == Phase::active; }, waitMs));
    input.press(input.keycode(XKB_KEY_Escape));
    input.release(input.keycode(XKB_KEY_Escape));
    input.release(control);
    EXPECT_TRUE(QTest::qWaitFor([&] { return radial().phase() == Phase::idle; }, waitMs));
}

TEST_F(SnapWheel, KeysTypedWhileTheTriggerIsDownReachTheProgramInFrontAndTheWheelStillHearsThem) {
    KeyWitness witness;
    ASSERT_TRUE(witness.takeFocus());
    // Time enough to type while the wheel is armed.
    app.settings().setRadialHoldDelay(0.5);
    const xcb_keycode_t fn = functionKey(input);
    const xcb_keycode_t x = input.keycode(XKB_KEY_x), a = input.keycode(XKB_KEY_a);
    const xcb_keycode_t y = input.keycode(XKB_KEY_y), b = input.keycode(XKB_KEY_b);
    const xcb_keycode_t escape = input.keycode(XKB_KEY_Escape);
    const std::vector<xcb_keycode_t> typed{x, a, y, b, escape};
    const auto tap = [&](xcb_keycode_t key) {
        input.press(key);
        input.release(key);
    };
    struct Trigger {
        RadialTrigger setting;
        xcb_keycode_t key;
    };
    for (const Trigger& trigger : {Trigger{RadialTrigger::fn, fn},
                                   Trigger{RadialTrigger::rightOption, input.keycode(XKB_KEY_Alt_R)}}) {
        SCOPED_TRACE(rawValue(trigger.setting).toStdString());
        app.settings().setRadialTrigger(trigger.setting);
        const std::size_t before = witness.pressedAmong(typed).size();
        const auto typedSince = [&] {
            const std::vector<xcb_keycode_t> all = witness.pressedAmong(typed);
            return std::vector<xcb_keycode_t>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        };
        // Armed: a key cancels the wheel and goes on to the program all the same.
        input.moveTo(middle());
        tap(x);
        input.press(trigger.key);
        ASSERT_TRUE(QTest::qWaitFor([&] { return radial().phase() == Phase::armed; }, waitMs));
        tap(a);
        EXPECT_TRUE(QTest::qWaitFor([&] { return radial().phase() == Phase::idle; }, waitMs));
        input.release(trigger.key);
        tap(y);
        EXPECT_TRUE(QTest::qWaitFor([&] { return typedSince().size() == 3; }, waitMs));
        EXPECT_EQ(typedSince(), (std::vector<xcb_keycode_t>{x, a, y}));

        // Active: the wheel lets other keys by, and Escape cancels it and reaches the program too.
        input.press(trigger.key);
        ASSERT_TRUE(QTest::qWaitFor([&] { return radial().phase() != Phase::idle; }, waitMs));
        input.moveTo(middle() + towards(RadialDirection::right));
        ASSERT_TRUE(QTest::qWaitFor([&] { return radial().phase() == Phase::active; }, waitMs));
        tap(b);
        EXPECT_TRUE(QTest::qWaitFor([&] { return typedSince().size() == 4; }, waitMs));
        EXPECT_EQ(radial().phase(), Phase::active);
        tap(escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return radial().phase() == Phase::idle; }, waitMs));
        input.release(trigger.key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return typedSince().size() == 5; }, waitMs));
        EXPECT_EQ(typedSince(), (std::vector<xcb_keycode_t>{x, a, y, b, escape}));
    }
    // The key standing for fn itself still reaches no program.
    EXPECT_FALSE(witness.got(fn));
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
