// The clipboard history on a real X server: copies made by other programs are recorded as they
// happen and kept privately on disk, a copy marked for password managers never is, an owner that
// never answers holds nothing up, and the strip opened by its hot key pastes the chosen entry into
// the window that was in front.
#include "support/FocusedPrograms.h"
#include "support/HeaderDrags.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "ShortcutKit/AppShortcuts.h"
#include "app/Hotkeys.h"
#include "clipboard/ClipCard.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelController.h"
#include "core/Settings.h"
#include "platform/Pasteboard.h"
#include "shelf/FilePanel.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <xcb/xtest.h>

#include <sys/stat.h>

#include <chrono>
#include <thread>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;

int modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? static_cast<int>(info.st_mode & 0777)
                                                                   : -1;
}

bool hasTexts(const ClipboardHistory& history, const QStringList& texts) {
    QStringList found;
    for (const ClipItem& item : history.items())
        found.append(item.text);
    return found == texts;
}

class Clipboard : public ::testing::Test {
protected:
    ~Clipboard() override {
        for (QProcess* owner : owners) {
            owner->kill();
            owner->waitForFinished(2000);
            delete owner;
        }
    }

    // Another program copies `text`, as a person copies from a terminal, and keeps it.
    void copyWithXclip(const QByteArray& text, const QString& type = QStringLiteral("UTF8_STRING")) {
        auto* xclip = new QProcess;
        owners.push_back(xclip);
        xclip->start(QStringLiteral("xclip"), {"-selection", "clipboard", "-quiet", "-t", type, "-i"});
        ASSERT_TRUE(xclip->waitForStarted(waitMs));
        xclip->write(text);
        xclip->closeWriteChannel();
    }
    void copySecret(const QString& text) {
        auto* owner = new QProcess;
        owners.push_back(owner);
        owner->start(QStringLiteral(CORVANE_CLIPBOARD_TEST_PROGRAM), {"own-secret", text});
        ASSERT_TRUE(owner->waitForStarted(waitMs));
    }
    // Opens a program of the test's own in front, with the keyboard, writing down every key it
    // gets; none when it did not come up.
    xcb_window_t openKeyLogger() {
        return programs.open(app.platform(), QStringLiteral(CORVANE_CLIPBOARD_TEST_PROGRAM),
                             {"log-keys", scratch.filePath("keys.txt")});
    }
    // The strip on its hot key, recording, with the key logger in front: none when it did not
    // come up.
    xcb_window_t startWithKeyLoggerInFront() {
        registerHotkeys(app.state());
        app.state().clipboard().setEnabled(true);
        return openKeyLogger();
    }
    // What the key logger has written down so far.
    QString keysLogged() const {
        QFile file(scratch.filePath("keys.txt"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    LiveApp app;
    std::vector<QProcess*> owners;
    QTemporaryDir scratch;
    FocusedPrograms programs;
};

TEST_F(Clipboard, ACopyIsRecordedAsItHappensKeptPrivatelyAndBackAfterARestart) {
    app.settings().setClipboardRetentionDays(1);
    ClipboardHistory& history = app.state().clipboard();
    history.setEnabled(true);

    // A large copy comes in chunks (INCR); a small one in one answer
    const QByteArray large(3 * 1024 * 1024, 'x');
    copyWithXclip(large);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !history.items().empty(); }, waitMs));
    ASSERT_EQ(history.items().size(), 1u);
    EXPECT_EQ(history.items()[0].text.size(), large.size());
    history.clear();
    copyWithXclip("copied by xclip");
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasTexts(history, {"copied by xclip"}); }, 1500));

    const QString folder = history.store().directory();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(folder + "/index.json"); }, waitMs));
    EXPECT_EQ(modeOf(folder), 0700);
    EXPECT_EQ(modeOf(folder + "/index.json"), 0600);

    // A restart: the old history quits, a new one reads the store
    history.setEnabled(false);
    history.flushForTermination();
    ClipboardHistory restarted(app.settings(), app.state().scheduler(), app.state().background(),
                               *app.platform().pasteboard, *app.platform().runningApplications);
    restarted.setEnabled(true);
    EXPECT_TRUE(hasTexts(restarted, {"copied by xclip"}));
}

