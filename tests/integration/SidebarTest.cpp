// The strip on a real desktop: it stands at the left edge of the primary screen with one live
// thumbnail per real window, its cells focus, minimise and close real windows, snapping leaves its
// room free, and resting the pointer on a cell opens the large preview beside it.
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "core/AppIcons.h"
#include "core/FloatingPanel.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "sidebar/HoverPreviewController.h"
#include "sidebar/HoverPreviewModel.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarView.h"
#include "sidebar/ThumbnailCell.h"
#include "snapping/SnapController.h"
#include "windows/ThumbnailService.h"
#include "windows/WindowService.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

using namespace corvane;
using namespace corvane::testing;
using namespace std::chrono_literals;

namespace {

xcb_window_t idOf(const QWidget& widget) {
    return static_cast<xcb_window_t>(widget.winId());
}

bool isViewable(xcb_window_t window) {
    xcb_connection_t* c = desktop().connection();
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> reply(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr), &std::free);
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

// Where the top-level window holding `window` (the window manager's frame, or the window itself)
// stands among the root's children, bottom first; -1 when the server does not know it.
int rootStackPosition(xcb_window_t window) {
    xcb_connection_t* c = desktop().connection();
    for (;;) {
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr), &std::free);
        if (!tree)
            return -1;
        if (tree->parent != tree->root) {
            window = tree->parent;
            continue;
        }
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> top(
            xcb_query_tree_reply(c, xcb_query_tree(c, tree->root), nullptr), &std::free);
        if (!top)
            return -1;
        const xcb_window_t* children = xcb_query_tree_children(top.get());
        for (int i = 0; i < xcb_query_tree_children_length(top.get()); ++i)
            if (children[i] == window)
                return i;
        return -1;
    }
}

constexpr int kWaitMs = 10000;

class Sidebar : public ::testing::Test {
protected:
    ~Sidebar() override {
        for (QProcess* program : m_programs)
            program->kill();
        for (QProcess* program : m_programs)
            program->waitForFinished(2000);
    }

    // A real program's window on a white background, once its frame shows.
    xcb_window_t open(const QString& program, QStringList arguments) {
        arguments << QStringLiteral("-bg") << QStringLiteral("white");
        QProcess* process = desktop().launch(program, arguments);
        EXPECT_NE(process, nullptr);
        if (!process)
            return XCB_WINDOW_NONE;
        m_programs.push_back(process);
        const auto client = desktop().waitForClientWindow(process->processId(), 30s);
        EXPECT_TRUE(client.has_value());
        if (!client)
            return XCB_WINDOW_NONE;
        EXPECT_TRUE(waitUntilFramed(client->window, kWaitMs));
        return client->window;
    }
    // xlogo rather than xclock: a window that takes no input never becomes the active one.
    xcb_window_t openLogo() {
        return open(QStringLiteral("xlogo"),
                    {QStringLiteral("-geometry"), QStringLiteral("240x180+500+200")});
    }
    xcb_window_t openTerminal() {
        return open(QStringLiteral("xterm"),
                    {QStringLiteral("-geometry"), QStringLiteral("60x16+700+400"), QStringLiteral("-fg"),
                     QStringLiteral("black"), QStringLiteral("-e"), QStringLiteral("sh"),
                     QStringLiteral("-c"), QStringLiteral("echo XXXXXXXXXXXXXXXXXXXXXXXXXXXXXX; sleep 120")});
    }

    SidebarController& strip() { return app.state().sidebar(); }
    SidebarView* view() { return strip().panel()->findChild<SidebarView*>(); }
    ThumbnailCell* cell(xcb_window_t window) {
        SidebarView* shown = view();
        return shown ? shown->cell(window) : nullptr;
    }
    ScreenInfo primary() { return app.platform().screens->screens().front(); }

