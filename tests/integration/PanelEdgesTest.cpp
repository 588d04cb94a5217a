// The edges of the transient panels over a white program window, on openbox as it ships: without
// a compositing manager, after one started under the running product, after it stopped again
// (twenty openings of each panel in each), and under compositing managers that draw shadows of
// their own accord. Nothing outside a panel's outline may show dark (a black corner or square is
// a transparent pixel drawn without a compositor, a frame the window manager did not cut, or a
// compositor's shadow), nor the rim of a light panel, and the windows inside the landing preview
// stay visible. Under compositing managers that shade windows of their own accord, each panel
// casts only its own shadow (freshly started under them too): nothing darker than it around the
// outline, present below the panels that must have one, and no input in its margin.
#include "support/FocusedPrograms.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "clipboard/ClipboardPanelController.h"
#include "core/FloatingPanel.h"
#include "core/PanelShadow.h"
#include "core/Settings.h"
#include "core/ToastController.h"
#include "platform/PanelWindowing.h"
#include "platform/Screens.h"
#include "shelf/FilePanel.h"
#include "shelf/FileShelfController.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarPanel.h"
#include "snapping/RadialSnapController.h"
#include "system/NotchController.h"

#include <QBitmap>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;
// A compositing manager just started under load may take this long to draw the screen once.
constexpr int drawnMs = 20000;
constexpr int openings = 20;

// A pixel darker than a quarter of white.
bool isDark(QRgb pixel) {
    return qGray(pixel) < 64;
}

QImage grab(const QRect& area) {
    xcb_connection_t* c = desktop().connection();
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, desktop().rootWindow(), static_cast<int16_t>(area.x()),
                      static_cast<int16_t>(area.y()), static_cast<uint16_t>(area.width()),
                      static_cast<uint16_t>(area.height()), ~0u),
        nullptr);
    if (!reply)
        return {};
    QImage copy = QImage(xcb_get_image_data(reply), area.width(), area.height(), QImage::Format_RGB32).copy();
    std::free(reply);
    return copy;
}

// Whether a compositing manager holds its selection on the desktop.
bool compositorRuns() {
    xcb_connection_t* c = desktop().connection();
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 13, "_NET_WM_CM_S0"), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
    const bool runs = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    std::free(atom);
    return runs;
}

struct Panel {
    const char* name;
    std::function<FloatingPanel*()> open;
    std::function<void(FloatingPanel&)> close;
};