TEST_F(Clipboard, APasswordMarkedCopyIsNeverRecorded) {
    app.settings().setClipboardRetentionDays(1);
    ClipboardHistory& history = app.state().clipboard();
    history.setEnabled(true);

    Pasteboard& pasteboard = *app.platform().pasteboard;
    const qint64 before = pasteboard.changeCount();
    copySecret("hunter2");
    // The owner is there once the clipboard names it; a poll then sees the secret, and a later
    // ordinary copy shows that the poll passed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return pasteboard.changeCount() != before; }, waitMs));
    history.capture();
    copyWithXclip("after");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !history.items().empty(); }, waitMs));
    EXPECT_TRUE(hasTexts(history, {"after"}));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QFile::exists(history.store().directory() + "/index.json"); }, waitMs));
    QFile index(history.store().directory() + "/index.json");
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_FALSE(index.readAll().contains("hunter2"));
}

TEST_F(Clipboard, TheHotKeyOpensTheStripAndReturnPastesIntoTheWindowInFront) {
    registerHotkeys(app.state());
    ClipboardHistory& history = app.state().clipboard();
    history.setEnabled(true);
    QImage image(320, 200, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 220));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const std::pair<QByteArray, QString> copies[] = {{png, "image/png"},
                                                     {"https://example.org/some/path", "UTF8_STRING"},
                                                     {"older entry", "UTF8_STRING"},
                                                     {"newest entry", "UTF8_STRING"}};
    for (const auto& [bytes, type] : copies) {
        const size_t before = history.items().size();
        copyWithXclip(bytes, type);
        ASSERT_TRUE(QTest::qWaitFor([&] { return history.items().size() == before + 1; }, waitMs))
            << type.toStdString();
    }
    EXPECT_EQ(history.items()[3].kind, ClipItem::Kind::image);
    EXPECT_EQ(history.items()[2].kind, ClipItem::Kind::link);

    const QString received = scratch.filePath("received.txt");
    const xcb_window_t receiver =
        programs.open(app.platform(), QStringLiteral(CORVANE_CLIPBOARD_TEST_PROGRAM), {"receive", received});
    ASSERT_NE(receiver, XCB_WINDOW_NONE);

    XTestInput typist;
    typist.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    ClipboardPanelController& strip = app.state().clipboardPanel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.isShown() && strip.panel()->isActiveWindow(); }, waitMs));

    // A picture of the strip, to look at: four cards of three kinds under the search field, the
    // copied picture's preview among them once it is decoded
    QImage picture;
    const auto showsThePicture = [&] {
        const int y = picture.height() / 2;
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelColor(x, y) == image.pixelColor(0, 0))
                return true;
        return false;
    };
    (void)QTest::qWaitFor(
        [&] {
            picture = strip.panel()->grab().toImage();
            return picture.width() > 900 && showsThePicture();
        },
        waitMs);
    const QString screenshots = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(screenshots);
    EXPECT_TRUE(picture.save(screenshots + QStringLiteral("/clipboard-strip.png")));
    EXPECT_GT(picture.width(), 900);
    EXPECT_NE(picture.pixel(picture.width() / 2, picture.height() / 2), picture.pixel(2, 2));
    EXPECT_TRUE(showsThePicture());

    // The right arrow selects the older entry; Return pastes it where the keyboard was
    typist.type({XKB_KEY_Right});
    typist.type({XKB_KEY_Return});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QFile file(received);
            return file.open(QIODevice::ReadOnly) && file.readAll() == "older entry";
        },
        waitMs));
    EXPECT_EQ(activeWindow(), receiver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !strip.panel()->isVisible(); }, waitMs));
}

