// Saving real windows as a workspace and bringing them back with the workspace's hotkey: a closed
// program is started again from its desktop entry and every window returns to its saved frame.
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"

#include "core/ToastController.h"
#include "platform/linux/GioApplicationLauncher.h"
#include "windows/AXWindowService.h"
#include "workspaces/WorkspaceManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <sys/mount.h>

namespace corvane::testing {
namespace {

constexpr int waitMs = 10000;

bool near(const QRect& a, const QRect& b, int positionSlack, int sizeSlackX, int sizeSlackY) {
    return std::abs(a.x() - b.x()) <= positionSlack && std::abs(a.y() - b.y()) <= positionSlack &&
           std::abs(a.width() - b.width()) <= sizeSlackX && std::abs(a.height() - b.height()) <= sizeSlackY;
}

class Workspaces : public ::testing::Test {
protected:
    ~Workspaces() override {
        // The logo started from its entry is no child of the desktop: end it by its pid.
        for (qint64 pid : m_extraPids)
            ::kill(static_cast<pid_t>(pid), SIGTERM);
    }

    // Installs an entry for the logo program, as a user's application would be installed.
    void installLogoEntry() {
        const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile entry(folder + QStringLiteral("/xlogo.desktop"));
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Logo\nExec=xlogo -geometry 200x150+20+20\n"
                    "StartupWMClass=XLogo\n");
    }

    ClientWindow open(const QString& program, const QStringList& arguments) {
        QProcess* process = desktop().launch(program, arguments);
        EXPECT_NE(process, nullptr);
        if (!process)
            return {};
        const auto client = desktop().waitForClientWindow(process->processId(), std::chrono::seconds(30));
        EXPECT_TRUE(client.has_value());
        if (client)
            m_processes[client->window] = process;
        return client.value_or(ClientWindow{});
    }

    QCoro::Task<bool> moveWindow(const ClientWindow& client, QRectF frame) {
        co_return co_await AXWindowService::shared().setFrame(static_cast<int32_t>(client.pid), client.window,
                                                              frame);
    }

