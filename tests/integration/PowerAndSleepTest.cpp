// The power state and the sleep and session notifications, read from a private system bus on
// which stand-ins of the system's power, power-profile and login services run, and the displays'
// sleep while the test's X server runs its screen saver.
#include "support/IntegrationMain.h"
#include "support/PrivateSystemBus.h"

#include "platform/linux/LinuxPowerSource.h"
#include "platform/linux/LinuxSleepWake.h"
#include "platform/x11/X11ScreenSaverWatch.h"

#include <QDBusConnection>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

using namespace corvane;
using corvane::testing::desktop;
using corvane::testing::PrivateSystemBus;

namespace {

const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/c1");
constexpr int kWaitMs = PrivateSystemBus::kWaitMs;

TEST_F(PrivateSystemBus, ThePowerStateFollowsTheServicesAsTheyComeChangeAndGo) {
    // Given a power source built before any power service runs
    LinuxPowerSource power(*m_bus);
    EXPECT_FALSE(power.isOnBattery());

    // When the power service starts on battery, and later reports mains power
    ASSERT_TRUE(mock(QStringLiteral("upower"), QStringLiteral("org.freedesktop.UPower"),
                     QStringLiteral("{\"OnBattery\": true}")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return power.isOnBattery(); }, kWaitMs));
    setProperty(QStringLiteral("org.freedesktop.UPower"), QStringLiteral("/org/freedesktop/UPower"),
                QStringLiteral("org.freedesktop.UPower"), QStringLiteral("OnBattery"), false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !power.isOnBattery(); }, kWaitMs));

    // When the power-profile service runs in power saving, then quits
    QProcess* profiles =
        mock(QStringLiteral("power_profiles_daemon"), QStringLiteral("net.hadess.PowerProfiles"),
             QStringLiteral("{\"ActiveProfile\": \"power-saver\"}"));
    ASSERT_TRUE(profiles);
    EXPECT_TRUE(QTest::qWaitFor([&] { return power.isPowerSaverOn(); }, kWaitMs));
    profiles->kill();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !power.isPowerSaverOn(); }, kWaitMs));
}

TEST_F(PrivateSystemBus, SleepWakeAndSessionSwitchesAreReported) {
    // Given a login service that knows this process's session
    ASSERT_TRUE(mock(QStringLiteral("logind"), kLogin));
    call(kLogin, kLoginPath, kMock, QStringLiteral("AddSession"),
         {QStringLiteral("c1"), QStringLiteral("seat0"), 1000u, QStringLiteral("tester"), true});
    call(kLogin, kLoginPath, kMock, QStringLiteral("AddMethod"),
         {QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("GetSessionByPID"),
          QStringLiteral("u"), QStringLiteral("o"), QStringLiteral("ret = '%1'").arg(kSessionPath)});
    LinuxSleepWake sleepWake(*m_bus);
    QSignalSpy sleeps(&sleepWake, &SleepWake::displaysDidSleep);
    QSignalSpy wakes(&sleepWake, &SleepWake::displaysDidWake);
    QSignalSpy resigned(&sleepWake, &SleepWake::sessionDidResignActive);
    QSignalSpy returned(&sleepWake, &SleepWake::sessionDidBecomeActive);

    // When the machine goes to sleep and wakes
    const auto prepareForSleep = [&](bool start) {
        call(kLogin, kLoginPath, kMock, QStringLiteral("EmitSignal"),
             {QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
              QStringLiteral("b"), QVariantList{start}});
    };
    prepareForSleep(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sleeps.count() == 1; }, kWaitMs));
    prepareForSleep(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return wakes.count() == 1; }, kWaitMs));

    // When another user takes the screen and gives it back
    setProperty(kLogin, kSessionPath, QStringLiteral("org.freedesktop.login1.Session"),
                QStringLiteral("Active"), false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return resigned.count() == 1; }, kWaitMs));
    setProperty(kLogin, kSessionPath, QStringLiteral("org.freedesktop.login1.Session"),
                QStringLiteral("Active"), true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.count() == 1; }, kWaitMs));
    EXPECT_EQ(sleeps.count(), 1);
}

TEST(NoSystemBus, ReadsAsMainsPowerAndAwake) {
    // A bus that cannot be reached: nothing is reported and nothing fails.
    const QDBusConnection unreachable = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("corvane-no-bus"));
    LinuxPowerSource power(unreachable);
    LinuxSleepWake sleepWake(unreachable);
    EXPECT_FALSE(power.isOnBattery());
    EXPECT_FALSE(power.isPowerSaverOn());
    QDBusConnection::disconnectFromBus(QStringLiteral("corvane-no-bus"));
}

TEST(ScreenSaver, TheDisplaysSleepWhileTheScreenSaverIsOn) {
    // Given the sleep notifications of the test's X server, with no system bus
    const QDBusConnection unreachable = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("corvane-no-bus-saver"));
    {
        LinuxSleepWake sleepWake(
            unreachable, std::make_unique<X11ScreenSaverWatch>(desktop().displayName().toLocal8Bit()));
        QSignalSpy sleeps(&sleepWake, &SleepWake::displaysDidSleep);
        QSignalSpy wakes(&sleepWake, &SleepWake::displaysDidWake);

        // When another client turns the screen saver on, then off again (`xset s activate`, then
        // `xset s reset`)
        xcb_connection_t* x = desktop().connection();
        xcb_force_screen_saver(x, XCB_SCREEN_SAVER_ACTIVE);
        xcb_flush(x);
        EXPECT_TRUE(QTest::qWaitFor([&] { return sleeps.count() == 1; }, kWaitMs));
        EXPECT_EQ(wakes.count(), 0);
        xcb_force_screen_saver(x, XCB_SCREEN_SAVER_RESET);
        xcb_flush(x);

        // Then the displays went to sleep once, and woke once
        EXPECT_TRUE(QTest::qWaitFor([&] { return wakes.count() == 1; }, kWaitMs));
        EXPECT_EQ(sleeps.count(), 1);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("corvane-no-bus-saver"));
}

} // namespace

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
