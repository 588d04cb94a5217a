// The power state and the sleep and session notifications, read from a private system bus on
// which stand-ins of the system's power, power-profile and login services run.
#include "support/IntegrationMain.h"

#include "platform/linux/LinuxPowerSource.h"
#include "platform/linux/LinuxSleepWake.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace corvane;

namespace {

constexpr int kWaitMs = 10000;
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/c1");

// A bus of the test's own, standing for the system bus, with mocked services started on demand.
class PrivateSystemBus : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(
            QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                           "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">"
                           "<busconfig><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                           "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                .arg(m_dir.path())
                .toUtf8());
        config.close();
        QProcess* daemon = start(QStringLiteral("dbus-daemon"),
                                 {QStringLiteral("--config-file=") + config.fileName(),
                                  QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!daemon->waitForStarted(kWaitMs) || !daemon->waitForReadyRead(kWaitMs))
            GTEST_SKIP() << "no dbus-daemon";
        m_address = QString::fromUtf8(daemon->readLine()).trimmed();
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(m_address, QStringLiteral("corvane-test-system-bus")));
        ASSERT_TRUE(m_bus->isConnected());
    }

    void TearDown() override {
        for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
            (*it)->kill();
            (*it)->waitForFinished(5000);
        }
        m_bus.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("corvane-test-system-bus"));
    }

    QProcess* start(const QString& program, const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->start(program, arguments);
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    // Starts a mocked service from its template and waits until it owns its name.
    QProcess* mock(const QString& templateName, const QString& busName, const QString& parameters = {}) {
        QStringList arguments{QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                              templateName};
        if (!parameters.isEmpty())
            arguments << QStringLiteral("-p") << parameters;
        // The interpreter with the D-Bus modules; another python3 may come first on PATH.
        QProcess* process = start(QStringLiteral("/usr/bin/python3"), arguments);
        const bool up = QTest::qWaitFor(
            [&] { return m_bus->interface()->isServiceRegistered(busName).value(); }, kWaitMs);
        return up ? process : nullptr;
    }

    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        return m_bus->call(message);
    }

    void setProperty(const QString& service, const QString& path, const QString& interface,
                     const QString& name, const QVariant& value) {
        const QDBusMessage reply = call(service, path, kProperties, QStringLiteral("Set"),
                                        {interface, name, QVariant::fromValue(QDBusVariant(value))});
        ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
    }

    QTemporaryDir m_dir;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_bus;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

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
    QSignalSpy sleeps(&sleepWake, &SleepWake::willSleep);
    QSignalSpy wakes(&sleepWake, &SleepWake::didWake);
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

} // namespace

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
