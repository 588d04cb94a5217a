// The paths a user takes through the file panels and the strip on a real desktop with a tray:
// every entry of the Files menu opens its panel, file panels leave the keyboard where it was,
// and a revealed strip shows above a full-screen window.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "core/ScreenHelpers.h"
#include "platform/PanelWindowing.h"
#include "platform/UserDefaults.h"
#include "platform/x11/X11PanelWindowing.h"
#include "shelf/FileListHeader.h"
#include "shelf/FileListView.h"
#include "shelf/FilePanel.h"
#include "shelf/FileShelf.h"
#include "shelf/FileShelfController.h"
#include "shelf/ShelfRow.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarPanel.h"

#include <QAbstractButton>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QRegion>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;

bool isViewable(xcb_window_t window) {
    xcb_connection_t* c = desktop().connection();
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> reply(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr), &std::free);
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

xcb_window_t idOf(const QWidget& widget) {
    return static_cast<xcb_window_t>(widget.winId());
}

QMenu* shownMenu() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->isVisible())
            return menu;
    }
    return nullptr;
}

// Counts the exposures of one window as the application receives them. Installed after the
// platform's own filter, it sees each exposure first, in the same dispatch as the platform.
class ExposureCount : public QAbstractNativeEventFilter {
public:
    explicit ExposureCount(xcb_window_t window) : m_window(window) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~ExposureCount() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) == XCB_EXPOSE &&
            static_cast<const xcb_expose_event_t*>(message)->window == m_window)
            ++count;
        return false;
    }
    int count = 0;

private:
    xcb_window_t m_window;
};

// Whether the active window changes away from `window` within half a second.
bool keyboardMovesFrom(xcb_window_t window) {
    return QTest::qWaitFor([&] { return activeWindow() != window; }, 500);
}

class PanelFocusAndStackingTest : public ::testing::Test {
protected:
    PanelFocusAndStackingTest() {
        app.settings().setShowTray(true);
        app.settings().setShowFiles(true);
        app.settings().setShowFilesIcon(true);
    }

    FileShelfController& shelf() { return app.state().shelf(); }

    QString pinnedFolder() {
        const QString folder = m_folder.filePath(QStringLiteral("Pinned"));
        QDir().mkpath(folder);
        app.state().files().setFolders({folder});
        return folder;
    }

    LiveApp app;
    FocusedPrograms programs;
    QTemporaryDir m_folder;
};

TEST_F(PanelFocusAndStackingTest, AnActionWaitingForAWindowToShowRunsOnceAndNeverOnceDropped) {
    PanelWindowing& windowing = *app.platform().panelWindowing;
    QWindow window;
    window.setFlag(Qt::BypassWindowManagerHint);
    window.setGeometry(100, 100, 120, 80);
    window.create();
    int ran = 0;
    // Qt counts a window exposed once it is mapped; the platform waits for the server's exposure.
    ExposureCount exposures(static_cast<xcb_window_t>(window.winId()));
    const auto showAgain = [&] {
        const int before = exposures.count;
        window.show();
        return QTest::qWaitFor([&] { return exposures.count > before; }, waitMs);
    };
    const auto hide = [&] {
        window.hide();
        return QTest::qWaitFor([&] { return !window.isExposed(); }, waitMs);
    };
    // Dropped before the window shows (a panel hidden before it came on screen): never run
    windowing.whenExposed(window, [&] { ++ran; });
    windowing.whenExposed(window, {});
    ASSERT_TRUE(showAgain());
    EXPECT_EQ(ran, 0);
    // Kept: run as the window shows, once
    ASSERT_TRUE(hide());
    windowing.whenExposed(window, [&] { ++ran; });
    ASSERT_TRUE(showAgain());
    EXPECT_EQ(ran, 1);
    ASSERT_TRUE(hide());
    ASSERT_TRUE(showAgain());
    EXPECT_EQ(ran, 1);
}

