// Entrances as another program sees them, on openbox without a compositing manager (where a fade
// shows nothing): the running product's clipboard strip rises through several places after its
// hot key, and the volume display's window takes several outlines while it unfolds. Only X
// events are read: the window manager's frames being moved and reshaped.
#include "support/CorvaneProcess.h"
#include "support/IntegrationMain.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <set>

namespace corvane::testing {
namespace {

// Follows every top-level window (the frames openbox puts programs in): where each is moved to,
// and the widths its shape takes.
class FrameWatch {
public:
    FrameWatch() : m_connection(xcb_connect(desktop().displayName().toLatin1().constData(), nullptr)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, screen->root, XCB_CW_EVENT_MASK, &mask);
        m_shapeEvent = xcb_get_extension_data(m_connection, &xcb_shape_id)->first_event;
        xcb_flush(m_connection);
    }
    ~FrameWatch() { xcb_disconnect(m_connection); }

    void take() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            const uint8_t type = event->response_type & ~0x80;
            if (type == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                xcb_shape_select_input(m_connection, map->window, 1);
                xcb_flush(m_connection);
            } else if (type == XCB_CONFIGURE_NOTIFY) {
                const auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                places[configure->window].insert({configure->x, configure->y});
                heights[configure->window] = configure->height;
            } else if (type == m_shapeEvent + XCB_SHAPE_NOTIFY) {
                const auto* shape = reinterpret_cast<xcb_shape_notify_event_t*>(event);
                if (shape->shape_kind == XCB_SHAPE_SK_BOUNDING)
                    widths[shape->affected_window].insert(shape->extents_width);
            }
            std::free(event);
        }
    }
    // The most places one window of that height went through.
    std::size_t mostPlaces(int height) const {
        std::size_t most = 0;
        for (const auto& [window, seen] : places)
            if (heights.at(window) == height)
                most = std::max(most, seen.size());
        return most;
    }
    std::size_t mostWidths() const {
        std::size_t most = 0;
        for (const auto& [window, seen] : widths)
            most = std::max(most, seen.size());
        return most;
    }

    std::map<xcb_window_t, std::set<std::pair<int, int>>> places;
    std::map<xcb_window_t, int> heights;
    std::map<xcb_window_t, std::set<int>> widths;

private:
    xcb_connection_t* m_connection;
    uint8_t m_shapeEvent = 0;
};

TEST(EntranceMotion, TheStripRisesThroughSeveralPlacesAndTheDisplayUnfoldsThroughSeveralWidths) {
    FrameWatch watch;
    QTemporaryDir home;
    QProcess corvane;
    corvane.setProcessEnvironment(corvaneEnvironment(home.path()));
    corvane.start(CORVANE_BINARY, {QStringLiteral("-previewNotchHUD"), QStringLiteral("YES")});
    ASSERT_TRUE(corvane.waitForStarted(5000));

    // The display shows a second after the start and unfolds on its spring
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            watch.take();
            return watch.mostWidths() >= 3;
        },
        15000))
        << "widths seen: " << watch.mostWidths();

    // The strip rises 24 points into place after Alt+Shift+V
    XTestInput input;
    const xcb_keycode_t alt = input.keycode(XKB_KEY_Alt_L);
    const xcb_keycode_t shift = input.keycode(XKB_KEY_Shift_L);
    const xcb_keycode_t v = input.keycode(XKB_KEY_v);
    // Typed once Corvane holds the key (a loaded machine may get the display up first)
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !isFreeOnServer(v, XCB_MOD_MASK_1 | XCB_MOD_MASK_SHIFT); }, 15000))
        << "Alt+Shift+V was never taken";
    input.press(alt);
    input.press(shift);
    input.press(v);
    input.release(v);
    input.release(shift);
    input.release(alt);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            watch.take();
            return watch.mostPlaces(230) >= 3;
        },
        10000))
        << "places seen: " << watch.mostPlaces(230);

    ::kill(static_cast<pid_t>(corvane.processId()), SIGTERM);
    corvane.waitForFinished(10000);
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