class PanelChecks : public ::testing::Test {
protected:
    PanelChecks() {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(desktop().connection())).data;
        m_screen = QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    }

    // The panel's outline on the screen: its window's shape where it has one, else what it draws.
    static QPainterPath outline(FloatingPanel& panel) {
        QPainterPath path = panel.outlinePath();
        if (!panel.mask().isEmpty()) {
            path = QPainterPath();
            path.addRegion(panel.mask());
        }
        return path.translated(panel.geometry().topLeft());
    }

    // The pixels of the panel's area (with 2 px around it) over the white window and more than
    // 2 px outside its outline: where nothing of the panel may show.
    std::vector<QPoint> outside(FloatingPanel& panel) const {
        const QRect area = panel.geometry().adjusted(-2, -2, 2, 2).intersected(m_white);
        if (area.isEmpty())
            return {};
        QImage near(area.size(), QImage::Format_Grayscale8);
        near.fill(0);
        QPainter painter(&near);
        painter.translate(-area.topLeft());
        const QPainterPath shape = outline(panel);
        painter.fillPath(shape, Qt::white);
        painter.strokePath(shape, QPen(Qt::white, 4));
        painter.end();
        std::vector<QPoint> points;
        for (int y = 0; y < near.height(); ++y) {
            const uchar* line = near.constScanLine(y);
            for (int x = 0; x < near.width(); ++x)
                if (line[x] == 0)
                    points.push_back(area.topLeft() + QPoint(x, y));
        }
        return points;
    }

    // Waits until the panel stands still at full opacity, shows on screen, and the pixels around
    // it read the same twice running, and for `stillMs` since they last changed; gives the last
    // reading of its area. `early`, when given, receives the most pixels found dark around the
    // panel in any reading on the way, from the first on which the panel shows at all.
    QImage settled(FloatingPanel& panel, const QImage& desktopShot, int* early = nullptr, int stillMs = 0) {
        QElapsedTimer still;
        QImage last;
        QRect lastArea;
        std::vector<QRgb> lastAround;
        QPainterPath lastOutline;
        int readings = 0;
        const bool shown = QTest::qWaitFor(
            [&] {
                if (!panel.isVisible() || panel.shownOpacity() != panel.alphaValue())
                    return false;
                // A panel whose outline still changes (the display unfolding) is not there yet.
                const QPainterPath now = outline(panel);
                if (now != lastOutline) {
                    lastOutline = now;
                    return false;
                }
                ++readings;
                const QRect area = panel.geometry().adjusted(-2, -2, 2, 2).intersected(m_screen);
                const auto window = static_cast<xcb_window_t>(panel.winId());
                // The server shows the outline the panel has now: a shape still on its way from the
                // panel's connection would leave the last one's edge showing where this one has none.
                const auto onServer = [&] {
                    return serverFrame(window) == panel.geometry() &&
                           (panel.mask().isEmpty() || serverShape(window) == panel.mask());
                };
                const bool stillBefore = onServer();
                QImage shot = grab(area);
                std::vector<QRgb> around;
                for (const QPoint& at : outside(panel))
                    around.push_back(shot.pixel(at - area.topLeft()));
                const bool same = area == lastArea && around == lastAround && shot != desktopShot.copy(area);
                if (!same || !still.isValid())
                    still.start();
                // (a reading taken while the server has the panel elsewhere, moving or reshaping,
                // is not one)
                if (early && shot != desktopShot.copy(area) && stillBefore && onServer()) {
                    const int dark = darkOutside(panel, desktopShot, shot);
                    if (dark > *early)
                        m_darkestEarly = shot;
                    *early = std::max(*early, dark);
                }
                last = shot;
                lastArea = area;
                lastAround = std::move(around);
                return same && still.elapsed() >= stillMs;
            },
            waitMs);
        if (!shown && !last.isNull())
            last.save(QStringLiteral("%1/unsettled-%2.png")
                          .arg(QCoreApplication::applicationDirPath())
                          .arg(++m_unsettled));
        EXPECT_TRUE(shown) << "the panel never showed, or kept moving: shown " << panel.isVisible()
                           << ", opacity " << panel.shownOpacity() << " of " << panel.alphaValue() << ", "
                           << readings << " readings of the screen";
        return last;
    }

    // The pixels around the panel that show dark where the desktop alone did not.
    int darkOutside(FloatingPanel& panel, const QImage& desktopShot, const QImage& shot) {
        const QPoint origin = panel.geometry().adjusted(-2, -2, 2, 2).intersected(m_screen).topLeft();
        int dark = 0;
        for (const QPoint& at : outside(panel))
            if (isDark(shot.pixel(at - origin)) && !isDark(desktopShot.pixel(at)))
                ++dark;
        return dark;
    }

    // On a light panel shown without a compositing manager, the pixels of its own rim (inside its
    // outline, within 2 px of it) that show dark: a transparent or half-covered edge drawn as is.
    int darkRim(FloatingPanel& panel, const QImage& shot) {
        if (panel.showsOpacity() || qGray(panel.groundColor().rgb()) < 128)
            return 0;
        const QRect area = panel.geometry().adjusted(-2, -2, 2, 2).intersected(m_screen);
        QImage rim(area.size(), QImage::Format_Grayscale8);
        rim.fill(0);
        QPainter painter(&rim);
        painter.translate(-area.topLeft());
        // The shape's rectangles as one outline, or their inner edges would count as rim too.
        const QPainterPath shape = outline(panel).simplified();
        painter.fillPath(shape, Qt::white);
        painter.strokePath(shape, QPen(Qt::black, 5));
        painter.end();
        const QImage inner = rim.copy();
        rim.fill(0);
        painter.begin(&rim);
        painter.translate(-area.topLeft());
        painter.fillPath(shape, Qt::white);
        painter.end();
        int dark = 0;
        for (int y = 0; y < rim.height(); ++y)
            for (int x = 0; x < rim.width(); ++x)
                if (rim.constScanLine(y)[x] != 0 && inner.constScanLine(y)[x] == 0 &&
                    isDark(shot.pixel(x, y)))
                    ++dark;
        return dark;
    }

    // Closes the panel as its entry does and waits until it is gone, on the server too (closing a
    // floating file panel deletes it).
    static bool closed(const Panel& entry, FloatingPanel& panel) {
        const QPointer<FloatingPanel> closing(&panel);
        const auto window = static_cast<xcb_window_t>(panel.winId());
        entry.close(panel);
        return QTest::qWaitFor([&] { return (!closing || !closing->isVisible()) && isWithdrawn(window); },
                               waitMs);
    }

    void checkPanels(const char* state, const std::vector<Panel>& panels, int times = openings) {
        const QImage desktopShot = stillScreen();
        for (const Panel& entry : panels) {
            int failures = 0;
            for (int i = 0; i < times; ++i) {
                SCOPED_TRACE(std::string(entry.name) + " opening " + std::to_string(i) + " " + state);
                FloatingPanel* panel = entry.open();
                ASSERT_NE(panel, nullptr) << entry.name;
                // Taskbars and pagers list none of these panels
                const auto window = static_cast<xcb_window_t>(panel->winId());
                EXPECT_TRUE(QTest::qWaitFor(
                    [&] {
                        return hasState(window, "_NET_WM_STATE_SKIP_TASKBAR") &&
                               hasState(window, "_NET_WM_STATE_SKIP_PAGER");
                    },
                    waitMs))
                    << entry.name;
                // Without a compositing manager nothing the server shows of a panel is ever dark
                // around it, from the first moment it shows (a window mapped before its picture
                // shows black). With one, what the screen shows follows the compositing manager,
                // which on a loaded machine may stand behind for a while: the panel is looked at
                // once its surroundings have read the same for a moment.
                int early = 0;
                const bool composited = panel->showsOpacity();
                const QImage shot =
                    settled(*panel, desktopShot, composited ? nullptr : &early, composited ? 250 : 0);
                const int dark = darkOutside(*panel, desktopShot, shot) + darkRim(*panel, shot) + early;
                if (dark > 0 && failures++ == 0) {
                    const QString name = QStringLiteral("%1/edges-%2-%3")
                                             .arg(QCoreApplication::applicationDirPath(),
                                                  QLatin1String(state), QLatin1String(entry.name));
                    shot.save(name + QStringLiteral(".png"));
                    if (early > 0)
                        m_darkestEarly.save(name + QStringLiteral("-early.png"));
                }
                const auto text = [](const QRect& r) {
                    return QStringLiteral("%1,%2 %3x%4")
                        .arg(r.x())
                        .arg(r.y())
                        .arg(r.width())
                        .arg(r.height())
                        .toStdString();
                };
                EXPECT_EQ(dark, 0) << entry.name << " opening " << i << " " << state << " (" << early
                                   << " dark in an earlier reading; window " << text(panel->geometry())
                                   << ", on the server " << text(serverFrame(window)) << ", frame "
                                   << text(panel->frame()) << ", shape " << text(panel->mask().boundingRect())
                                   << ", translucent " << panel->isTranslucent() << ")";
                ASSERT_TRUE(closed(entry, *panel)) << entry.name;
            }
        }
    }

    // The shadow a panel may cast around its outline: the ring's own, or the one every panel
    // casts where it has one and translucency shows.
    static PanelShadow allowedShadow(std::string_view name, FloatingPanel& panel) {
        if (name == "ring")
            return {0.3, 8, QPointF(0, 3)};
        return panel.hasShadow() && panel.showsOpacity() ? PanelShadow::soft() : PanelShadow::none();
    }

    // Around the panel, where its shadow or a compositing manager's could show.
    QRect surroundings(FloatingPanel& panel) const {
        return panel.geometry().adjusted(-32, -32, 32, 32).intersected(m_white);
    }

    // The pixels beyond the panel's outline (2 px clear of it) darker than its shadow allows:
    // within the shadow's reach no darker than its opacity over the desktop, beyond it as the
    // desktop.
    int darkerThanShadow(FloatingPanel& panel, const PanelShadow& shadow, const QImage& desktopShot,
                         const QImage& shot, const QRect& area) const {
        QImage reach(area.size(), QImage::Format_Grayscale8);
        reach.fill(0);
        QPainter painter(&reach);
        painter.translate(-area.topLeft());
        const QPainterPath shape = outline(panel);
        if (!shadow.isNone()) {
            const QPainterPath moved = shape.translated(shadow.offset);
            painter.fillPath(moved, QColor(128, 128, 128));
            painter.strokePath(moved, QPen(QColor(128, 128, 128), 2 * (shadow.radius + 1)));
        }
        painter.fillPath(shape, Qt::white);
        painter.strokePath(shape, QPen(Qt::white, 4));
        painter.end();
        int dark = 0;
        for (int y = 0; y < reach.height(); ++y)
            for (int x = 0; x < reach.width(); ++x) {
                const uchar kind = reach.constScanLine(y)[x];
                if (kind == 255)
                    continue;
                const int desktopGray = qGray(desktopShot.pixel(area.topLeft() + QPoint(x, y)));
                const double floor = kind == 0 ? desktopGray : desktopGray * (1 - shadow.opacity);
                if (qGray(shot.pixel(x, y)) < floor - 6)
                    ++dark;
            }
        return dark;
    }

    // Whether the panel's shadow shows just below its outline: darker there than the desktop.
    static bool shadowBelow(FloatingPanel& panel, const QImage& desktopShot, const QImage& shot,
                            const QRect& area) {
        const QRectF bounds = outline(panel).boundingRect();
        const QPoint at(static_cast<int>(bounds.center().x()),
                        static_cast<int>(std::ceil(bounds.bottom())) + 2);
        if (!area.contains(at))
            return false;
        return qGray(shot.pixel(at - area.topLeft())) <= qGray(desktopShot.pixel(at)) - 12;
    }

    // The top-level window the pointer is over at `point`: the one a click there goes to.
    xcb_window_t windowAt(QPoint point) const {
        input.moveTo(point);
        xcb_connection_t* c = desktop().connection();
        xcb_query_pointer_reply_t* reply =
            xcb_query_pointer_reply(c, xcb_query_pointer(c, desktop().rootWindow()), nullptr);
        const xcb_window_t child = reply ? reply->child : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
        std::free(reply);
        return child;
    }

    // A click in the margin of a panel's shadow, just below its outline, reaches the window
    // beneath, and one inside the outline the panel.
    bool marginPassesClicks(FloatingPanel& panel) const {
        const QRectF bounds = outline(panel).boundingRect();
        const QPoint inside = bounds.center().toPoint();
        const QPoint margin(inside.x(), static_cast<int>(std::ceil(bounds.bottom())) + 3);
        const xcb_window_t own = serverTopLevel(static_cast<xcb_window_t>(panel.winId()));
        const bool passes = windowAt(margin) != own && windowAt(inside) == own;
        input.moveTo(m_screen.center());
        return passes;
    }

    static xcb_window_t serverTopLevel(xcb_window_t window) {
        xcb_connection_t* c = desktop().connection();
        for (int depth = 0; depth < 8; ++depth) {
            xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
            if (!tree)
                return XCB_WINDOW_NONE;
            const bool top = tree->parent == tree->root;
            const xcb_window_t parent = tree->parent;
            std::free(tree);
            if (top)
                return window;
            window = parent;
        }
        return XCB_WINDOW_NONE;
    }

    // Each panel casts only its own shadow: nothing around it darker than that, the shadow shown
    // below the panels that must have one, and clicks in its margin passing through. Looked at
    // once the surroundings have read the same for `stillMs`.
    void checkShadows(const char* state, const std::vector<Panel>& panels, int stillMs,
                      int times = openings) {
        const QImage desktopShot = stillScreen();
        for (const Panel& entry : panels) {
            int failures = 0;
            for (int i = 0; i < times; ++i) {
                SCOPED_TRACE(std::string(entry.name) + " opening " + std::to_string(i) + " " + state);
                FloatingPanel* panel = entry.open();
                ASSERT_NE(panel, nullptr) << entry.name;
                settled(*panel, desktopShot);
                const std::string_view name = entry.name;
                const bool mustShade = name == "ring" || name == "toast" || name == "hover-card";
                // Still, and grown in (the ring grows after it shows): its shadow there
                const QRect area = surroundings(*panel);
                QImage shot;
                QElapsedTimer still;
                const bool shaded = QTest::qWaitFor(
                    [&] {
                        QImage now = grab(area);
                        if (now != shot || !still.isValid()) {
                            shot = std::move(now);
                            still.start();
                            return false;
                        }
                        return still.elapsed() >= stillMs &&
                               (!mustShade || shadowBelow(*panel, desktopShot, shot, area));
                    },
                    waitMs);
                const QImage near = grab(panel->geometry().adjusted(-2, -2, 2, 2).intersected(m_screen));
                const PanelShadow shadow = allowedShadow(entry.name, *panel);
                const int dark = darkOutside(*panel, desktopShot, near) +
                                 darkerThanShadow(*panel, shadow, desktopShot, shot, area);
                const bool passes =
                    panel->ignoresMouseEvents() || shadow.isNone() || marginPassesClicks(*panel);
                const bool failed = dark > 0 || !shaded || !passes;
                if (i == 0 || (failed && failures++ < 3))
                    shot.save(QStringLiteral("%1/shadow-%2-%3-%4%5.png")
                                  .arg(QCoreApplication::applicationDirPath(), QLatin1String(state),
                                       QLatin1String(entry.name), QString::number(i),
                                       QLatin1String(failed ? "-failed" : "")));
                // What the panel was compared with, beside the first failed picture
                if (failed && failures == 1)
                    desktopShot.copy(area).save(QStringLiteral("%1/shadow-%2-%3-%4-before.png")
                                                    .arg(QCoreApplication::applicationDirPath(),
                                                         QLatin1String(state), QLatin1String(entry.name),
                                                         QString::number(i)));
                const std::string seen =
                    std::string(" (shows translucency: ") + (panel->showsOpacity() ? "yes" : "no") +
                    ", a compositing manager runs: " + (compositorRuns() ? "yes" : "no") + ")";
                EXPECT_EQ(dark, 0) << entry.name << " opening " << i << " " << state << seen;
                EXPECT_TRUE(shaded) << entry.name << " casts no shadow, opening " << i << " " << state
                                    << seen;
                EXPECT_TRUE(passes) << entry.name << " takes clicks in its shadow, opening " << i << " "
                                    << state;
                ASSERT_TRUE(closed(entry, *panel)) << entry.name;
            }
        }
    }

    // Whether the screen shows the white window: a block amid it reads white. A compositing
    // manager just started shows the root's black-and-white weave (or black) until it has drawn
    // the screen once, on a loaded machine for seconds, and that reads still as well.
    bool whiteShows() const { return readsWhite(QRect(m_white.center() - QPoint(20, 20), QSize(40, 40))); }

    static bool readsWhite(const QRect& area) {
        const QImage block = grab(area);
        if (block.isNull())
            return false;
        for (int y = 0; y < block.height(); ++y)
            for (int x = 0; x < block.width(); ++x)
                if (qGray(block.pixel(x, y)) < 224)
                    return false;
        return true;
    }

    // The screen once it shows the white window and reads the same twice running: what lies
    // under the panels before they open (on a loaded machine the window manager or a compositing
    // manager may still be drawing).
    QImage stillScreen() const {
        EXPECT_TRUE(QTest::qWaitFor([&] { return whiteShows(); }, drawnMs))
            << "the white window never showed";
        QImage last;
        QImage now = grab(m_screen);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                last = std::move(now);
                now = grab(m_screen);
                return now == last;
            },
            waitMs))
            << "the screen kept changing";
        return now;
    }

    // Whether a compositing manager draws the windows now: a window of transparent pixels over the
    // white window reads white under one, and black where the server draws it alone (as it does
    // for a while after a compositing manager took its selection, on a loaded machine for seconds).
    bool transparencyShows() const {
        QWidget probe(nullptr,
                      Qt::FramelessWindowHint | Qt::BypassWindowManagerHint | Qt::WindowStaysOnTopHint);
        probe.setAttribute(Qt::WA_TranslucentBackground);
        probe.setAttribute(Qt::WA_ShowWithoutActivating);
        const QRect area(m_white.center() + QPoint(60, 60), QSize(40, 40));
        probe.setGeometry(area);
        probe.show();
        const bool shows = QTest::qWaitForWindowExposed(&probe, waitMs) &&
                           QTest::qWaitFor([&] { return readsWhite(area); }, drawnMs);
        probe.hide();
        return shows;
    }

    // Opens the white full-screen window the panels show over.
    void openWhite(LiveApp& app) {
        const xcb_window_t white = programs.open(
            app.platform(), QStringLiteral("xterm"),
            {QStringLiteral("-bg"), QStringLiteral("white"), QStringLiteral("-fg"), QStringLiteral("white"),
             QStringLiteral("-cr"), QStringLiteral("white"), QStringLiteral("-maximized")});
        ASSERT_NE(white, XCB_WINDOW_NONE);
        m_whiteWindow = white;
        // Maximized, which a loaded window manager may get to only after it first showed the
        // window at its own size.
        QRect frame;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const QRect now = serverClientFrame(white);
                const bool settled = now == frame && now.width() >= m_screen.width() * 9 / 10 &&
                                     now.height() >= m_screen.height() * 8 / 10;
                frame = now;
                return settled;
            },
            waitMs))
            << "the white window was never maximized";
        m_white = frame;
        ASSERT_TRUE(QTest::qWaitFor([&] { return whiteShows(); }, drawnMs))
            << "the white window never showed";
        input.moveTo(m_screen.center());
    }

    // The transient panels of `app`, each opened and closed as the user would.
    std::vector<Panel> transientPanels(LiveApp& app);

    QRect m_screen;
    // The darkest reading around a panel on its way to settling, of the last opening.
    QImage m_darkestEarly;
    int m_unsettled = 0;
    QRect m_white;
    xcb_window_t m_whiteWindow = XCB_WINDOW_NONE;
    XTestInput input;
    FocusedPrograms programs;
    RadialSnapController* m_radial = nullptr;
    std::function<void()> m_endGesture;
};