    // Starts the strip and waits until it lists every window with a picture.
    bool startStrip(const std::vector<xcb_window_t>& windows) {
        strip().start();
        return QTest::qWaitFor(
            [&] {
                if (!strip().panel()->isVisible())
                    return false;
                for (xcb_window_t window : windows) {
                    ThumbnailCell* shown = cell(window);
                    if (!shown || !shown->box() || !shown->box()->image())
                        return false;
                }
                return true;
            },
            kWaitMs);
    }
    std::optional<WindowInfo> listed(xcb_window_t window) {
        for (const WindowInfo& info : app.state().windows().windows())
            if (info.windowID == window)
                return info;
        return std::nullopt;
    }
    // Runs one of the cell menu's entries for the window.
    void chooseFromMenu(xcb_window_t window, const QString& entry) {
        const auto info = listed(window);
        ASSERT_TRUE(info);
        std::unique_ptr<QMenu> menu(view()->makeWindowMenu(*info));
        const QList<QAction*> actions = menu->actions();
        const auto found = std::find_if(actions.begin(), actions.end(),
                                        [&](QAction* action) { return action->text() == entry; });
        ASSERT_NE(found, actions.end()) << entry.toStdString();
        (*found)->trigger();
    }

    // The application's window actions finish on the main thread after the window has changed;
    // let them end before the application goes with the test.
    void letActionsFinish() { app.finishWindowActions(); }

    LiveApp app;
    std::vector<QProcess*> m_programs;
};

// How much of the rectangle of the picture is light: the white windows' pixels.
double lightShare(const QImage& image, const QRect& rect) {
    int light = 0;
    int total = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (!image.rect().contains(x, y))
                continue;
            ++total;
            const QRgb pixel = image.pixel(x, y);
            light += qAlpha(pixel) > 200 && qGray(pixel) > 200 ? 1 : 0;
        }
    return total > 0 ? double(light) / total : 0;
}