TEST_F(Clipboard, ThePasteLandsInTheProgramInFrontAfterAnotherWentFullScreenUnderTheStrip) {
    registerHotkeys(app.state());
    ClipboardHistory& history = app.state().clipboard();
    history.setEnabled(true);
    copyWithXclip("pasted entry");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !history.items().empty(); }, waitMs));
    ClipboardPanelController& strip = app.state().clipboardPanel();
    XTestInput keys;
    const auto open = [&] {
        keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
        return QTest::qWaitFor([&] { return strip.isShown() && strip.panel()->isActiveWindow(); }, waitMs);
    };
    const auto closed = [&] { return QTest::qWaitFor([&] { return !strip.panel()->isVisible(); }, waitMs); };
    const auto received = [&](const QString& name) {
        QFile file(scratch.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };

    // The strip opened over one program and closed
    const xcb_window_t first = programs.open(app.platform(), QStringLiteral(CORVANE_CLIPBOARD_TEST_PROGRAM),
                                             {"receive", scratch.filePath("first.txt")});
    ASSERT_NE(first, XCB_WINDOW_NONE);
    ASSERT_TRUE(open());
    keys.type({XKB_KEY_Escape});
    ASSERT_TRUE(closed());
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == first; }, waitMs));

    // Another program in front, full screen: the strip stays above it, and Escape gives it back
    // its keyboard
    const xcb_window_t second = programs.open(app.platform(), QStringLiteral(CORVANE_CLIPBOARD_TEST_PROGRAM),
                                              {"receive", scratch.filePath("second.txt")});
    ASSERT_NE(second, XCB_WINDOW_NONE);
    askWindowManager(second, "_NET_WM_STATE", {1, desktop().atom("_NET_WM_STATE_FULLSCREEN"), 0, 2});
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasState(second, "_NET_WM_STATE_FULLSCREEN"); }, waitMs));
    ASSERT_TRUE(open());
    keys.type({XKB_KEY_Escape});
    ASSERT_TRUE(closed());
    EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == second; }, waitMs));

    // Return pastes into the program in front, and only there
    ASSERT_TRUE(open());
    keys.type({XKB_KEY_Return});
    EXPECT_TRUE(QTest::qWaitFor([&] { return received("second.txt") == "pasted entry"; }, waitMs))
        << "the first program got: " << received("first.txt").constData();
    EXPECT_TRUE(received("first.txt").isEmpty());
    EXPECT_EQ(activeWindow(), second);
}

TEST_F(Clipboard, AClickOnTheStripsHeaderOrItsEmptyRowKeepsTypingInTheSearch) {
    registerHotkeys(app.state());
    app.state().clipboard().setEnabled(true);
    copyWithXclip("one entry");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.state().clipboard().items().empty(); }, waitMs));
    const xcb_window_t front = openKeyLogger();
    ASSERT_NE(front, XCB_WINDOW_NONE);
    ClipboardPanelController& strip = app.state().clipboardPanel();
    XTestInput input;
    input.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.isShown() && strip.panel()->isActiveWindow(); }, waitMs));
    // Once it has risen to its place
    QRect last;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QRect now = strip.panel()->geometry();
            const bool resting = now == last;
            last = now;
            return resting;
        },
        waitMs));
    QWidget* header = strip.view()->searchField()->parentWidget()->parentWidget();
    auto* row = strip.view()->findChild<QScrollArea*>();
    ASSERT_NE(row, nullptr);
    const QPoint onHeader = header->mapToGlobal(QPoint(header->width() / 2, header->height() / 2));
    const QPoint onEmptyRow = row->mapToGlobal(QPoint(row->width() - 40, row->height() / 2));

    input.click(onHeader);
    input.type({XKB_KEY_q});
    EXPECT_TRUE(QTest::qWaitFor([&] { return strip.model().query() == "q"; }, waitMs))
        << "after a click on the header: " << strip.model().query().toStdString();
    input.click(onEmptyRow);
    input.type({XKB_KEY_w});
    EXPECT_TRUE(QTest::qWaitFor([&] { return strip.model().query() == "qw"; }, waitMs))
        << "after a click on the empty row: " << strip.model().query().toStdString();
    EXPECT_TRUE(strip.isShown());
    EXPECT_FALSE(keysLogged().contains("Q"));
    EXPECT_FALSE(keysLogged().contains("W"));
}