    LiveApp app;
    std::map<xcb_window_t, QProcess*> m_processes;
    std::vector<qint64> m_extraPids;
};

TEST_F(Workspaces, RestoringByHotkeyRelaunchesAClosedProgramAndPutsEveryWindowBack) {
    // Given two terminals with different titles and a logo window, saved as a workspace
    installLogoEntry();
    const ClientWindow alpha = open(QStringLiteral("xterm"), {"-T", "alpha", "-geometry", "60x15+40+60"});
    const ClientWindow beta = open(QStringLiteral("xterm"), {"-T", "beta", "-geometry", "50x12+500+80"});
    const ClientWindow logo = open(QStringLiteral("xlogo"), {"-geometry", "260x180+300+380"});
    ASSERT_NE(alpha.window, XCB_WINDOW_NONE);
    ASSERT_NE(beta.window, XCB_WINDOW_NONE);
    ASSERT_NE(logo.window, XCB_WINDOW_NONE);
    // The window manager has framed every window where its own geometry says.
    for (const ClientWindow* client : {&alpha, &beta, &logo})
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const QRect frame = serverFrame(client->window);
                return frame.isValid() && frame == serverClientFrame(client->window);
            },
            waitMs));
    const std::map<QString, QRect> saved{{"alpha", serverFrame(alpha.window)},
                                         {"beta", serverFrame(beta.window)},
                                         {"logo", serverFrame(logo.window)}};

    app.await(app.state().saveCurrentWindows());
    WorkspaceManager& manager = app.state().workspaces();
    ASSERT_EQ(manager.workspaces().size(), 1u);
    const Workspace workspace = manager.workspaces().front();
    ASSERT_EQ(workspace.items.size(), 3u);
    ASSERT_EQ(workspace.hotkeyIndex, 1);
    EXPECT_TRUE(std::any_of(workspace.items.begin(), workspace.items.end(), [](const WorkspaceItem& item) {
        return item.bundleID == QStringLiteral("xlogo");
    }));

    // When one terminal moves elsewhere and the other is maximised, the logo program quits, and
    // the workspace is restored by its slot
    app.await(moveWindow(alpha, QRectF(400, 300, 300, 200)));
    askWindowManager(beta.window, "_NET_WM_STATE",
                     {1, desktop().atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                      desktop().atom("_NET_WM_STATE_MAXIMIZED_HORZ"), 2});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return hasState(beta.window, "_NET_WM_STATE_MAXIMIZED_HORZ"); }, waitMs));
    QProcess* logoProcess = m_processes[logo.window];
    logoProcess->terminate();
    ASSERT_TRUE(logoProcess->waitForFinished(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !isClient(logo.window); }, waitMs));
    // The product learns of the exit from the client list; until then the program still runs for it.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !app.platform().runningApplications->application(static_cast<int32_t>(logo.pid)); },
        waitMs));

    app.state().restoreSlot(1);

    // Then the logo program is started again from its entry, and every window is back at its
    // saved frame: the logo exactly, the terminals to the nearest size their hints allow
    const auto relaunched = desktop().waitForClientWindow(
        // The server may give the new window the old one's id: tell them apart by process.
        [&](const ClientWindow& c) { return c.pid != logo.pid && c.title.contains(QStringLiteral("xlogo")); },
        std::chrono::seconds(30));
    ASSERT_TRUE(relaunched.has_value()) << app.state().toast().lastMessage().toStdString();
    m_extraPids.push_back(relaunched->pid);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !manager.restoringID().has_value(); }, 30000));

    const bool logoBack = QTest::qWaitFor(
        [&] { return near(serverFrame(relaunched->window), saved.at("logo"), 1, 1, 1); }, waitMs);
    EXPECT_TRUE(logoBack) << describe(serverFrame(relaunched->window)).toStdString() << " expected "
                          << describe(saved.at("logo")).toStdString();
    for (const auto& [name, client] :
         {std::pair{QStringLiteral("alpha"), alpha}, std::pair{QStringLiteral("beta"), beta}}) {
        // One character cell is the largest step an xterm's size hints allow.
        const bool back = QTest::qWaitFor(
            [&] { return near(serverFrame(client.window), saved.at(name), 1, 10, 20); }, waitMs);
        EXPECT_TRUE(back) << name.toStdString() << ": " << describe(serverFrame(client.window)).toStdString()
                          << " expected " << describe(saved.at(name)).toStdString();
    }
    EXPECT_EQ(app.state().toast().lastMessage(),
              QStringLiteral("\u201c") + workspace.name + QStringLiteral("\u201d \u2014 3 windows"));
}

TEST_F(Workspaces, HidingOtherProgramsMinimisesTheirWindowsAndShowingThemRestoresExactlyThose) {
    // Given a workspace of one terminal, and a logo program that is not part of it
    const ClientWindow term = open(QStringLiteral("xterm"), {"-T", "kept", "-geometry", "60x15+40+60"});
    ASSERT_NE(term.window, XCB_WINDOW_NONE);
    app.await(app.state().saveCurrentWindows());
    ASSERT_EQ(app.state().workspaces().workspaces().size(), 1u);
    const ClientWindow shown = open(QStringLiteral("xlogo"), {"-geometry", "200x150+400+300"});
    ASSERT_NE(shown.window, XCB_WINDOW_NONE);
    app.settings().setHideOthersOnRestore(true);

    // When the workspace is restored with hiding on
    app.state().restoreSlot(1);

    // Then the other program's window is minimised and the program counts as hidden, the
    // workspace's terminal stays shown; showing the program again restores its window
    const auto logoPid = static_cast<int32_t>(shown.pid);
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasState(shown.window, "_NET_WM_STATE_HIDDEN"); }, waitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app.state().workspaces().restoringID().has_value(); }, 30000));
    EXPECT_FALSE(hasState(term.window, "_NET_WM_STATE_HIDDEN"));
    const auto hidden = app.platform().runningApplications->application(logoPid);
    ASSERT_TRUE(hidden.has_value());
    EXPECT_TRUE(hidden->isHidden);

    app.platform().runningApplications->unhide(logoPid);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hasState(shown.window, "_NET_WM_STATE_HIDDEN"); }, waitMs));
    EXPECT_FALSE(app.platform().runningApplications->application(logoPid)->isHidden);

    // And shown again in the moment the window manager has marked the window hidden but not yet
    // unmapped it (the manager held between the two), the window still comes back
    ASSERT_TRUE(waitUntilFramed(shown.window, waitMs));
    desktop().pauseWindowManager(true);
    auto resume = qScopeGuard([] { desktop().pauseWindowManager(false); });
    app.platform().runningApplications->hide(logoPid);
    const xcb_atom_t hiddenState = desktop().atom("_NET_WM_STATE_HIDDEN");
    xcb_change_property(desktop().connection(), XCB_PROP_MODE_REPLACE, shown.window,
                        desktop().atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &hiddenState);
    xcb_flush(desktop().connection());
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasState(shown.window, "_NET_WM_STATE_HIDDEN"); }, waitMs));
    app.platform().runningApplications->unhide(logoPid);
    resume.dismiss();
    desktop().pauseWindowManager(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hasState(shown.window, "_NET_WM_STATE_HIDDEN"); }, waitMs));
    EXPECT_TRUE(waitUntilFramed(shown.window, waitMs));

    // And shown again before the window manager came to hiding it at all, it comes back too
    desktop().pauseWindowManager(true);
    auto resumeAgain = qScopeGuard([] { desktop().pauseWindowManager(false); });
    app.platform().runningApplications->hide(logoPid);
    app.platform().runningApplications->unhide(logoPid);
    resumeAgain.dismiss();
    desktop().pauseWindowManager(false);
    // (it minimises the window first)
    ASSERT_TRUE(desktop().windowManagerCaughtUp());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hasState(shown.window, "_NET_WM_STATE_HIDDEN"); }, waitMs));
    EXPECT_TRUE(waitUntilFramed(shown.window, waitMs));
}

