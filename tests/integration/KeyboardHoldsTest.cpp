// The keyboard never waits on the product's main thread: on a real X server, keys typed after a
// hot key whose action holds the main thread reach the program in front at once; after the
// clipboard strip's hot key they wait for the strip, but never longer than the hold's limit.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "ShortcutKit/Key.h"
#include "app/Hotkeys.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelController.h"
#include "platform/HotKeys.h"
#include "platform/ModifierBits.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <xcb/xtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <thread>
#include <vector>

namespace corvane::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;
constexpr int waitMs = 5000;

// Types through XTest from a thread of its own while the main thread may be held.
class Typist {
public:
    explicit Typist(const QByteArray& display) : m_connection(xcb_connect(display.constData(), nullptr)) {}
    ~Typist() { xcb_disconnect(m_connection); }

    // Presses the keys in order, lets them go in reverse, and waits until the server has them.
    void type(const std::vector<xcb_keycode_t>& combination) {
        for (xcb_keycode_t code : combination)
            xcb_test_fake_input(m_connection, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0,
                                0);
        for (auto code = combination.rbegin(); code != combination.rend(); ++code)
            xcb_test_fake_input(m_connection, XCB_KEY_RELEASE, *code, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0,
                                0);
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

private:
    xcb_connection_t* m_connection;
};

class KeyboardHolds : public ::testing::Test {
protected:
    KeyboardHolds() {
        registerHotkeys(app.state());
        app.state().clipboard().setEnabled(true);
        logger = programs.open(app.platform(), QStringLiteral(CORVANE_CLIPBOARD_TEST_PROGRAM),
                               {"log-keys", scratch.filePath("keys.txt")});
        // The typing device becomes the one in use before anything is timed (every client reloads
        // the keymap at the first key of another device).
        input.type({XKB_KEY_Shift_L});
    }

    // The keys the program in front got, one name a line; safe from any thread.
    QStringList keysLogged() const {
        QFile file(scratch.filePath("keys.txt"));
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                   : QStringList();
    }
    // Whether the program in front got these keys, in this order, after `skipped` earlier lines.
    bool loggedInOrder(const QStringList& keys, qsizetype skipped) const {
        QStringList got = keysLogged().mid(skipped);
        got.removeIf([&](const QString& key) { return !keys.contains(key); });
        return got == keys;
    }
    // Holds the main thread for `duration` from its next turn, then runs `typing` on a thread of
    // its own once the hold has begun, and waits for both.
    void typeWhileTheMainThreadIsHeld(std::chrono::milliseconds duration,
                                      const std::function<void()>& typing) {
        QTimer::singleShot(0, [&] {
            held = true;
            std::this_thread::sleep_for(duration);
            held = false;
        });
        std::atomic<bool> done = false;
        std::thread typist([&] {
            typing();
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 4 * waitMs));
        typist.join();
    }
    // From the typing thread: waits for the main thread's hold to begin.
    bool waitForTheHold() const {
        const auto until = Clock::now() + 10s;
        while (!held && Clock::now() < until)
            std::this_thread::sleep_for(1ms);
        return held;
    }
    // From the typing thread: how long after `typed` the program in front had the keys, in order;
    // none when it had not yet got them as the main thread's hold ended.
    std::optional<Milliseconds> arrival(const QStringList& keys, qsizetype skipped,
                                        Clock::time_point typed) const {
        while (held) {
            if (loggedInOrder(keys, skipped))
                return Milliseconds(Clock::now() - typed);
            std::this_thread::sleep_for(1ms);
        }
        return std::nullopt;
    }

