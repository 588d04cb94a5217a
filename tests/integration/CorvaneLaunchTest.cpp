// Starts the corvane binary itself on the private desktop: the start-up log line, the tray
// icon embedded in a real tray host, a second launch turned into a reopen of the running one
// (its arguments left with it), a clean quit on SIGTERM, and a hang-up that ends it with everything pending
// saved.
#include "support/CorvaneProcess.h"
#include "support/IntegrationMain.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace corvane::testing {
namespace {

QString wmClass(xcb_connection_t* c, xcb_window_t window) {
    auto cookie = xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (!reply)
        return {};
    QByteArray bytes(static_cast<const char*>(xcb_get_property_value(reply)),
                     xcb_get_property_value_length(reply));
    free(reply);
    return QString::fromLatin1(bytes.replace('\0', ' ')).trimmed();
}

// Whether a window of class `inner` sits somewhere below a window of class `outer`.
bool nestedWindowExists(const QString& display, const QString& outer, const QString& inner) {
    xcb_connection_t* c = xcb_connect(display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(c))
        return false;
    std::function<bool(xcb_window_t, bool)> walk = [&](xcb_window_t window, bool insideOuter) {
        const QString cls = wmClass(c, window);
        if (insideOuter && cls.contains(inner, Qt::CaseInsensitive))
            return true;
        insideOuter = insideOuter || cls.contains(outer, Qt::CaseInsensitive);
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
        if (!tree)
            return false;
        xcb_window_t* children = xcb_query_tree_children(tree);
        bool found = false;
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i)
            found = walk(children[i], insideOuter);
        free(tree);
        return found;
    };
    const bool found = walk(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, false);
    xcb_disconnect(c);
    return found;
}

class CorvaneLaunchTest : public ::testing::Test {
protected:
    QProcess* startCorvane(QProcess& process, const QStringList& arguments = {}) {
        process.setProcessEnvironment(corvaneEnvironment(home.path()));
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(CORVANE_BINARY, arguments);
        return &process;
    }

    QTemporaryDir home;
};

TEST_F(CorvaneLaunchTest, StartsShowsItsTrayIconHandsOverASecondLaunchAndQuitsOnSigterm) {
    desktop().startTrayHost();
    QProcess corvane;
    startCorvane(corvane);
    ASSERT_TRUE(corvane.waitForStarted(5000));

    QByteArray log;
    const QByteArray startLine = QByteArray("Corvane ") + CORVANE_VERSION + " starting (login launch: ";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            log += corvane.readAllStandardError();
            return log.contains(startLine);
        },
        10000))
        << log.constData();

    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return nestedWindowExists(desktop().displayName(), "trayer", "corvane"); }, 10000))
        << "the tray icon was not embedded in the tray host";

    QProcess second;
    startCorvane(second);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(corvane.state(), QProcess::Running);
    // A second launch's arguments stay with it, however long: it only asks for a reopen, and
    // says its arguments count only at a start
    QProcess withArguments;
    startCorvane(withArguments,
                 {QStringLiteral("-settingsTab"), QString(qsizetype(100) * 1024, QLatin1Char('x'))});
    ASSERT_TRUE(withArguments.waitForFinished(10000));
    EXPECT_EQ(withArguments.exitCode(), 0);
    EXPECT_TRUE(
        withArguments.readAllStandardError().contains("launch arguments count only when Corvane starts"));

    ::kill(static_cast<pid_t>(corvane.processId()), SIGTERM);
    ASSERT_TRUE(corvane.waitForFinished(10000));
    EXPECT_EQ(corvane.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(corvane.exitCode(), 0);
    log += corvane.readAllStandardError();
    EXPECT_TRUE(log.contains("Corvane stopped")) << log.constData();
}

// The log a started corvane writes until it contains `line`, or the bound passes.
bool waitForLog(QProcess& corvane, QByteArray& log, const QByteArray& line) {
    return QTest::qWaitFor(
        [&] {
            log += corvane.readAllStandardError();
            return log.contains(line);
        },
        10000);
}

void stop(QProcess& corvane) {
    ::kill(static_cast<pid_t>(corvane.processId()), SIGTERM);
    corvane.waitForFinished(10000);
}