TEST_F(PanelFocusAndStackingTest, AFirstPictureShowsAtTheMapAndNeverAtALaterExposure) {
    PanelWindowing& windowing = *app.platform().panelWindowing;
    QWindow window;
    window.setFlag(Qt::BypassWindowManagerHint);
    window.setGeometry(100, 100, 120, 80);
    window.create();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const auto redShare = [&] {
        const QImage shown = serverPicture(id);
        int red = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                red += (shown.pixel(x, y) & 0xffffffu) == 0xff0000u;
        return shown.isNull() ? 0.0 : double(red) / (shown.width() * shown.height());
    };
    // Given a picture before the map: the server shows it as it maps the window (nothing else
    // draws into this one)
    QImage picture(window.size() * window.devicePixelRatio(), QImage::Format_RGB32);
    picture.fill(Qt::red);
    windowing.showFirstPicture(window, picture);
    ExposureCount exposures(id);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return exposures.count > 0; }, waitMs));
    EXPECT_GT(redShare(), 0.99);
    // The platform has answered that first exposure, and the server has taken its answer in
    xcb_connection_t* qt = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    std::free(xcb_get_input_focus_reply(qt, xcb_get_input_focus(qt), nullptr));

    // When a window of another program covers it and goes, the server paints the uncovered part
    // from the window's background: the picture given for the map is no longer that
    xcb_connection_t* c = desktop().connection();
    const xcb_window_t cover = xcb_generate_id(c);
    const uint32_t values[] = {0x0000ffu, 1u};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, cover, desktop().rootWindow(), 80, 80, 200, 140, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(c, cover);
    xcb_unmap_window(c, cover);
    EXPECT_LT(redShare(), 0.01) << "a later exposure showed the picture given for the first one";
    xcb_destroy_window(c, cover);
    xcb_flush(c);
}

TEST_F(PanelFocusAndStackingTest, APanelsWindowLeavesNothingBehindOnceDestroyed) {
    auto& windowing = dynamic_cast<X11PanelWindowing&>(*app.platform().panelWindowing);
    const std::size_t before = windowing.windowsKept();
    // A panel's window given everything the windowing keeps of a window, then destroyed before it
    // ever showed (the panel went, or Qt made it a new window)
    QWindow window;
    window.setGeometry(100, 100, 120, 80);
    window.create();
    windowing.setListedInTaskbars(window, false);
    windowing.setCompositorShadow(window, false);
    windowing.setInputShape(window, QRegion(0, 0, 60, 40));
    windowing.whenExposed(window, [] {});
    QImage picture(120, 80, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::darkGray);
    windowing.showFirstPicture(window, picture);
    ASSERT_GT(windowing.windowsKept(), before);
    window.destroy();
    // Nothing of it is kept once the server says it is gone
    EXPECT_TRUE(QTest::qWaitFor([&] { return windowing.windowsKept() == before; }, waitMs));

    // Nor of a window that has shown (what Qt named in it is kept while it lives)
    QWindow shown;
    shown.setGeometry(100, 100, 120, 80);
    shown.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return windowing.canMapNow(shown); }, waitMs));
    ASSERT_GT(windowing.windowsKept(), before);
    shown.destroy();
    EXPECT_TRUE(QTest::qWaitFor([&] { return windowing.windowsKept() == before; }, waitMs));
}

TEST_F(PanelFocusAndStackingTest, APanelsFramingIsAnsweredWithoutWaitingForTheServer) {
    auto& windowing = dynamic_cast<X11PanelWindowing&>(*app.platform().panelWindowing);
    // A managed panel with an input shape and no compositor shadow, framed by the window manager
    QWindow window;
    window.setGeometry(100, 100, 120, 80);
    window.create();
    windowing.setInputShape(window, QRegion(0, 0, 60, 40));
    windowing.setCompositorShadow(window, false);
    window.show();
    xcb_connection_t* c = desktop().connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_window_t frame = XCB_WINDOW_NONE;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
                xcb_query_tree_reply(c, xcb_query_tree(c, id), nullptr), &std::free);
            frame = tree && tree->parent != tree->root ? tree->parent : xcb_window_t(XCB_WINDOW_NONE);
            return frame != XCB_WINDOW_NONE && isViewable(id);
        },
        waitMs));

    // When another program holds the server (a screen grabber, a busy window manager) as the
    // framing and the map are reported
    xcb_grab_server(c);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    std::mutex mutex;
    std::condition_variable wake;
    bool letGo = false;
    std::atomic<bool> released{false};
    std::thread holder([&] {
        std::unique_lock lock(mutex);
        wake.wait_for(lock, std::chrono::seconds(20), [&] { return letGo; });
        released = true;
        xcb_ungrab_server(c);
        xcb_flush(c);
    });
    xcb_reparent_notify_event_t reparent{};
    reparent.response_type = XCB_REPARENT_NOTIFY;
    reparent.event = id;
    reparent.window = id;
    reparent.parent = frame;
    xcb_map_notify_event_t map{};
    map.response_type = XCB_MAP_NOTIFY;
    map.event = id;
    map.window = id;
    windowing.nativeEventFilter("xcb_generic_event_t", &reparent, nullptr);
    windowing.nativeEventFilter("xcb_generic_event_t", &map, nullptr);

    // Then both were answered without waiting for the server
    EXPECT_FALSE(released) << "the main thread stood still until the server was let go";
    {
        std::lock_guard lock(mutex);
        letGo = true;
    }
    wake.notify_one();
    holder.join();
}

