#include "core/PermissionManager.h"
#include "platform/fake/FakePermissionProbe.h"
#include "platform/fake/FakeSystemShell.h"
#include "runtime/Log.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <utility>
#include <vector>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

// Counts the "Permissions changed" lines while installed.
class PermissionLogCounter {
public:
    PermissionLogCounter() {
        s_count = 0;
        m_previous = qInstallMessageHandler(&PermissionLogCounter::handle);
    }
    ~PermissionLogCounter() { qInstallMessageHandler(m_previous); }
    int count() const { return s_count; }
    static QString lastLine() { return s_last; }

private:
    static void handle(QtMsgType, const QMessageLogContext& context, const QString& message) {
        if (QLatin1String(context.category) == QLatin1String(lcPermissions().categoryName()) &&
            message.startsWith(QLatin1String("Permissions changed"))) {
            ++s_count;
            s_last = message;
        }
    }
    static inline int s_count = 0;
    static inline QString s_last;
    QtMessageHandler m_previous;
};

class PermissionManagerTest : public ::testing::Test {
protected:
    PermissionManagerTest() {
        PermissionManager::resetCachedFlags();
        PermissionManager::setProbeForFirstRead(&probe);
    }
    ~PermissionManagerTest() override { PermissionManager::resetCachedFlags(); }

    std::unique_ptr<PermissionManager> makeManager() {
        auto manager = std::make_unique<PermissionManager>(probe, scheduler, detached, shell);
        manager->onChange = [this](bool accessibility, bool screenRecording) {
            changes.emplace_back(accessibility, screenRecording);
        };
        return manager;
    }

    // One poll period, with the probe's work and its delivery run to the end.
    void pollOnce(Seconds period = 3s) {
        scheduler.advance(period);
        detached.drain();
    }

    FakePermissionProbe probe;
    FakeSystemShell shell;
    ManualScheduler scheduler;
    ManualExecutor detached{ManualExecutor::Mode::stepped};
    std::vector<std::pair<bool, bool>> changes;
    PermissionLogCounter log;
};

} // namespace