std::vector<Panel> PanelChecks::transientPanels(LiveApp& app) {
    const QPoint middle = m_screen.center();
    const ScreenInfo screen = app.platform().screens->screens().front();

    app.settings().setRadialTrigger(RadialTrigger::rightControl);
    RadialSnapController& radial = app.state().radial();
    radial.start();
    m_radial = &radial;
    const xcb_keycode_t trigger = input.keycode(XKB_KEY_Control_R);
    const xcb_keycode_t escape = input.keycode(XKB_KEY_Escape);
    m_endGesture = [this, &radial, escape, trigger, middle] {
        input.press(escape);
        input.release(escape);
        input.release(trigger);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return radial.phase() == RadialSnapController::Phase::idle; }, waitMs));
        input.moveTo(middle);
    };

    WindowInfo card;
    card.windowID = m_whiteWindow;
    card.appName = QStringLiteral("xterm");
    card.title = QStringLiteral("xterm");
    card.frame = QRectF(0, 0, 800, 600);
    HoverPreviewController& hover = app.state().sidebar().preview();
    const QRectF strip(screen.frame.right() - 100, 200, 100, 600);

    return {
        {"toast",
         [&app] {
             app.state().toast().show(QStringLiteral("Saved \u201CMail\u201D"),
                                      QStringLiteral("square.stack"));
             return app.state().toast().panel();
         },
         [](FloatingPanel& panel) { panel.hide(); }},
        {"hover-card",
         [&hover, card, screen, strip] {
             hover.show(card, SidebarEdge::right, screen, QRectF(strip.left(), 400, 100, 60), strip);
             return &hover.panel();
         },
         [&hover](FloatingPanel&) { hover.hide(); }},
        {"ring",
         [this, &app, &radial, trigger, middle] {
             input.press(trigger);
             input.moveTo(middle + QPoint(10, 0));
             EXPECT_TRUE(QTest::qWaitFor(
                 [&] { return radial.ringPanel() && radial.ringPanel()->isVisible(); }, waitMs));
             // The gesture is whole once its preview has shown: it comes up after the ring.
             EXPECT_TRUE(!app.settings().radialShowPreview() ||
                         QTest::qWaitFor(
                             [&] {
                                 const FloatingPanel* preview = radial.previewPanel();
                                 return preview && preview->isVisible() && preview->alphaValue() == 1.0;
                             },
                             waitMs));
             return radial.ringPanel();
         },
         [this](FloatingPanel&) { m_endGesture(); }},
        {"display",
         [&app] {
             app.state().notch().showHUD(NotchModel::Kind::volume, false, 0.5f, Seconds(60));
             return app.state().notch().hudPanel();
         },
         [&app](FloatingPanel& panel) {
             app.state().notch().model().setVisible(false);
             panel.hide();
         }},
        {"clipboard-strip",
         [&app] {
             app.state().clipboardPanel().show();
             return static_cast<FloatingPanel*>(app.state().clipboardPanel().panel());
         },
         [this, &app](FloatingPanel& panel) {
             app.state().clipboardPanel().hide();
             // The strip gives the keyboard back to the white window as it closes.
             EXPECT_TRUE(QTest::qWaitFor(
                 [&] { return !panel.isVisible() && activeWindow() == m_whiteWindow; }, waitMs))
                 << "the keyboard did not go back to the white window";
         }},
        {"strip",
         [&app] {
             SidebarController& strip = app.state().sidebar();
             if (!strip.isStarted())
                 strip.start();
             else
                 strip.toggle();
             // As the settings' dispatch does after the switch
             strip.applyVisibility(true);
             EXPECT_TRUE(
                 QTest::qWaitFor([&] { return strip.panel() && strip.panel()->isVisible(); }, waitMs));
             return static_cast<FloatingPanel*>(strip.panel());
         },
         [&app](FloatingPanel&) {
             app.state().sidebar().toggle();
             app.state().sidebar().applyVisibility(true);
         }},
        {"tray-panel",
         [&app] {
             app.state().shelf().openFloating(ShelfSource::tray());
             return static_cast<FloatingPanel*>(app.state().shelf().floatingPanel(ShelfSource::tray()));
         },
         [&app](FloatingPanel&) { app.state().shelf().closeFloating(ShelfSource::tray()); }},
    };
}