TEST_F(Sidebar, TheStripStandsAtTheLeftEdgeWithOneLiveCellPerWindowAndClicksFocus) {
    // Given a logo and a terminal, and the default preferences
    const xcb_window_t logo = openLogo();
    const xcb_window_t terminal = openTerminal();
    ASSERT_NE(logo, XCB_WINDOW_NONE);
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    // Both programs have drawn before their first capture.
    ASSERT_TRUE(waitUntilDrawn(logo) && waitUntilDrawn(terminal));

    // When the strip starts
    ASSERT_TRUE(startStrip({logo, terminal}));

    // Then it comes to stand 8 points from the left of the primary screen, vertically centred
    const QRectF visible = topLeftVisibleFrame(primary());
    QRect frame;
    (void)QTest::qWaitFor(
        [&] {
            frame = strip().panel()->geometry();
            return frame.x() == visible.x() + 8 && std::abs(frame.center().y() - visible.center().y()) <= 1.0;
        },
        kWaitMs);
    EXPECT_EQ(frame.x(), visible.x() + 8);
    EXPECT_NEAR(frame.center().y(), visible.center().y(), 1.0);
    EXPECT_EQ(strip().currentScreen(), primary());

    // And lists exactly the real windows, in the window list's order, top to bottom
    std::vector<uint32_t> expected;
    for (const WindowInfo& info : app.state().windows().windows())
        expected.push_back(info.windowID);
    std::vector<uint32_t> shown;
    for (const WindowInfo& info : view()->visibleWindows())
        shown.push_back(info.windowID);
    EXPECT_EQ(shown, expected);
    std::vector<uint32_t> sorted = shown;
    std::sort(sorted.begin(), sorted.end());
    std::vector<uint32_t> opened{logo, terminal};
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(sorted, opened);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_LT(cell(shown[0])->mapTo(strip().panel(), QPoint()).y(),
              cell(shown[1])->mapTo(strip().panel(), QPoint()).y());

    // And a picture of the strip shows both windows' white pixels in their cells
    const QImage picture = strip().panel()->grab().toImage();
    const QString directory = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(directory);
    EXPECT_TRUE(picture.save(directory + QStringLiteral("/sidebar.png")));
    const double ratio = picture.devicePixelRatio();
    for (xcb_window_t window : {logo, terminal}) {
        ThumbnailCell* shownCell = cell(window);
        const QRectF inPanel = shownCell->cellRect().translated(shownCell->mapTo(strip().panel(), QPoint()));
        const QRect inPicture(QRectF(inPanel.topLeft() * ratio, inPanel.size() * ratio).toRect());
        EXPECT_GT(lightShare(picture, inPicture), 0.3) << "cell of window " << window;
    }

    // When the cell of the window behind is clicked, that window becomes the active one
    const xcb_window_t behind = activeWindow() == logo ? terminal : logo;
    ThumbnailCell* target = cell(behind);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->cellRect().center().toPoint());
    EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == behind; }, kWaitMs));

    // And when the list's order follows, the cells slide to their new places and rest there
    if (QTest::qWaitFor([&] { return view()->visibleWindows().front().windowID == behind; }, kWaitMs)) {
        // A picture a few frames into the slide, for a person to look at: here the time is the
        // point.
        QTest::qWait(90);
        EXPECT_TRUE(strip().panel()->grab().save(directory + QStringLiteral("/sidebar-reordering.png")));
        const auto lightIn = [&](const QImage& picture, xcb_window_t window) {
            ThumbnailCell* shownCell = cell(window);
            const QRectF inPanel =
                shownCell->cellRect().translated(shownCell->mapTo(strip().panel(), QPoint()));
            return lightShare(picture,
                              QRect(QRectF(inPanel.topLeft() * ratio, inPanel.size() * ratio).toRect()));
        };
        const xcb_window_t other = behind == logo ? terminal : logo;
        QImage settled;
        (void)QTest::qWaitFor(
            [&] {
                settled = strip().panel()->grab().toImage();
                return cell(behind)->mapTo(strip().panel(), QPoint()).y() <
                           cell(other)->mapTo(strip().panel(), QPoint()).y() &&
                       lightIn(settled, logo) > 0.3 && lightIn(settled, terminal) > 0.3;
            },
            kWaitMs);
        EXPECT_TRUE(settled.save(directory + QStringLiteral("/sidebar-reordered.png")));
        EXPECT_LT(cell(behind)->mapTo(strip().panel(), QPoint()).y(),
                  cell(other)->mapTo(strip().panel(), QPoint()).y());
        for (xcb_window_t window : {logo, terminal})
            EXPECT_GT(lightIn(settled, window), 0.3) << "cell of window " << window << " at rest";
    }
    letActionsFinish();
}

TEST_F(Sidebar, InAppIconsModeEveryProgramShowsItsOwnPictureNotTheGenericOne) {
    // Given the strip showing programs' icons, and three programs: one with a desktop entry
    // (xterm, as debian-xterm), two without (xclock sets a WM_HINTS icon, xlogo its own)
    app.state().settings().setStripIconsOnly(true);
    const xcb_window_t windows[] = {
        openTerminal(), openLogo(),
        open(QStringLiteral("xclock"), {QStringLiteral("-geometry"), QStringLiteral("120x120+300+500")})};
    strip().start();
    const std::optional<QIcon> generic = AppIcons::genericAppIcon();
    const QImage genericPixels = generic ? generic->pixmap(32).toImage() : QImage();
    for (const xcb_window_t window : windows) {
        ASSERT_NE(window, XCB_WINDOW_NONE);
        ASSERT_TRUE(QTest::qWaitFor([&] { return cell(window) != nullptr; }, kWaitMs));
        const std::optional<WindowInfo> info = listed(window);
        ASSERT_TRUE(info);
        // Then its cell draws an icon, and that icon is not the generic picture
        EXPECT_EQ(cell(window)->tileContent(), ThumbnailCell::Content::icon);
        const std::optional<QIcon> shown =
            app.state().icons().appIconForWindow(info->windowID, info->pid, info->bundleID);
        ASSERT_TRUE(shown) << info->appName.toStdString();
        EXPECT_NE(shown->pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32),
                  genericPixels.convertToFormat(QImage::Format_ARGB32))
            << info->appName.toStdString() << " shows the generic picture";
    }
}