TEST_F(PanelFocusAndStackingTest, EachEntryOfTheFilesMenuMapsItsPanelWithinHalfASecond) {
    app.state().files().setFolders(
        {m_folder.filePath(QStringLiteral("Downloads")), m_folder.filePath(QStringLiteral("Desktop"))});
    ASSERT_TRUE(desktop().startTrayHost());
    shelf().syncStatusItem();
    std::vector<QRect> icons;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !(icons = embeddedWindows(QStringLiteral("PanelFocusAndStackingTest"))).empty(); },
        10000));

    XTestInput input;
    // Chooses the entry from the tray icon's menu; how long its panel took to map, or -1.
    const auto choose = [&](const QString& entry) -> qint64 {
        // The tray may still be settling its icons when the first click comes: click until it opens.
        QMenu* menu = nullptr;
        if (!QTest::qWaitFor(
                [&] {
                    input.click(
                        embeddedWindows(QStringLiteral("PanelFocusAndStackingTest")).front().center());
                    return QTest::qWaitFor([&] { return (menu = shownMenu()) != nullptr; }, 1000);
                },
                waitMs))
            return -1;
        const QList<QAction*> actions = menu->actions();
        const auto chosen = std::find_if(actions.begin(), actions.end(),
                                         [&](QAction* action) { return action->text() == entry; });
        if (chosen == actions.end() || !QTest::qWaitForWindowExposed(menu, waitMs))
            return -1;
        const QPoint onEntry = menu->mapToGlobal(menu->actionGeometry(*chosen).center());

        QElapsedTimer sinceChoice;
        input.click(onEntry);
        sinceChoice.start();
        if (!QTest::qWaitFor([&] { return shelf().popover() && isViewable(idOf(*shelf().popover())); },
                             waitMs))
            return -1;
        const qint64 elapsed = sinceChoice.elapsed();
        std::printf("[ panel    ] %s mapped %lld ms after the choice\n", qPrintable(entry),
                    static_cast<long long>(elapsed));
        return elapsed;
    };

    for (const QString& entry :
         {QStringLiteral("Tray"), QStringLiteral("Downloads"), QStringLiteral("Desktop")}) {
        // Every choice maps its panel. Within half a second in one of three tries: a panel held
        // back by the product is late every time, while a machine at several times its cores
        // can stall a single try past the bound (552 ms seen once, against 80-220 there).
        qint64 fastest = -1;
        for (int tries = 0; tries < 3 && (fastest < 0 || fastest >= 500); ++tries) {
            const qint64 elapsed = choose(entry);
            ASSERT_GE(elapsed, 0) << entry.toStdString() << ": no menu, no entry or no panel";
            fastest = fastest < 0 ? elapsed : std::min(fastest, elapsed);
            ASSERT_TRUE(shelf().popoverSource().has_value());
            EXPECT_EQ(shelf().popoverSource()->isTray(), entry == QStringLiteral("Tray"));
            shelf().closePopover();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !isViewable(idOf(*shelf().popover())); }, waitMs));
        }
        EXPECT_LT(fastest, 500) << entry.toStdString();
    }
}