class PanelEdges : public PanelChecks {
protected:
    LiveApp app;
};

TEST_F(PanelEdges, NothingDarkOutsideAnyPanelWithOrWithoutACompositingManager) {
    PanelWindowing& windowing = *app.platform().panelWindowing;
    ASSERT_FALSE(windowing.isCompositing());
    openWhite(app);
    const QPoint middle = m_screen.center();
    const xcb_keycode_t trigger = input.keycode(XKB_KEY_Control_R);
    std::vector<Panel> panels = transientPanels(app);
    // The panels this test has always looked at
    panels.resize(5);
    RadialSnapController& radial = *m_radial;
    const auto endGesture = m_endGesture;

    const auto checkPreview = [&](const char* state) {
        const QImage desktopShot = stillScreen();
        input.press(trigger);
        input.moveTo(middle + QPoint(-80, 0));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return radial.isPreviewVisible() &&
                       radial.previewPanel()->frame() == radial.previewTargetFrame();
            },
            waitMs));
        const QImage shot = settled(*radial.previewPanel(), desktopShot);
        const QRect preview = radial.previewPanel()->frame();
        const QPoint shotOrigin = radial.previewPanel()->geometry().topLeft() - QPoint(2, 2);
        // Inside the frame, clear of the ring: the window below, as it was
        const QRect inside(preview.left() + 20, preview.top() + 40, 40, preview.height() - 80);
        const QImage within = shot.copy(inside.translated(-shotOrigin));
        int hidden = 0;
        for (int y = 0; y < within.height(); ++y)
            for (int x = 0; x < within.width(); ++x)
                hidden += qGray(within.pixel(x, y)) < 128 ? 1 : 0;
        EXPECT_EQ(hidden, 0) << "the preview hides the window inside it, " << state;
        endGesture();
    };

    checkPanels("no-compositor", panels);
    checkPreview("no-compositor");

    QProcess* compositor = desktop().launch(QStringLiteral("xcompmgr"), {});
    ASSERT_NE(compositor, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return windowing.isCompositing(); }, waitMs));
    // It owns its selection before it has drawn the screen once: until then the screen reads black
    // (on a loaded machine for a good while), the white window included.
    ASSERT_TRUE(QTest::qWaitFor([&] { return whiteShows(); }, drawnMs));
    checkPanels("compositor-started", panels);
    checkPreview("compositor-started");

    compositor->terminate();
    compositor->waitForFinished(2000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !windowing.isCompositing(); }, waitMs));
    checkPanels("compositor-stopped", panels);
    checkPreview("compositor-stopped");

    // Compositors that shade windows of their own accord leave alone the panels that draw their
    // own shadow (or want none)
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("picom.conf"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("shadow = true;\nbackend = \"xrender\";\n");
    file.close();
    // (xcompmgr -c shades windows whatever they ask: the test of each panel's own shadow below
    // looks at it)
    const std::vector<Panel> shadowless(panels.begin(), panels.begin() + 3);
    const std::pair<const char*, QStringList> shading[] = {
        {"picom-shadows", {QStringLiteral("picom"), QStringLiteral("--config"), config}}};
    for (const auto& [state, command] : shading) {
        QProcess* shader = desktop().launch(command.front(), command.mid(1));
        ASSERT_NE(shader, nullptr) << state;
        ASSERT_TRUE(QTest::qWaitFor([&] { return windowing.isCompositing(); }, waitMs)) << state;
        // A compositing manager owns its selection a moment before it draws anything: a panel
        // shown in that moment is drawn by the server alone, its transparent corners black.
        ASSERT_TRUE(transparencyShows()) << state;
        checkPanels(state, shadowless, 3);
        shader->terminate();
        shader->waitForFinished(2000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !windowing.isCompositing(); }, waitMs)) << state;
    }
}