// Types from a thread of its own, on a connection of its own, while the application's main thread
// goes on (or, `busy`, does nothing until both are typed, as on a machine too busy to run it): the
// strip's hot key, then, `gap` later, `key`.
void typeAfterTheHotKey(const XTestInput& keys, xcb_keysym_t key, std::chrono::milliseconds gap,
                        bool busy = false) {
    const std::vector<xcb_keycode_t> hotKey{keys.keycode(XKB_KEY_Alt_L), keys.keycode(XKB_KEY_Shift_L),
                                            keys.keycode(XKB_KEY_v)};
    const xcb_keycode_t then = keys.keycode(key);
    const QByteArray display = desktop().displayName().toLocal8Bit();
    std::thread typist([&] {
        xcb_connection_t* c = xcb_connect(display.constData(), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const auto send = [&](uint8_t type, xcb_keycode_t code) {
            xcb_test_fake_input(c, type, code, XCB_CURRENT_TIME, root, 0, 0, 0);
        };
        for (xcb_keycode_t code : hotKey)
            send(XCB_KEY_PRESS, code);
        for (auto it = hotKey.rbegin(); it != hotKey.rend(); ++it)
            send(XCB_KEY_RELEASE, *it);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        // The gap between the two is what is under test.
        std::this_thread::sleep_for(gap);
        send(XCB_KEY_PRESS, then);
        send(XCB_KEY_RELEASE, then);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        xcb_disconnect(c);
    });
    // The main thread waits on its events meanwhile, as the application's would (QTest::qWait
    // would sleep between looks, longer than the gap).
    if (!busy) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(gap.count()) + 50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    typist.join();
}

TEST_F(Clipboard, KeysTypedRightAfterTheHotKeyActOnTheStripAndReachNoOtherProgram) {
    registerHotkeys(app.state());
    app.state().clipboard().setEnabled(true);
    copyWithXclip("an entry");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.state().clipboard().items().empty(); }, waitMs));
    const xcb_window_t logger = openKeyLogger();
    ASSERT_NE(logger, XCB_WINDOW_NONE);
    ClipboardPanelController& strip = app.state().clipboardPanel();
    XTestInput keys;
    // The first key of a keyboard other than the last one used makes every client reload the
    // keymap, which holds the main thread for several milliseconds: the test's typing device is
    // made the one in use first, as a person's keyboard is.
    keys.type({XKB_KEY_Shift_L});

    for (int round = 0; round < 3; ++round) {
        // The hold starts when the main thread takes the hot key: let it finish with the focus
        // change first, as an application at rest would be.
        QTest::qWait(200);
        // Escape 5 ms after the hot key closes the strip, and the program in front never sees it
        typeAfterTheHotKey(keys, XKB_KEY_Escape, std::chrono::milliseconds(5));
        ASSERT_TRUE(QTest::qWaitFor([&] { return strip.panel() && !strip.panel()->isVisible(); }, waitMs))
            << "round " << round << ", the program in front got: " << keysLogged().toStdString();
        EXPECT_FALSE(keysLogged().contains("Esc")) << "round " << round;
        ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == logger; }, waitMs));
    }
    // The same when the application gets to the hot key only after both keys are typed
    QTest::qWait(200);
    typeAfterTheHotKey(keys, XKB_KEY_Escape, std::chrono::milliseconds(5), true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.panel() && !strip.panel()->isVisible(); }, waitMs))
        << "the program in front got: " << keysLogged().toStdString();
    EXPECT_FALSE(keysLogged().contains("Esc"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == logger; }, waitMs));

    // A letter typed as quickly goes into the strip's search field
    // (after the last close's focus change has settled, as in each round)
    QTest::qWait(200);
    typeAfterTheHotKey(keys, XKB_KEY_x, std::chrono::milliseconds(5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.model().query() == "x"; }, waitMs));
    EXPECT_TRUE(strip.isShown());
    // Only the hot key's modifiers, pressed before it, reached the program in front
    EXPECT_FALSE(keysLogged().contains("X"));
    EXPECT_FALSE(keysLogged().contains("Esc"));
    // The next hot key closes it, as a toggle
    keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !strip.panel()->isVisible(); }, waitMs));
}

TEST_F(Clipboard, DraggingTheStripsHeaderMovesTheStripAsFar) {
    app.state().clipboard().setEnabled(true);
    ClipboardPanelController& strip = app.state().clipboardPanel();
    strip.show();
    FilePanel* panel = strip.panel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return panel->windowHandle() && panel->windowHandle()->isExposed(); }, waitMs));

    // The window manager moves no window it does not manage: the strip follows the pointer itself
    XTestInput input;
    QRect placed;
    dragHeader(input, *panel, QPoint(-90, -60), &placed);
    EXPECT_EQ(panel->geometry(), placed.translated(-90, -60));
    strip.hide();
}