TEST_F(PanelFocusAndStackingTest, FilePanelsLeaveTheKeyboardWithTheProgramThatHadIt) {
    const QString folder = pinnedFolder();
    const xcb_window_t logo = programs.openLogo(app.platform());
    ASSERT_NE(logo, XCB_WINDOW_NONE);

    // A folder row of the strip opens the popover without the keyboard
    SidebarController& strip = app.state().sidebar();
    strip.start();
    ShelfRow* folderRow = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (ShelfRow* row : strip.panel()->findChildren<ShelfRow*>()) {
                if (!row->source().isTray() && row->isVisible())
                    folderRow = row;
            }
            return folderRow &&
                   strip.panel()->geometry().x() == topLeftVisibleFrame(*strip.currentScreen()).x() + 8;
        },
        waitMs));
    const QPoint onRow = folderRow->mapToGlobal(folderRow->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return serverFrame(idOf(*strip.panel())).contains(onRow); }, waitMs));
    XTestInput().click(onRow);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return shelf().popover() && isViewable(idOf(*shelf().popover())); }, waitMs));
    EXPECT_FALSE(keyboardMovesFrom(logo)) << "the popover took the keyboard";
    shelf().closePopover();

    // And so does a floating panel the last run left open
    app.platform().defaults->set(FileShelfController::floatingShelvesKey.toStdString(),
                                 Json::array({folder.toStdString()}));
    ASSERT_EQ(activeWindow(), logo);
    shelf().restoreFloatingShelves();
    FilePanel* floating = shelf().floatingPanel(ShelfSource::folder(folder));
    ASSERT_NE(floating, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return isViewable(idOf(*floating)); }, waitMs));
    EXPECT_FALSE(keyboardMovesFrom(logo)) << "the floating panel took the keyboard";
}

TEST_F(PanelFocusAndStackingTest, OnlyAClickInAFilePanelsSearchFieldTakesTheKeyboard) {
    const QString folder = pinnedFolder();
    const xcb_window_t terminal = programs.open(app.platform(), QStringLiteral("xterm"), {});
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    shelf().openFloating(ShelfSource::folder(folder));
    FilePanel* panel = shelf().floatingPanel(ShelfSource::folder(folder));
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return isViewable(idOf(*panel)) && panel->findChild<FileListView*>(); },
                                waitMs));
    auto* list = panel->findChild<FileListView*>();
    // A button of the header (its empty parts ask the window manager to move the panel)
    QAbstractButton* button = nullptr;
    for (QAbstractButton* child : list->header()->findChildren<QAbstractButton*>()) {
        if (child->isVisible() && child->toolTip() == QStringLiteral("Open in File Manager"))
            button = child;
    }
    ASSERT_NE(button, nullptr);
    XTestInput input;
    const auto centreOf = [](const QWidget& widget) { return widget.mapToGlobal(widget.rect().center()); };
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return serverFrame(idOf(*panel)).contains(centreOf(*button)); }, waitMs));

    // A click on the header leaves the keyboard with the terminal
    input.click(centreOf(*button));
    EXPECT_FALSE(keyboardMovesFrom(terminal)) << "a click on the header took the keyboard";

    // A click in the search field takes it, and typing goes there
    input.click(centreOf(*list->searchField()));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return activeWindow() == idOf(*panel) && panel->isActiveWindow(); }, waitMs));
    input.type({XKB_KEY_a});
    input.type({XKB_KEY_b});
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->searchField()->text() == QStringLiteral("ab"); }, waitMs))
        << list->searchField()->text().toStdString();
}

TEST_F(PanelFocusAndStackingTest, AShownStripIsLiftedAboveAWindowThatGoesFullScreen) {
    app.settings().setAutoHide(false);
    app.settings().setAutoHideInFullscreen(false);
    const xcb_window_t terminal = programs.open(app.platform(), QStringLiteral("xterm"), {});
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    SidebarController& strip = app.state().sidebar();
    strip.start();
    SidebarPanel& panel = *strip.panel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return isViewable(idOf(panel)); }, waitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return stackIndex(idOf(panel)) > stackIndex(terminal); }, waitMs));

    askWindowManager(terminal, "_NET_WM_STATE", {1, desktop().atom("_NET_WM_STATE_FULLSCREEN"), 0, 2});
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasState(terminal, "_NET_WM_STATE_FULLSCREEN"); }, waitMs));
    // The window manager raises the full-screen window first; the strip comes back above it
    EXPECT_TRUE(QTest::qWaitFor([&] { return stackIndex(idOf(panel)) > stackIndex(terminal); }, waitMs));
    EXPECT_EQ(activeWindow(), terminal);
}