class PanelShadows : public PanelChecks {};

TEST_F(PanelShadows, EachPanelCastsOnlyItsOwnShadowUnderCompositorsThatShadeWindowsFromAFreshStart) {
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("picom.conf"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("shadow = true;\nbackend = \"xrender\";\n");
    file.close();
    // The first honours a window's wish for no shadow. The second ignores it, and shades a
    // translucent window as well when the window manager's new frame around it is configured
    // before it maps (openbox does so at every showing): the panel has it let go of that shadow
    // once it takes in the map, so on a loaded machine it can show for a moment.
    const std::tuple<const char*, QStringList, int> shading[] = {
        {"picom-shadows", {QStringLiteral("picom"), QStringLiteral("--config"), config}, 0},
        {"xcompmgr-shadows", {QStringLiteral("xcompmgr"), QStringLiteral("-c")}, 250}};
    for (const auto& [state, command, stillMs] : shading) {
        QProcess* shader = desktop().launch(command.front(), command.mid(1));
        ASSERT_NE(shader, nullptr) << state;
        ASSERT_TRUE(QTest::qWaitFor(compositorRuns, waitMs)) << state;
        // It owns its selection a moment before it draws anything.
        QTest::qWait(500);
        {
            // Started under it: the first opening of each panel is the first after a start
            LiveApp app;
            ASSERT_TRUE(app.platform().panelWindowing->isCompositing()) << state;
            if (m_whiteWindow == XCB_WINDOW_NONE)
                openWhite(app);
            const std::vector<Panel> panels = transientPanels(app);
            // The landing preview would tint the ring's surroundings
            app.settings().setRadialShowPreview(false);
            checkShadows(state, panels, stillMs);
        }
        shader->terminate();
        shader->waitForFinished(2000);
        ASSERT_TRUE(QTest::qWaitFor([] { return !compositorRuns(); }, waitMs)) << state;
    }
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