TEST(WorkspaceSaving, OnAFullDiskTheFailureIsToldAndTheWorkspaceLandsWhenSpaceReturns) {
    // Given the data folder on a file system of 1 MB, filled up
    LiveApp app;
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    ASSERT_TRUE(QDir().mkpath(data));
    if (::mount("tmpfs", QFile::encodeName(data).constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "a file system of 1 MB needs mount (root): " << std::strerror(errno);
    const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(data).constData(), MNT_DETACH); });
    QFile filler(data + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(64 * 1024, 'x')) > 0 && filler.flush()) {
    }
    filler.close();

    // When a workspace is saved: no "Saved", the failure and its reason
    WindowInfo window;
    window.windowID = 1;
    window.bundleID = QStringLiteral("org.example.Editor");
    window.appName = QStringLiteral("Editor");
    window.frame = QRectF(40, 40, 400, 300);
    app.state().saveWorkspace({window});
    const QString told = app.state().toast().lastMessage();
    EXPECT_TRUE(told.startsWith(QStringLiteral("Could not save \u201CEditor\u201D: "))) << qPrintable(told);
    EXPECT_TRUE(told.contains(QStringLiteral("No space left on device"))) << qPrintable(told);

    // Then once space returns, the workspace is on disk within the retry interval, unasked
    QFile::remove(filler.fileName());
    const int retryMs = int(WorkspaceManager::retryInterval.count() * 1000);
    EXPECT_TRUE(
        QTest::qWaitFor([] { return QFile::exists(WorkspaceStore::defaultFileURL()); }, retryMs + 2000));
    EXPECT_EQ(WorkspaceStore(WorkspaceStore::defaultFileURL()).load().workspaces.size(), 1u);
}