TEST_F(Sidebar, RestingOnACellOpensThePreviewBesideTheStripAndLeavingClosesIt) {
    const xcb_window_t logo = openLogo();
    ASSERT_NE(logo, XCB_WINDOW_NONE);
    ASSERT_TRUE(waitUntilDrawn(logo));
    ASSERT_TRUE(startStrip({logo}));
    const QRectF visible = topLeftVisibleFrame(primary());
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip().panel()->geometry().x() == visible.x() + 8; }, kWaitMs));
    HoverPreviewController& preview = strip().preview();

    // When the pointer rests on the logo's cell for the hover delay
    ThumbnailCell* target = cell(logo);
    ASSERT_NE(target, nullptr);
    QTest::mouseMove(target, target->cellRect().center().toPoint());
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview.isVisible(); }, kWaitMs));

    // Then the preview comes to stand 10 points right of the strip, showing the logo
    const QRect stripFrame = strip().panel()->geometry();
    (void)QTest::qWaitFor(
        [&] { return preview.panel().geometry().x() == stripFrame.x() + stripFrame.width() + 10; }, kWaitMs);
    EXPECT_TRUE(preview.panel().isVisible());
    EXPECT_EQ(preview.panel().geometry().x(), stripFrame.x() + stripFrame.width() + 10);
    ASSERT_TRUE(preview.model().window());
    EXPECT_EQ(preview.model().window()->windowID, logo);

    // When the pointer leaves the strip, the preview goes
    QCursor::setPos(stripFrame.x() + stripFrame.width() + 700, stripFrame.bottom() + 40);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !preview.panel().isVisible(); }, kWaitMs));
    EXPECT_FALSE(preview.isVisible());
}

TEST_F(Sidebar, ACellsMenuOpensAboveTheCardAndTheCardShownAfterPinningGoesWhenThePointerLeaves) {
    const xcb_window_t logo = openLogo();
    const xcb_window_t terminal = openTerminal();
    ASSERT_NE(logo, XCB_WINDOW_NONE);
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    ASSERT_TRUE(startStrip({logo, terminal}));
    const QRectF visible = topLeftVisibleFrame(primary());
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip().panel()->geometry().x() == visible.x() + 8; }, kWaitMs));
    HoverPreviewController& preview = strip().preview();
    const auto centre = [&](xcb_window_t window) {
        ThumbnailCell* shown = cell(window);
        return shown ? shown->mapToGlobal(shown->cellRect().center().toPoint()) : QPoint();
    };
    const xcb_window_t lower = centre(logo).y() > centre(terminal).y() ? logo : terminal;
    const QPoint onLower = centre(lower);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return serverFrame(static_cast<xcb_window_t>(strip().panel()->winId())).contains(onLower); },
        kWaitMs));
    XTestInput input;

    // The pointer rests on the lower cell until its card shows, then "Pin to Top" is chosen from
    // the cell's menu (which runs its own loop: the choice comes from a timer) once the menu has
    // been on the screen for longer than the card takes to go when the pointer leaves the cells:
    // the card has stayed, under the menu
    input.moveTo(onLower);
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview.isVisible(); }, kWaitMs));
    bool chosen = false;
    bool cardStayed = false;
    int menuPosition = -1;
    int cardPosition = -1;
    QElapsedTimer menuShown;
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (chosen || !menu || !menu->isVisible() || !isViewable(idOf(*menu)))
            return;
        if (!menuShown.isValid())
            menuShown.start();
        if (menuShown.elapsed() < 500)
            return;
        cardStayed = preview.isVisible() && preview.panel().isVisible();
        menuPosition = rootStackPosition(idOf(*menu));
        cardPosition = rootStackPosition(idOf(preview.panel()));
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("Pin to Top") && !menu->actionGeometry(action).isEmpty()) {
                chosen = true;
                input.click(menu->mapToGlobal(menu->actionGeometry(action).center()));
            }
    });
    chooser.start(20);
    input.click(onLower, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return chosen && !QApplication::activePopupWidget(); }, kWaitMs));
    chooser.stop();
    EXPECT_TRUE(cardStayed) << "the card went when the menu opened";
    EXPECT_GT(menuPosition, cardPosition) << "the card stands above the menu";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return centre(lower).y() < centre(lower == logo ? terminal : logo).y(); }, kWaitMs));

    // The pointer rests where the menu's entry was (a card may come for what lies there), then
    // moves far away: no card stays
    (void)QTest::qWaitFor([&] { return preview.isVisible(); }, 1500);
    input.moveTo(QPoint(int(visible.right()) - 40, int(visible.bottom()) - 40));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !preview.isVisible() && !preview.panel().isVisible(); }, kWaitMs));
    letActionsFinish();
}