    LiveApp app;
    FocusedPrograms programs;
    QTemporaryDir scratch;
    xcb_window_t logger = XCB_WINDOW_NONE;
    XTestInput input;
    const QByteArray display = desktop().displayName().toLocal8Bit();
    std::atomic<bool> held = false;
};

TEST_F(KeyboardHolds, AnotherHotKeyLeavesTheKeyboardToTheProgramInFrontWhileItsActionHoldsTheMainThread) {
    ASSERT_NE(logger, XCB_WINDOW_NONE);
    corvane::HotKeys& hotKeys = *app.platform().hotKeys;
    const std::optional<corvane::HotKeys::Id> id = hotKeys.registerHotKey(
        ShortcutKit::Key::j.rawValue, HotKeyModifier::control | HotKeyModifier::option);
    ASSERT_TRUE(id.has_value());
    // The action holds the main thread, as a blocking call would.
    QObject context;
    QObject::connect(&hotKeys, &corvane::HotKeys::pressed, &context, [&](corvane::HotKeys::Id pressed) {
        if (pressed != *id)
            return;
        held = true;
        std::this_thread::sleep_for(2s);
        held = false;
    });
    const std::vector<xcb_keycode_t> hotKey{input.keycode(XKB_KEY_Control_L), input.keycode(XKB_KEY_Alt_L),
                                            input.keycode(XKB_KEY_j)};
    const xcb_keycode_t letter = input.keycode(XKB_KEY_a);
    const qsizetype before = keysLogged().size();

    std::optional<Milliseconds> took;
    std::atomic<bool> done = false;
    std::thread typist([&] {
        Typist keys(display);
        keys.type(hotKey);
        if (waitForTheHold()) {
            const Clock::time_point typed = Clock::now();
            keys.type({letter});
            took = arrival({"A"}, before, typed);
        }
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 4 * waitMs));
    typist.join();
    ASSERT_TRUE(took.has_value())
        << "the key reached the program in front only once the main thread was free";
    std::cout << "A key typed after the hot key reached the program in front " << took->count()
              << " ms later\n";
    // A loaded machine's bound; at rest it takes a few milliseconds.
    EXPECT_LT(took->count(), 300);
}

TEST_F(KeyboardHolds, TheStripsHotKeyKeepsWhatIsTypedAfterItForTheStripAtMostUntilTheHoldsLimit) {
    ASSERT_NE(logger, XCB_WINDOW_NONE);
    ClipboardPanelController& strip = app.state().clipboardPanel();
    const std::vector<xcb_keycode_t> hotKey{input.keycode(XKB_KEY_Alt_L), input.keycode(XKB_KEY_Shift_L),
                                            input.keycode(XKB_KEY_v)};
    const std::vector<xcb_keycode_t> letters{input.keycode(XKB_KEY_x), input.keycode(XKB_KEY_y),
                                             input.keycode(XKB_KEY_z)};
    const auto typeTheLetters = [&](Typist& keys) {
        for (xcb_keycode_t letter : letters)
            keys.type({letter});
    };

    // The main thread held for 2 s: the keys wait for the strip and land in it, in order.
    qsizetype before = keysLogged().size();
    typeWhileTheMainThreadIsHeld(2000ms, [&] {
        Typist keys(display);
        if (!waitForTheHold())
            return;
        keys.type(hotKey);
        typeTheLetters(keys);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return strip.model().query() == "xyz"; }, waitMs))
        << "the strip's search holds \"" << strip.model().query().toStdString() << "\"";
    EXPECT_FALSE(loggedInOrder({"X"}, before) || loggedInOrder({"Y"}, before) ||
                 loggedInOrder({"Z"}, before));
    // Closed by the hot key again; the program in front has the keyboard back.
    input.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !strip.isShown(); }, waitMs));

    // Held longer than the hold's limit: the keys typed meanwhile go on to the program in front, in
    // order, while the main thread is still held.
    before = keysLogged().size();
    std::optional<Milliseconds> took;
    typeWhileTheMainThreadIsHeld(7000ms, [&] {
        Typist keys(display);
        if (!waitForTheHold())
            return;
        const Clock::time_point typed = Clock::now();
        keys.type(hotKey);
        typeTheLetters(keys);
        took = arrival({"X", "Y", "Z"}, before, typed);
    });
    ASSERT_TRUE(took.has_value()) << "the program in front got "
                                  << keysLogged().mid(before).join(' ').toStdString();
    std::cout << "The keys held for the strip went on to the program in front " << took->count()
              << " ms later\n";
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