TEST_F(Workspaces, AProgramWithoutADesktopEntryIsStartedAgainFromItsExecutable) {
    // Given a clock, which no desktop entry names, saved as a workspace
    const ClientWindow clock = open(QStringLiteral("xclock"), {"-geometry", "160x160+420+200"});
    ASSERT_NE(clock.window, XCB_WINDOW_NONE);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QRect frame = serverFrame(clock.window);
            return frame.isValid() && frame == serverClientFrame(clock.window);
        },
        waitMs));
    const QRect saved = serverFrame(clock.window);
    app.await(app.state().saveCurrentWindows());
    WorkspaceManager& manager = app.state().workspaces();
    ASSERT_FALSE(manager.workspaces().empty());
    const Workspace workspace = manager.workspaces().back();
    const auto item =
        std::find_if(workspace.items.begin(), workspace.items.end(),
                     [](const WorkspaceItem& i) { return i.appPath == QStringLiteral("/usr/bin/xclock"); });
    ASSERT_NE(item, workspace.items.end()) << "the clock was saved without its program";
    EXPECT_FALSE(item->launchArgs.has_value());

    // When the clock quits and the workspace is restored
    QProcess* process = m_processes[clock.window];
    process->terminate();
    ASSERT_TRUE(process->waitForFinished(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !isClient(clock.window); }, waitMs));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !app.platform().runningApplications->application(static_cast<int32_t>(clock.pid)); },
        waitMs));
    app.state().restoreWorkspace(workspace);

    // Then /usr/bin/xclock runs again and its window is put back where it was
    const auto relaunched = desktop().waitForClientWindow(
        [&](const ClientWindow& c) {
            return c.pid != clock.pid && c.title.contains(QStringLiteral("xclock"));
        },
        std::chrono::seconds(30));
    ASSERT_TRUE(relaunched.has_value()) << app.state().toast().lastMessage().toStdString();
    m_extraPids.push_back(relaunched->pid);
    EXPECT_EQ(QFileInfo(QStringLiteral("/proc/%1/exe").arg(relaunched->pid)).symLinkTarget(),
              QStringLiteral("/usr/bin/xclock"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !manager.restoringID().has_value(); }, 30000));
    const bool back =
        QTest::qWaitFor([&] { return near(serverFrame(relaunched->window), saved, 1, 1, 1); }, waitMs);
    EXPECT_TRUE(back) << describe(serverFrame(relaunched->window)).toStdString() << " expected "
                      << describe(saved).toStdString();
}

TEST_F(Workspaces, AWindowsProgramIsTheOneItsCommandNamesElseItsProcesssExecutable) {
    // Two windows of this process, which runs neither program they name: one names the shell as
    // the command that starts it again, the other names none
    xcb_connection_t* c = desktop().connection();
    const auto window = [&](const QByteArray& command) {
        const xcb_window_t made = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, made, desktop().rootWindow(), 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (!command.isEmpty())
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, made, XCB_ATOM_WM_COMMAND, XCB_ATOM_STRING, 8,
                                static_cast<uint32_t>(command.size()), command.constData());
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        return made;
    };
    const xcb_window_t restartable = window(QByteArrayLiteral("sh\0-c\0true\0"));
    const xcb_window_t plain = window({});
    const auto pid = static_cast<int32_t>(QCoreApplication::applicationPid());
    ApplicationLauncher& launcher = *app.platform().launcher;

    EXPECT_EQ(launcher.programOfWindow(restartable, pid),
              QStandardPaths::findExecutable(QStringLiteral("sh")));
    EXPECT_EQ(launcher.programOfWindow(plain, pid),
              QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    xcb_destroy_window(c, restartable);
    xcb_destroy_window(c, plain);
    xcb_flush(c);
}

TEST(DesktopEntries, ArgumentsFollowTheEntrysWholeCommandWithoutItsFieldCodes) {
    EXPECT_EQ(GioApplicationLauncher::withoutFieldCodes(
                  QStringLiteral("flatpak run org.x.Y --file-forwarding %U @@")),
              QStringLiteral("flatpak run org.x.Y --file-forwarding  @@"));
    EXPECT_EQ(GioApplicationLauncher::withoutFieldCodes(QStringLiteral("app %i --rate=100%% %f")),
              QStringLiteral("app  --rate=100%%"));

    // Given an entry whose command has words before its field code
    QTemporaryDir directory;
    const QString out = directory.filePath(QStringLiteral("out"));
    const QString entry = directory.filePath(QStringLiteral("echo.desktop"));
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nType=Application\nName=Echo\nExec=sh -c 'echo \"$0 $*\" > " + out.toUtf8() +
               "' first %U\n");
    file.close();

    // When it is launched with arguments, the whole command runs with the arguments after it
    GioApplicationLauncher launcher(nullptr);
    const ApplicationLauncher::Outcome outcome =
        launcher.launch(entry, {}, {QStringLiteral("--new"), QStringLiteral("50%")});
    ASSERT_TRUE(outcome.pid) << outcome.error.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(out).size() > 0; }, 5000));
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().trimmed(), QByteArray("first --new 50%"));
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
