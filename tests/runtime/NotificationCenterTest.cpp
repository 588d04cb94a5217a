#include "runtime/NotificationCenter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace corvane;

TEST(NotificationCenter, DeliversSynchronouslyToObserversOfThatNameOnly) {
    // Given two observers of one name and one of another
    NotificationCenter center;
    std::vector<std::string> seen;
    ObserverToken first = center.addObserver("Changed", [&](const Notification& n) {
        seen.push_back("first:" + n.userInfo.value("key").toString().toStdString());
    });
    ObserverToken second = center.addObserver("Changed", [&](const Notification& n) {
        seen.push_back("second:" + n.object.toString().toStdString());
    });
    ObserverToken other = center.addObserver("Other", [&](const Notification&) { seen.push_back("other"); });

    // When a notification is posted
    center.post("Changed", QStringLiteral("settings"), {{"key", QStringLiteral("radius")}});

    // Then both of its observers ran, in order, before post returned
    EXPECT_EQ(seen, (std::vector<std::string>{"first:radius", "second:settings"}));
    EXPECT_EQ(center.observerCount("Changed"), 2);
}

TEST(NotificationCenter, HandlersMayPostAgainAndAddOrRemoveObservers) {
    // Given an observer that posts a follow-up, removes a later observer and adds a new one
    NotificationCenter center;
    std::vector<std::string> seen;
    std::optional<ObserverToken> victim;
    std::optional<ObserverToken> added;
    ObserverToken poster = center.addObserver("A", [&](const Notification&) {
        seen.push_back("poster");
        center.post("B");
        victim.reset();
        added = center.addObserver("A", [&](const Notification&) { seen.push_back("added"); });
    });
    ObserverToken follower =
        center.addObserver("B", [&](const Notification&) { seen.push_back("follower"); });
    victim = center.addObserver("A", [&](const Notification&) { seen.push_back("victim"); });

    // When "A" is posted
    center.post("A");

    // Then the nested post was delivered at once, the removed observer stopped before its turn,
    // and the observer added meanwhile waits for the next post
    EXPECT_EQ(seen, (std::vector<std::string>{"poster", "follower"}));
    EXPECT_EQ(center.observerCount("A"), 2);

    // And an observer that removes itself while running is not called again
    std::optional<ObserverToken> selfRemoving;
    int selfCalls = 0;
    selfRemoving = center.addObserver("C", [&](const Notification&) {
        ++selfCalls;
        selfRemoving.reset();
    });
    center.post("C");
    center.post("C");
    EXPECT_EQ(selfCalls, 1);
    EXPECT_EQ(center.observerCount("C"), 0);
}