TEST_F(PermissionManagerTest, GrantIsNoticedWithinOnePeriodAndReportedOnce) {
    // Given polling every 3 s with nothing granted
    auto manager = makeManager();
    QSignalSpy granted(manager.get(), &PermissionManager::accessibilityGrantedChanged);
    manager->startPolling(3s);

    // When accessibility is granted between two ticks
    scheduler.advance(1s);
    probe.accessibility = true;
    scheduler.advance(2s);
    EXPECT_EQ(detached.postedCount(), 1);
    detached.drain();

    // Then the tick that follows notices it: one signal, one log line, one call of the handler
    EXPECT_TRUE(manager->accessibilityGranted());
    EXPECT_FALSE(manager->screenRecordingGranted());
    EXPECT_EQ(granted.count(), 1);
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(PermissionLogCounter::lastLine(),
              QStringLiteral("Permissions changed: accessibility=true screenRecording=false"));
    EXPECT_EQ(changes, (std::vector<std::pair<bool, bool>>{{true, false}}));
    EXPECT_TRUE(PermissionManager::cachedAccessibility());

    // And polling on reports nothing more
    for (int i = 0; i < 10; ++i)
        pollOnce();
    EXPECT_EQ(granted.count(), 1);
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(PermissionManagerTest, UnchangedPermissionsAreNeverReported) {
    // Given a launch with accessibility already granted: the initial state comes from the flags
    probe.accessibility = true;
    auto manager = makeManager();
    EXPECT_TRUE(manager->accessibilityGranted());
    manager->startPolling(3s);

    // When polling runs for a minute without a change
    for (int i = 0; i < 20; ++i)
        pollOnce();

    // Then every tick probed, and nothing was logged or reported
    EXPECT_EQ(probe.accessibilityQueries, 21); // the flag's first read, then one per tick
    EXPECT_EQ(log.count(), 0);
    EXPECT_TRUE(changes.empty());
}

TEST_F(PermissionManagerTest, WindowAccessMissingForAMomentIsNotALoss) {
    // Given window access granted and polling every 3 s
    probe.accessibility = true;
    auto manager = makeManager();
    manager->startPolling(3s);

    // When it is missing for two ticks (a window manager restarting), then back
    probe.accessibility = false;
    pollOnce();
    pollOnce();
    probe.accessibility = true;
    pollOnce();
    // Then nothing was reported and the flag never dropped
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(PermissionManager::cachedAccessibility());

    // When it stays missing past the grace period, it is lost
    probe.accessibility = false;
    pollOnce();
    pollOnce();
    EXPECT_TRUE(changes.empty());
    pollOnce();
    EXPECT_EQ(changes, (std::vector<std::pair<bool, bool>>{{false, false}}));
    EXPECT_FALSE(manager->accessibilityGranted());
}

TEST_F(PermissionManagerTest, TickDuringRunningProbeIsDroppedNotQueued) {
    // Given a probe started by a tick and still running
    auto manager = makeManager();
    manager->startPolling(3s);
    scheduler.advance(3s);
    ASSERT_TRUE(manager->checking());
    ASSERT_EQ(detached.postedCount(), 1);

    // When two more ticks come meanwhile
    scheduler.advance(6s);

    // Then neither starts a probe, and none is left over once the probe ends
    EXPECT_EQ(detached.postedCount(), 1);
    detached.drain();
    EXPECT_FALSE(manager->checking());
    EXPECT_EQ(detached.postedCount(), 1);

    // And the next tick probes again
    pollOnce();
    EXPECT_EQ(detached.postedCount(), 2);
}

TEST_F(PermissionManagerTest, StartPollingReplacesTheTimerAndSanitisesTheInterval) {
    auto manager = makeManager();
    auto expectOneTimer = [this](double interval, double tolerance) {
        const auto timers = scheduler.repeatingTimers();
        ASSERT_EQ(timers.size(), 1u);
        EXPECT_DOUBLE_EQ(timers[0].first.count(), interval);
        EXPECT_NEAR(timers[0].second.count(), tolerance, 1e-9);
    };

    // When polling starts twice, the later interval is the only timer, with 30 % tolerance
    manager->startPolling(3s);
    expectOneTimer(3, 0.9);
    manager->startPolling(1s);
    expectOneTimer(1, 0.3);
    scheduler.advance(3s);
    EXPECT_EQ(detached.postedCount(), 1); // one tick (the rest dropped while it runs), not a 3 s one too
    detached.drain();

    // When the interval is unusable, polling falls back to 3 s rather than spinning
    manager->startPolling(Seconds(std::numeric_limits<double>::quiet_NaN()));
    expectOneTimer(3, 0.9);
    manager->startPolling(-1s);
    expectOneTimer(3, 0.9);
    manager->startPolling(0s);
    expectOneTimer(3, 0.9);
}

TEST_F(PermissionManagerTest, RequestOpensSettingsOnlyWhenNotGrantedAndAlwaysChecks) {
    // Given screen capture granted after launch
    auto manager = makeManager();
    QSignalSpy requested(manager.get(), &PermissionManager::screenRecordingRequestedChanged);
    probe.screenCapture = true;

    // When the user asks for it
    manager->requestScreenRecording();

    // Then no settings open, but a probe runs at once and the views update
    EXPECT_TRUE(manager->screenRecordingRequested());
    EXPECT_EQ(requested.count(), 1);
    EXPECT_TRUE(shell.openedPanes.empty());
    EXPECT_TRUE(manager->checking());
    detached.drain();
    EXPECT_TRUE(manager->screenRecordingGranted());
    EXPECT_EQ(changes, (std::vector<std::pair<bool, bool>>{{false, true}}));

    // When it is revoked and asked for again
    probe.screenCapture = false;
    manager->requestScreenRecording();

    // Then the settings open at the screen-recording page; the flag does not notify again
    EXPECT_EQ(shell.openedPanes, std::vector<SettingsPane>{SettingsPane::screenRecording});
    EXPECT_EQ(requested.count(), 1);
    detached.drain();
    EXPECT_FALSE(manager->screenRecordingGranted());
}

TEST_F(PermissionManagerTest, ManagerDestroyedDuringProbeIsLeftAlone) {
    // Given a probe under way that will find a change
    auto manager = makeManager();
    manager->startPolling(3s);
    scheduler.advance(3s);
    probe.accessibility = true;

    // When the manager goes before the probe's answer comes back
    manager.reset();
    detached.drain();
    scheduler.advance(30s);

    // Then nothing is reported and no timer fires into it
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ(scheduler.pendingTimers(), 0);
}

TEST_F(PermissionManagerTest, CachedFlagsAskOnceThenFollowTheLatestProbe) {
    // Given no probe registered: the flag reads false and remembers nothing
    PermissionManager::setProbeForFirstRead(nullptr);
    probe.accessibility = true;
    EXPECT_FALSE(PermissionManager::cachedAccessibility());
    PermissionManager::setProbeForFirstRead(&probe);

    // When first read with a probe, it asks without prompting, and keeps the answer
    EXPECT_TRUE(PermissionManager::cachedAccessibility());
    EXPECT_FALSE(PermissionManager::cachedScreenRecording());
    EXPECT_EQ(probe.screenCaptureRequests, 0);
    probe.accessibility = false;
    EXPECT_TRUE(PermissionManager::cachedAccessibility());

    // Then probes by the manager update it (a loss once it outlasts the grace period)
    auto manager = makeManager();
    manager->pollTick();
    detached.drain();
    scheduler.advance(PermissionManager::accessibilityLossGrace);
    manager->pollTick();
    detached.drain();
    EXPECT_FALSE(PermissionManager::cachedAccessibility());
}