TEST_F(Sidebar, SnappingLeavesTheStripsRoomAndItsMenuMinimisesAndClosesRealWindows) {
    const xcb_window_t logo = openLogo();
    const xcb_window_t terminal = openTerminal();
    ASSERT_NE(logo, XCB_WINDOW_NONE);
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    ASSERT_TRUE(startStrip({logo, terminal}));
    const QRect stripFrame = strip().panel()->geometry();

    // The usable area of the primary screen begins right of the strip
    const QRectF area = app.state().usableFrame(primary());
    EXPECT_DOUBLE_EQ(area.x(), topLeftVisibleFrame(primary()).x() + 112);
    EXPECT_GE(area.x(), stripFrame.x() + stripFrame.width());

    // A left-half snap of the logo lands clear of the strip
    app.platform().accessibility->bringToFront(static_cast<int32_t>(m_programs[0]->processId()), logo);
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == logo; }, kWaitMs));
    app.await(app.state().snap().snap(SnapAction::leftHalf));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QRect landed = serverFrame(logo);
            return landed.x() >= stripFrame.x() + stripFrame.width() && landed.width() < area.width();
        },
        kWaitMs));

    // "Minimize" from the logo's menu minimises the real window
    chooseFromMenu(logo, QStringLiteral("Minimize"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasState(logo, "_NET_WM_STATE_HIDDEN"); }, kWaitMs));

    // "Close Window" from the terminal's menu closes it
    chooseFromMenu(terminal, QStringLiteral("Close Window"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !isClient(terminal); }, kWaitMs));
    letActionsFinish();
}

TEST_F(Sidebar, AFullscreenTerminalTucksTheStripAwayWithTheSwitchOnAndItComesBackAfter) {
    const xcb_window_t terminal = openTerminal();
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    ASSERT_TRUE(startStrip({terminal}));
    const auto wmctrl = [&](const char* change) {
        QProcess* run = desktop().launch(
            QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-r"), QString::number(terminal),
                                       QStringLiteral("-b"), QString::fromLatin1(change)});
        ASSERT_NE(run, nullptr);
        ASSERT_TRUE(run->waitForFinished(kWaitMs));
    };
    app.platform().accessibility->bringToFront(static_cast<int32_t>(m_programs[0]->processId()), terminal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == terminal; }, kWaitMs));

    // With "Auto-hide over fullscreen apps" on, the full-screen terminal tucks the strip away
    app.state().settings().setAutoHideInFullscreen(true);
    wmctrl("add,fullscreen");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !strip().isRevealed(); }, kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !strip().panel()->isVisible(); }, kWaitMs));

    // It comes back when the terminal leaves full screen
    wmctrl("remove,fullscreen");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return strip().isRevealed() && strip().panel()->isVisible(); }, kWaitMs));

    // With the switch off it stays, though the strip knows the terminal is full-screen again
    app.state().settings().setAutoHideInFullscreen(false);
    wmctrl("add,fullscreen");
    EXPECT_TRUE(QTest::qWaitFor([&] { return strip().overFullscreenApp(); }, kWaitMs));
    EXPECT_TRUE(strip().isRevealed());
    EXPECT_TRUE(strip().panel()->isVisible());
    wmctrl("remove,fullscreen");
}

} // namespace

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