TEST_F(PanelFocusAndStackingTest, ARevealedStripShowsAboveAFullScreenWindow) {
    app.settings().setAutoHide(true);
    app.settings().setAutoHideInFullscreen(false);
    const xcb_window_t terminal = programs.open(app.platform(), QStringLiteral("xterm"), {});
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    askWindowManager(terminal, "_NET_WM_STATE", {1, desktop().atom("_NET_WM_STATE_FULLSCREEN"), 0, 2});
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasState(terminal, "_NET_WM_STATE_FULLSCREEN"); }, waitMs));
    ASSERT_TRUE(waitUntilDrawn(terminal));

    SidebarController& strip = app.state().sidebar();
    strip.start();
    strip.toggle(); // the hot key
    SidebarPanel& panel = *strip.panel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return isViewable(idOf(panel)); }, waitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return stackIndex(idOf(panel)) > stackIndex(terminal); }, waitMs));
    EXPECT_EQ(activeWindow(), terminal);

    // The screen shows the strip, not the terminal, where the strip stands once it has come to rest
    QRect last;
    const bool shown = QTest::qWaitFor(
        [&] {
            const QRect frame = serverFrame(idOf(panel));
            const bool resting = frame == last;
            last = frame;
            const QImage screen = serverPicture(desktop().rootWindow());
            // (at rest on the screen: a strip still waiting to slide in stands beyond its edge)
            if (!resting || screen.isNull() || !screen.rect().contains(frame))
                return false;
            const QRgb terminalGround = screen.pixel(screen.rect().center());
            int strip = 0;
            for (int y = frame.top(); y <= frame.bottom(); ++y)
                for (int x = frame.left(); x <= frame.right(); ++x)
                    strip += screen.pixel(x, y) != terminalGround;
            return strip > frame.width() * frame.height() / 2;
        },
        waitMs);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    serverPicture(desktop().rootWindow()).save(folder + QStringLiteral("/strip-over-full-screen.png"));
    EXPECT_TRUE(shown);
}

TEST_F(PanelFocusAndStackingTest, AStripMappedAheadOfQtsShowingIsTakenInAsAPanel) {
    app.settings().setAutoHide(true);
    app.settings().setAutoHideInFullscreen(false);
    const xcb_window_t terminal = programs.open(app.platform(), QStringLiteral("xterm"), {});
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    SidebarController& strip = app.state().sidebar();
    strip.start();
    SidebarPanel* panel = nullptr;
    xcb_window_t id = XCB_WINDOW_NONE;
    // Hidden and painted while hidden, the strip is mapped before Qt's showing of it, once it has
    // shown before (Qt writes some of a window's hints only then)
    const auto showAgain = [&] {
        strip.toggle();
        panel = strip.panel();
        id = idOf(*panel);
        ASSERT_TRUE(QTest::qWaitFor([&] { return isViewable(id); }, waitMs));
        strip.toggle();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !isViewable(id) && panel->isPaintedWhileHidden(); }, waitMs));
        ASSERT_TRUE(app.platform().panelWindowing->canMapNow(*panel->windowHandle()));
        strip.toggle();
        ASSERT_TRUE(QTest::qWaitFor([&] { return isViewable(id); }, waitMs));
    };
    showAgain();
    // The window manager took it in as a panel: kept above the others (the terminal activated and
    // raised stays below it), in no taskbar or pager, on every desktop; the keyboard stays
    askWindowManager(terminal, "_NET_ACTIVE_WINDOW", {2, XCB_CURRENT_TIME, 0});
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == terminal; }, waitMs));
    QTest::qWait(100);
    EXPECT_GT(stackIndex(id), stackIndex(terminal));
    EXPECT_TRUE(hasState(id, "_NET_WM_STATE_SKIP_TASKBAR"));
    EXPECT_TRUE(hasState(id, "_NET_WM_STATE_SKIP_PAGER"));
    EXPECT_EQ(windowProperty(id, "_NET_WM_DESKTOP"), std::vector<uint32_t>{0xFFFFFFFFu});
    EXPECT_TRUE(serverFrameLandsOn(id, panel->geometry()));

    // In front of a full-screen window, as that window's transient
    strip.toggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !isViewable(id); }, waitMs));
    askWindowManager(terminal, "_NET_WM_STATE", {1, desktop().atom("_NET_WM_STATE_FULLSCREEN"), 0, 2});
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasState(terminal, "_NET_WM_STATE_FULLSCREEN"); }, waitMs));
    ASSERT_TRUE(waitUntilDrawn(terminal));
    showAgain();
    EXPECT_TRUE(QTest::qWaitFor([&] { return stackIndex(id) > stackIndex(terminal); }, waitMs));
    EXPECT_EQ(windowProperty(id, "WM_TRANSIENT_FOR"), std::vector<uint32_t>{terminal});
    EXPECT_EQ(activeWindow(), terminal);
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
