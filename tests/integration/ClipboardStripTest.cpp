// The clipboard strip among real programs: what closes it and what leaves it up, a paste into a
// terminal, and the cards' hover under a pointer at rest.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "app/Hotkeys.h"
#include "clipboard/ClipCard.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelController.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "shelf/FilePanel.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;

class ClipboardStrip : public ::testing::Test {
protected:
    ClipboardStrip() {
        registerHotkeys(app.state());
        app.state().clipboard().setEnabled(true);
    }
    ~ClipboardStrip() override {
        for (QProcess* owner : owners) {
            owner->kill();
            owner->waitForFinished(2000);
            delete owner;
        }
    }

    // Another program copies `text` into `selection` and keeps it; a copy into the clipboard is
    // waited for in the history.
    void copy(const QByteArray& text, const char* selection = "clipboard") {
        auto* xclip = new QProcess;
        owners.push_back(xclip);
        const size_t before = history().items().size();
        xclip->start(QStringLiteral("xclip"), {"-selection", selection, "-quiet", "-i"});
        ASSERT_TRUE(xclip->waitForStarted(waitMs));
        xclip->write(text);
        xclip->closeWriteChannel();
        if (QByteArray(selection) == "clipboard") {
            ASSERT_TRUE(QTest::qWaitFor([&] { return history().items().size() == before + 1; }, waitMs));
        }
    }
    // An xterm at the top left, in front, writing every byte typed into it to `path` as it comes.
    xcb_window_t openXterm(const QString& path) {
        return programs.open(app.platform(), QStringLiteral("xterm"),
                             {"-geometry", "60x10+0+0", "-e", "sh", "-c",
                              QStringLiteral("stty raw -echo; exec dd bs=1 of='%1' 2>/dev/null").arg(path)});
    }
    QByteArray written(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The strip on its hot key, with the keyboard and at rest in its place.
    bool openStrip() {
        keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
        if (!QTest::qWaitFor([&] { return strip().isShown() && strip().panel()->isActiveWindow(); }, waitMs))
            return false;
        QRect last;
        return QTest::qWaitFor(
            [&] {
                const QRect now = strip().panel()->geometry();
                const bool resting = now == last && strip().panel()->alphaValue() == 1.0;
                last = now;
                return resting;
            },
            waitMs);
    }
    bool stripCloses() {
        return QTest::qWaitFor([&] { return !strip().panel()->isVisible(); }, waitMs);
    }
    // Still up a second later: the old way of closing it took well under that.
    bool stripStaysUp() {
        return !QTest::qWaitFor([&] { return !strip().panel()->isVisible(); }, 1000) && strip().isShown();
    }

    ClipboardHistory& history() { return app.state().clipboard(); }
    ClipboardPanelController& strip() { return app.state().clipboardPanel(); }

    LiveApp app;
    std::vector<QProcess*> owners;
    QTemporaryDir scratch;
    FocusedPrograms programs;
    XTestInput keys;
};

TEST_F(ClipboardStrip, AClickInAnotherProgramClosesItAfterAnyClicksInOurOwnWindows) {
    copy("an entry");
    const xcb_window_t xterm = openXterm(scratch.filePath("typed"));
    ASSERT_NE(xterm, XCB_WINDOW_NONE);
    app.state().settingsWindow().show(SettingsTab::clipboard);
    SettingsWindow& settings = *app.state().settingsWindow().window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings, waitMs));
    settings.move(900, 100);
    const auto settingsID = static_cast<xcb_window_t>(settings.winId());
    ASSERT_TRUE(QTest::qWaitFor([&] { return serverFrame(settingsID).left() >= 900; }, waitMs));

    ASSERT_TRUE(openStrip());
    // Clicks on the strip, then in the Settings window and on its title bar: the strip stays
    const QPoint inClient = settings.mapToGlobal(QPoint(settings.width() - 6, settings.height() - 6));
    const QPoint onTitleBar(serverFrame(settingsID).center().x(), serverFrame(settingsID).top() + 6);
    const QPoint inSettings[] = {inClient, onTitleBar, inClient};
    keys.click(strip().panel()->geometry().topLeft() + QPoint(strip().panel()->width() / 2, 26), 3);
    for (const QPoint& point : inSettings) {
        keys.click(point);
        ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == settingsID; }, waitMs));
    }
    EXPECT_TRUE(stripStaysUp());
    // A click in the xterm closes it, and the keyboard stays where the click put it
    const QRect terminal = serverFrame(xterm);
    keys.click(terminal.center());
    EXPECT_TRUE(stripCloses());
    EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == xterm; }, waitMs));
    EXPECT_FALSE(QTest::qWaitFor([&] { return activeWindow() != xterm; }, 500));
}

