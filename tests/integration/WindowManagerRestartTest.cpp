// A window manager that restarts under a running Corvane is gone for a few seconds only: that is
// not a revoked permission, so neither the onboarding nor the settings window opens.
#include "support/CorvaneProcess.h"
#include "support/IntegrationMain.h"
#include "support/VirtualDesktop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace corvane::testing {
namespace {

using namespace std::chrono_literals;

QStringList corvaneWindows(qint64 pid) {
    QStringList titles;
    for (const ClientWindow& window : desktop().clientWindows())
        if (window.pid == pid)
            titles.push_back(window.title);
    titles.sort();
    return titles;
}

TEST(WindowManagerRestartTest, AWindowManagerAwayForAMomentOpensNoWindow) {
    // Given a Corvane past its onboarding that opens nothing at launch
    QTemporaryDir home;
    QDir().mkpath(home.path() + QStringLiteral("/config/Corvane"));
    QFile defaults(home.path() + QStringLiteral("/config/Corvane/defaults.json"));
    ASSERT_TRUE(defaults.open(QIODevice::WriteOnly));
    defaults.write(R"({"hasCompletedOnboarding": true, "showSettingsOnLaunch": false})");
    defaults.close();
    QProcess corvane;
    corvane.setProcessEnvironment(corvaneEnvironment(home.path()));
    corvane.start(CORVANE_BINARY, {});
    ASSERT_TRUE(corvane.waitForStarted(5000));
    QByteArray log;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            log += corvane.readAllStandardError();
            return log.contains(" starting (login launch: ");
        },
        10000))
        << log.constData();
    // Its strip is up: what it shows at rest
    ASSERT_TRUE(QTest::qWaitFor([&] { return !corvaneWindows(corvane.processId()).isEmpty(); }, 10000));
    const QStringList before = corvaneWindows(corvane.processId());

    // When the window manager is gone for four seconds, longer than a probe's period (so one
    // finds it missing) but within the grace period
    desktop().restartWindowManager(4s);

    // Then no window of Corvane opens until a permission probe (every three seconds) has surely
    // found the window manager back: the absence over that time is what is checked.
    QTest::qWait(4000);
    EXPECT_EQ(corvaneWindows(corvane.processId()), before);
    EXPECT_EQ(corvane.state(), QProcess::Running);
    log += corvane.readAllStandardError();
    EXPECT_FALSE(log.contains("Permissions changed: accessibility=false")) << log.constData();

    ::kill(static_cast<pid_t>(corvane.processId()), SIGTERM);
    EXPECT_TRUE(corvane.waitForFinished(10000));
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