TEST_F(CorvaneLaunchTest, TheFirstStartWritesALoginEntryWhoseCommandStartsALoginLaunch) {
    QProcess first;
    startCorvane(first);
    QByteArray log;
    ASSERT_TRUE(waitForLog(first, log, "(login launch: false)")) << log.constData();
    stop(first);

    QFile entry(home.path() + QStringLiteral("/config/autostart/corvane.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly)) << "no autostart entry after the first start";
    QString exec;
    for (const QByteArray& line : entry.readAll().split('\n'))
        if (line.startsWith("Exec="))
            exec = QString::fromUtf8(line.mid(5));
    const QStringList command = QProcess::splitCommand(exec);
    ASSERT_FALSE(command.isEmpty());
    EXPECT_EQ(command.first(), QFileInfo(QStringLiteral(CORVANE_BINARY)).absoluteFilePath());

    // What the desktop runs at login announces itself as a login launch
    QProcess atLogin;
    atLogin.setProcessEnvironment(corvaneEnvironment(home.path()));
    atLogin.start(command.first(), command.mid(1));
    log.clear();
    EXPECT_TRUE(waitForLog(atLogin, log, "(login launch: true)")) << log.constData();
    stop(atLogin);
}

// The workspaces saved in the home's data folder; -1 when there is no readable file.
int savedWorkspaces(const QString& home) {
    QFile file(home + QStringLiteral("/data/Corvane/workspaces.json"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return int(QJsonDocument::fromJson(file.readAll())
                   .object()
                   .value(QStringLiteral("workspaces"))
                   .toArray()
                   .size());
}

TEST_F(CorvaneLaunchTest, AHangUpEndsItWithTheLatestCopyAndWorkspaceChangeOnDisk) {
    QDir().mkpath(home.path() + QStringLiteral("/config/Corvane"));
    QFile defaults(home.path() + QStringLiteral("/config/Corvane/defaults.json"));
    ASSERT_TRUE(defaults.open(QIODevice::WriteOnly));
    defaults.write(
        R"({"clipboardRetentionDays": 1, "hasCompletedOnboarding": true, "showSettingsOnLaunch": false})");
    defaults.close();
    QProcess* logo = desktop().launch(QStringLiteral("xlogo"),
                                      {QStringLiteral("-geometry"), QStringLiteral("300x200+300+150")});
    ASSERT_TRUE(logo && desktop().waitForClientWindow(logo->processId()));

    QProcess corvane;
    startCorvane(corvane);
    QByteArray log;
    ASSERT_TRUE(waitForLog(corvane, log, "(login launch: false)")) << log.constData();
    // Saving the windows by the hot key (Alt+Shift+W) until one workspace is on disk shows that
    // the hot keys are in place.
    XTestInput typist;
    const auto saveWorkspace = [&] { typist.type({XKB_KEY_Alt_L, XKB_KEY_Shift_L, XKB_KEY_W}); };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (savedWorkspaces(home.path()) >= 1)
                return true;
            saveWorkspace();
            // A key typed before the hot keys are grabbed is lost: give each try time to land.
            QTest::qWait(300);
            return false;
        },
        30000));
    // Presses typed while Corvane was busy may save more once it gets to them: the count is taken
    // once it has held still for longer than a save waits.
    int saved = savedWorkspaces(home.path());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QTest::qWait(1000);
            const int now = savedWorkspaces(home.path());
            const bool still = now == saved;
            saved = now;
            return still;
        },
        20000));

    const QByteArray copied = "copied just before the hang-up";
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-quiet", "-i"});
    ASSERT_TRUE(xclip.waitForStarted(5000));
    xclip.write(copied);
    xclip.closeWriteChannel();
    QElapsedTimer sinceCopy;
    sinceCopy.start();
    // The times are what is under test: the copy's save waits a second and a workspace's a
    // quarter, so a hang-up 0.6 s after the copy and 0.1 s after a second workspace comes while
    // both are still pending.
    QTest::qWait(500);
    saveWorkspace();
    QTest::qWait(int(600 - sinceCopy.elapsed()));
    ::kill(static_cast<pid_t>(corvane.processId()), SIGHUP);
    ASSERT_TRUE(corvane.waitForFinished(10000));
    EXPECT_EQ(corvane.exitStatus(), QProcess::NormalExit);
    log += corvane.readAllStandardError();
    EXPECT_TRUE(log.contains("Corvane stopped")) << log.constData();
    xclip.kill();
    xclip.waitForFinished(2000);

    EXPECT_EQ(savedWorkspaces(home.path()), saved + 1);
    QFile index(home.path() + QStringLiteral("/data/Corvane/Clipboard/index.json"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_TRUE(index.readAll().contains(copied));
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
