#include "platform/EventMonitorList.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane::testing {
namespace {

using Scope = EventMonitorList::Scope;

const MonitoredEvent moved{MonitoredEvent::Type::mouseMoved, std::nullopt, 0, QPointF(1, 2)};
const MonitoredEvent keyDown{MonitoredEvent::Type::keyDown, 0, 0, QPointF()};

TEST(EventMonitorListTest, AnEventReachesTheMonitorsOfItsScopeThatWatchItsKind) {
    EventMonitorList list;
    std::vector<int> called;
    list.add(Scope::global, EventMask::leftMouseDragged, [&](const MonitoredEvent&) { called.push_back(1); });
    list.add(Scope::local, EventMask::mouseMoved, [&](const MonitoredEvent&) { called.push_back(2); });
    list.add(Scope::global, EventMask::keyDown, [&](const MonitoredEvent&) { called.push_back(3); });

    list.deliver(Scope::global, moved);
    EXPECT_EQ(called, std::vector<int>{1});
    list.deliver(Scope::global, keyDown);
    EXPECT_EQ(called, (std::vector<int>{1, 3}));
}

TEST(EventMonitorListTest, AMonitorRemovedDuringADeliveryIsNotCalledByIt) {
    EventMonitorList list;
    std::vector<int> called;
    EventMonitors::Handle second = 0;
    const EventMonitors::Handle first =
        list.add(Scope::global, EventMask::mouseMoved, [&](const MonitoredEvent&) {
            called.push_back(1);
            list.remove(second);
        });
    second =
        list.add(Scope::global, EventMask::mouseMoved, [&](const MonitoredEvent&) { called.push_back(2); });
    list.add(Scope::global, EventMask::mouseMoved, [&](const MonitoredEvent&) {
        called.push_back(3);
        list.remove(first);
        // Added now, heard from the next event on.
        list.add(Scope::global, EventMask::mouseMoved, [&](const MonitoredEvent&) { called.push_back(4); });
    });

    list.deliver(Scope::global, moved);
    EXPECT_EQ(called, (std::vector<int>{1, 3}));
    EXPECT_EQ(list.count(Scope::global), 2);
}

} // namespace
} // namespace corvane::testing
