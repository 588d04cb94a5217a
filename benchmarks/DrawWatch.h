#pragma once

#include "BenchmarkDesktop.h"

#include <QSocketNotifier>

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace corvane::benchmarks {

// Hears, on a connection of its own, when windows are drawn into.
class DrawWatch {
public:
    using Clock = std::chrono::steady_clock;

    DrawWatch() : m_c(xcb_connect(desktop().displayName().toLocal8Bit().constData(), nullptr)) {
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(m_c, &xcb_damage_id);
        m_available = damage && damage->present;
        if (!m_available)
            return;
        m_eventBase = damage->first_event;
        std::free(xcb_damage_query_version_reply(m_c, xcb_damage_query_version(m_c, 1, 1), nullptr));
        m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_c), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { take(); });
    }
    ~DrawWatch() { xcb_disconnect(m_c); }
    DrawWatch(const DrawWatch&) = delete;
    DrawWatch& operator=(const DrawWatch&) = delete;
    bool isAvailable() const { return m_available; }

    void watch(xcb_window_t window) {
        const xcb_damage_damage_t damage = xcb_generate_id(m_c);
        xcb_damage_create(m_c, damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        m_damages.push_back({window, damage});
        xcb_flush(m_c);
    }

    // Does `act` and answers how long until `window` was drawn into; none after `boundMs`.
    std::optional<double> timeMs(xcb_window_t window, const std::function<void()>& act, int boundMs = 5000) {
        // What was drawn before counts for nothing: the next drawing reports afresh.
        for (const auto& [watched, damage] : m_damages)
            xcb_damage_subtract(m_c, damage, XCB_NONE, XCB_NONE);
        std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
        take();
        m_window = window;
        m_seen = false;
        return timeUntilSeen(
            *m_notifier, act, [this] { return take() ? std::optional(m_at) : std::nullopt; }, boundMs);
    }

private:
    bool take() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
            if ((event->response_type & 0x7f) == m_eventBase + XCB_DAMAGE_NOTIFY && !m_seen &&
                reinterpret_cast<xcb_damage_notify_event_t*>(event)->drawable == m_window) {
                m_seen = true;
                m_at = Clock::now();
            }
            std::free(event);
        }
        return m_seen;
    }

    xcb_connection_t* m_c;
    bool m_available = false;
    uint8_t m_eventBase = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<std::pair<xcb_window_t, xcb_damage_damage_t>> m_damages;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    bool m_seen = false;
    Clock::time_point m_at;
};

} // namespace corvane::benchmarks