TEST_F(ClipboardStrip, ItStaysUpWhenTheWindowUnderItGoesFullScreenOrANewWindowTakesTheKeyboard) {
    copy("an entry");
    const xcb_window_t xterm = openXterm(scratch.filePath("typed"));
    ASSERT_NE(xterm, XCB_WINDOW_NONE);
    ASSERT_TRUE(openStrip());
    askWindowManager(xterm, "_NET_WM_STATE", {1, desktop().atom("_NET_WM_STATE_FULLSCREEN"), 0, 2});
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasState(xterm, "_NET_WM_STATE_FULLSCREEN"); }, waitMs));
    EXPECT_TRUE(stripStaysUp());

    const xcb_window_t logo = programs.openLogo(app.platform());
    ASSERT_NE(logo, XCB_WINDOW_NONE);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !strip().panel()->isActiveWindow(); }, waitMs));
    EXPECT_TRUE(stripStaysUp());
    // Its hot key closes it from there
    keys.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_v});
    EXPECT_TRUE(stripCloses());
}

TEST_F(ClipboardStrip, AnEntryChosenOverXtermIsPastedThereAndTheNextKeyArrivesAsTyped) {
    copy("the user's own", "primary");
    copy("pasted entry");
    const QString typed = scratch.filePath("typed");
    const xcb_window_t xterm = openXterm(typed);
    ASSERT_NE(xterm, XCB_WINDOW_NONE);
    ASSERT_TRUE(openStrip());
    keys.type({XKB_KEY_Return});
    EXPECT_TRUE(QTest::qWaitFor([&] { return written(typed) == "pasted entry"; }, waitMs))
        << "xterm got: " << written(typed).toPercentEncoding().constData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == xterm; }, waitMs));
    keys.type({XKB_KEY_x});
    EXPECT_TRUE(QTest::qWaitFor([&] { return written(typed) == "pasted entryx"; }, waitMs))
        << "xterm got: " << written(typed).toPercentEncoding().constData();
    // The primary selection holds what it held before the paste
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QGuiApplication::clipboard()->text(QClipboard::Selection) == "the user's own"; },
        waitMs));
}

TEST_F(ClipboardStrip, TheHoverFollowsThePointerWhenASearchMovesTheCards) {
    for (const char* text : {"four a", "three", "two", "one a"})
        copy(text);
    ASSERT_TRUE(openStrip());
    // The pointer rests on the fourth card
    std::vector<ClipCard*> cards = strip().view()->cards();
    ASSERT_EQ(cards.size(), 4u);
    ClipCard* fourth = cards[3];
    ASSERT_EQ(fourth->item().text, "four a");
    keys.moveTo(fourth->mapToGlobal(fourth->rect().center()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fourth->isHovered(); }, waitMs));
    // A search moves it to the second place: it is no longer under the pointer
    keys.type({XKB_KEY_a});
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip().view()->cards().size() == 2; }, waitMs));
    EXPECT_EQ(strip().view()->cards()[1], fourth);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fourth->isHovered(); }, waitMs));
    // Back under it, it is hovered again
    keys.type({XKB_KEY_BackSpace});
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip().view()->cards().size() == 4; }, waitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fourth->isHovered(); }, waitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fourth->hoverScale() == ClipCard::hoveredScale; }, waitMs));
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
