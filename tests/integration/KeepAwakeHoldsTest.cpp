// Keeping awake against a private system bus on which a stand-in login service runs: the
// inhibitor locks each mode takes, read back from the service, and what happens when the service
// refuses the lid or is not there at all.
#include "support/IntegrationMain.h"
#include "support/PrivateSystemBus.h"

#include "core/Settings.h"
#include "core/StatusItems.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeTray.h"
#include "platform/linux/LinuxPowerHolds.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "system/AwakeController.h"

#include <QDBusArgument>
#include <QTest>

#include <gtest/gtest.h>

using namespace corvane;
using corvane::testing::PrivateSystemBus;

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");

struct NoSettingsWindow final : AwakeSettingsOpener {
    void showKeepAwakeSettings() override {}
};

class KeepAwakeHolds : public PrivateSystemBus {
protected:
    // The keep-awake controller over the real holds, with the private bus as system and session bus.
    AwakeController& awake() {
        holds = std::make_unique<LinuxPowerHolds>(*m_bus, *m_bus);
        controller = std::make_unique<AwakeController>(
            AwakeController::Services{settings, scheduler, *holds, defaults, statusItems, opener});
        QObject::connect(&settings, &Settings::changed, controller.get(), [this](const QString& key) {
            if (key == QLatin1String("awakeMode"))
                controller->reapplyMode();
        });
        return *controller;
    }

    // What the login service holds for whom, sorted: "idle", "handle-lid-switch".
    QStringList inhibitors() {
        const QDBusMessage reply = call(kLogin, kLoginPath, kManager, QStringLiteral("ListInhibitors"), {});
        QStringList whats;
        if (reply.type() != QDBusMessage::ReplyMessage)
            return whats;
        const auto list = reply.arguments().at(0).value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            QString what, who, why, mode;
            uint uid = 0, pid = 0;
            list.beginStructure();
            list >> what >> who >> why >> mode >> uid >> pid;
            list.endStructure();
            EXPECT_EQ(who, "Corvane");
            EXPECT_EQ(why, "Corvane Keep Awake");
            EXPECT_EQ(mode, "block");
            whats << what;
        }
        list.endArray();
        whats.sort();
        return whats;
    }
    // The login service drops a lock when its descriptor closes, a moment later.
    bool holdsBecome(const QStringList& wanted) {
        return QTest::qWaitFor([&] { return inhibitors() == wanted; }, kWaitMs);
    }
    int screenSaverCalls(const QString& method) {
        const QDBusMessage reply =
            call(kScreenSaver, kScreenSaverPath, kMock, QStringLiteral("GetMethodCalls"), {method});
        if (reply.type() != QDBusMessage::ReplyMessage)
            return -1;
        const auto calls = reply.arguments().at(0).value<QDBusArgument>();
        int count = 0;
        calls.beginArray();
        while (!calls.atEnd()) {
            calls.beginStructure();
            quint64 time = 0;
            calls >> time;
            calls.beginArray();
            while (!calls.atEnd())
                calls.asVariant();
            calls.endArray();
            calls.endStructure();
            ++count;
        }
        calls.endArray();
        return count;
    }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults{std::make_unique<FakeDefaultsFile>(), scheduler};
    Settings settings{defaults, notifications};
    FakeTray tray;
    StatusItems statusItems{tray, scheduler};
    NoSettingsWindow opener;
    std::unique_ptr<LinuxPowerHolds> holds;
    std::unique_ptr<AwakeController> controller;
};

TEST_F(KeepAwakeHolds, EachModeTakesExactlyItsLocksAndLetsThemGo) {
    ASSERT_TRUE(mock(QStringLiteral("logind"), kLogin));
    // The desktop's screen saver, on the session side.
    ASSERT_TRUE(mockObject(kScreenSaver, kScreenSaverPath, kScreenSaver));
    call(kScreenSaver, kScreenSaverPath, kMock, QStringLiteral("AddMethod"),
         {kScreenSaver, QStringLiteral("Inhibit"), QStringLiteral("ss"), QStringLiteral("u"),
          QStringLiteral("ret = 42")});
    call(kScreenSaver, kScreenSaverPath, kMock, QStringLiteral("AddMethod"),
         {kScreenSaver, QStringLiteral("UnInhibit"), QStringLiteral("u"), QString(), QString()});
    AwakeController& keeper = awake();

    keeper.start(600); // the display mode: idle sleep held, and the screen saver inhibited
    EXPECT_TRUE(keeper.isActive());
    EXPECT_TRUE(holdsBecome({QStringLiteral("idle")}));
    EXPECT_EQ(screenSaverCalls(QStringLiteral("Inhibit")), 1);

    settings.setAwakeMode(AwakeMode::lidClosed);
    EXPECT_TRUE(holdsBecome({QStringLiteral("handle-lid-switch"), QStringLiteral("idle")}));
    EXPECT_EQ(screenSaverCalls(QStringLiteral("UnInhibit")), 1);

    settings.setAwakeMode(AwakeMode::system);
    EXPECT_TRUE(holdsBecome({QStringLiteral("idle")}));

    keeper.stop();
    EXPECT_TRUE(holdsBecome({}));

    settings.setAwakeMode(AwakeMode::lidClosed);
    keeper.start(std::nullopt);
    EXPECT_TRUE(holdsBecome({QStringLiteral("handle-lid-switch"), QStringLiteral("idle")}));
    keeper.releaseAll(); // quitting
    EXPECT_TRUE(holdsBecome({}));
}

TEST_F(KeepAwakeHolds, ALoginServiceThatRefusesTheLidLeavesTheSystemMode) {
    ASSERT_TRUE(mock(QStringLiteral(CORVANE_LOGIND_REFUSING_LID), kLogin));
    AwakeController& keeper = awake();
    settings.setAwakeMode(AwakeMode::lidClosed);

    keeper.start(600);
    EXPECT_TRUE(keeper.isActive());
    EXPECT_EQ(settings.awakeMode(), AwakeMode::system);
    EXPECT_FALSE(keeper.lidSleepDisabled());
    EXPECT_TRUE(holdsBecome({QStringLiteral("idle")}));
    EXPECT_FALSE(defaults.boolValue("awakeLidWasDisabled").value_or(true));
}

TEST_F(KeepAwakeHolds, WithoutALoginServiceNothingClaimsToKeepAwake) {
    AwakeController& keeper = awake();
    keeper.updateStatusItem();
    for (const AwakeMode mode : {AwakeMode::system, AwakeMode::lidClosed}) {
        settings.setAwakeMode(mode);
        keeper.toggle();
        EXPECT_FALSE(keeper.isActive());
        EXPECT_TRUE(keeper.couldNotHold());
        EXPECT_FALSE(keeper.lidSleepDisabled());
        EXPECT_EQ(tray.icon(QStringLiteral("corvane.awake"))->toolTip(), "Corvane Keep Awake — off");
    }
}

} // namespace

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