TEST_F(Clipboard, EveryEscapeClosesAStripReopenedRightAfterItClosed) {
    const xcb_window_t front = startWithKeyLoggerInFront();
    ASSERT_NE(front, XCB_WINDOW_NONE);
    ClipboardPanelController& strip = app.state().clipboardPanel();
    XTestInput keys;
    keys.type({XKB_KEY_Shift_L});
    const auto drawn = [&] {
        const QWindow* window = strip.panel() ? strip.panel()->windowHandle() : nullptr;
        return strip.isShown() && window && window->isExposed();
    };
    // Well within the time after which keys held for the strip go to it anyway: an Escape that
    // only acts then was lost.
    const int closes = static_cast<int>(ClipboardPanelController::keyboardHoldLimit.count() * 1000 / 2);

    keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    ASSERT_TRUE(QTest::qWaitFor(drawn, waitMs));
    const WId window = strip.panel()->winId();
    // Escape, then at once the hot key again (the strip was wanted after all), then Escape: the
    // strip comes back before the application has heard that it lost the keyboard; every other
    // time once its next opening is painted, as it is a moment after a close
    for (int round = 0; round < 10; ++round) {
        keys.type({XKB_KEY_Escape});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !strip.panel()->isVisible(); }, closes))
            << "round " << round;
        if (round % 2 == 1) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return strip.panel()->isPaintedWhileHidden(); }, closes))
                << "round " << round;
        }
        keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
        ASSERT_TRUE(QTest::qWaitFor(drawn, waitMs)) << "round " << round;
        // In the same window, which keeps what was painted ahead for it
        EXPECT_EQ(strip.panel()->winId(), window) << "round " << round;
    }
    keys.type({XKB_KEY_Escape});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !strip.panel()->isVisible(); }, closes));
    // The keyboard is back with the program that had it, which saw none of the Escapes
    EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == front; }, waitMs));
    EXPECT_FALSE(keysLogged().contains("Esc"));
}

TEST_F(Clipboard, AStripReopenedAtOnceKeepsItsWindowAndTakesWhatIsTyped) {
    // With no program in front to give the keyboard back to, the strip keeps it until its window
    // is unmapped, and the toolkit hears of the loss only a moment after the strip closed
    registerHotkeys(app.state());
    app.state().clipboard().setEnabled(true);
    ClipboardPanelController& strip = app.state().clipboardPanel();
    XTestInput keys;
    const auto drawn = [&] {
        const QWindow* window = strip.panel() ? strip.panel()->windowHandle() : nullptr;
        return strip.isShown() && window && window->isExposed() && strip.panel()->isActiveWindow();
    };
    keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    ASSERT_TRUE(QTest::qWaitFor(drawn, waitMs));
    const WId window = strip.panel()->winId();
    for (int round = 0; round < 5; ++round) {
        keys.type({XKB_KEY_Escape});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !strip.panel()->isVisible(); }, waitMs))
            << "round " << round;
        keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
        // It shows in the same window, which keeps what was painted ahead for it, and is counted
        // active: what is typed goes to its search
        ASSERT_TRUE(QTest::qWaitFor(drawn, waitMs)) << "round " << round;
        EXPECT_EQ(strip.panel()->winId(), window) << "round " << round;
        keys.type({XKB_KEY_x});
        EXPECT_TRUE(QTest::qWaitFor([&] { return strip.model().query() == "x"; }, waitMs))
            << "round " << round;
    }
}

TEST_F(Clipboard, AStripReopenedWhileTheWindowManagerLagsKeepsTheKeyboard) {
    const xcb_window_t front = startWithKeyLoggerInFront();
    ASSERT_NE(front, XCB_WINDOW_NONE);
    ClipboardPanelController& strip = app.state().clipboardPanel();
    XTestInput keys;
    const auto drawn = [&] {
        const QWindow* window = strip.panel() ? strip.panel()->windowHandle() : nullptr;
        return strip.isShown() && window && window->isExposed() && strip.panel()->isActiveWindow();
    };
    keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    ASSERT_TRUE(QTest::qWaitFor(drawn, waitMs));
    const WId window = strip.panel()->winId();

    // On a busy machine the window manager can come to its queue long after the strip closed and
    // opened again; whatever it finds there must not take the keyboard from the new strip
    desktop().pauseWindowManager(true);
    struct Resume {
        ~Resume() { desktop().pauseWindowManager(false); }
    } resume;
    keys.type({XKB_KEY_Escape});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !strip.panel()->isVisible(); }, waitMs));
    keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    ASSERT_TRUE(QTest::qWaitFor(drawn, waitMs));
    // In the same window, which keeps what was painted ahead for it
    EXPECT_EQ(strip.panel()->winId(), window);
    desktop().pauseWindowManager(false);
    // Once the window manager has caught up (it answers a new window again), and the toolkit's
    // moment before it counts a lost keyboard has passed, the strip still shows and types
    ASSERT_TRUE(desktop().windowManagerCaughtUp());
    QTest::qWait(600);
    EXPECT_TRUE(drawn());
    keys.type({XKB_KEY_x});
    EXPECT_TRUE(QTest::qWaitFor([&] { return strip.model().query() == "x"; }, waitMs));
    keys.type({XKB_KEY_Escape});
    EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == front; }, waitMs));
    EXPECT_FALSE(keysLogged().contains("x"));
}

TEST_F(Clipboard, AHotKeyHeldUntilTheStripHasTheKeyboardOpensItAgainNextTime) {
    const xcb_window_t front = startWithKeyLoggerInFront();
    ASSERT_NE(front, XCB_WINDOW_NONE);
    ClipboardPanelController& strip = app.state().clipboardPanel();
    XTestInput keys;
    const xcb_keycode_t hotKey[] = {keys.keycode(XKB_KEY_Alt_L), keys.keycode(XKB_KEY_Shift_L),
                                    keys.keycode(XKB_KEY_v)};
    for (int round = 0; round < 3; ++round) {
        // The last close's focus change settles first, as for an application at rest.
        QTest::qWait(200);
        // A person holds V a moment: the strip has the keyboard before the key comes up, and a
        // letter typed meanwhile is the strip's
        for (xcb_keycode_t code : hotKey)
            keys.press(code);
        ASSERT_TRUE(QTest::qWaitFor([&] { return strip.panel() && strip.panel()->isActiveWindow(); }, waitMs))
            << "round " << round;
        keys.release(hotKey[1]);
        keys.release(hotKey[0]);
        keys.type({XKB_KEY_y});
        keys.release(hotKey[2]);
        EXPECT_TRUE(QTest::qWaitFor([&] { return strip.model().query() == "y"; }, waitMs))
            << "round " << round;
        keys.type({XKB_KEY_Escape});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !strip.panel()->isVisible(); }, waitMs))
            << "round " << round;
        ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == front; }, waitMs));
    }

    // A keymap change while V is down (another keyboard, a layout switch) ends the hold with it
    // (the last close's focus change settles first)
    QTest::qWait(200);
    for (xcb_keycode_t code : hotKey)
        keys.press(code);
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.panel()->isActiveWindow(); }, waitMs));
    EXPECT_EQ(QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("us")}), 0);
    // The keymap's change notice reaches the product while V is still down; nothing shows it.
    QTest::qWait(300);
    for (auto it = std::rbegin(hotKey); it != std::rend(hotKey); ++it)
        keys.release(*it);
    EXPECT_TRUE(QTest::qWaitFor(isKeyboardFree, waitMs)) << "the keyboard is still held";
}

TEST_F(Clipboard, AnOwnerThatNeverAnswersStallsNeitherTheHotKeyNorTheNextCopy) {
    registerHotkeys(app.state());
    ClipboardHistory& history = app.state().clipboard();
    history.setEnabled(true);
    auto* silent = new QProcess;
    owners.push_back(silent);
    silent->start(QStringLiteral(CORVANE_CLIPBOARD_OWNER), {"silent"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return history.readsInFlight() == 1; }, waitMs));

    XTestInput typist;
    QElapsedTimer pressed;
    pressed.start();
    typist.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    ClipboardPanelController& strip = app.state().clipboardPanel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.isShown(); }, waitMs));
    // Well under the second the silent owner is given, with room for a busy machine.
    EXPECT_LE(pressed.elapsed(), 700);

    copyWithXclip("after the silent owner");
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasTexts(history, {"after the silent owner"}); }, waitMs));
}

TEST_F(Clipboard, AHistoryClearedJustBeforeQuittingStaysEmpty) {
    app.settings().setClipboardRetentionDays(1);
    ClipboardHistory& history = app.state().clipboard();
    history.setEnabled(true);
    copyWithXclip("cleared before the quit");
    const QString index = history.store().directory() + "/index.json";
    const auto saved = [&] {
        QFile file(index);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return saved().contains("cleared before the quit"); }, waitMs));

    history.clear();
    // The quit comes 0.3 s after "Clear", before the debounced save.
    QTest::qWait(300);
    history.setEnabled(false);
    history.flushForTermination();
    EXPECT_EQ(saved(), "[]");
    ClipboardHistory restarted(app.settings(), app.state().scheduler(), app.state().background(),
                               *app.platform().pasteboard, *app.platform().runningApplications);
    restarted.setEnabled(true);
    EXPECT_TRUE(restarted.items().empty());
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
