// Corvane's entry: one instance per user, the real platform, the composition root, the event loop.
#include "app/AppDelegate.h"
#include "app/AppState.h"
#include "app/ApplicationIdentity.h"
#include "app/MenuBarExtra.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "core/EventTapThread.h"
#include "core/PermissionManager.h"
#include "core/QtAnimator.h"
#include "core/Settings.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/LinuxSystemShell.h"
#include "runtime/Log.h"
#include "runtime/QtScheduler.h"
#include "runtime/WorkerQueue.h"
#include "windows/AXWindowService.h"

#include <QApplication>
#include <QScopeGuard>
#include <QThreadPool>
#include <QTimer>

using namespace corvane;

int main(int argc, char** argv) {
    // Before any thread reads the environment.
    LinuxSystemShell::setAsideVirtualDesktopMark();
    Log::installMessagePattern();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    setApplicationIdentity();
    // Closing the settings or onboarding window never ends the process.
    QApplication::setQuitOnLastWindowClosed(false);

    QtScheduler scheduler;
    SingleInstance instance(scheduler);
    if (!instance.becomePrimary()) {
        if (!instance.refusal().isEmpty()) {
            qCCritical(lcApp,
                       "Corvane cannot start: %s. Remove it, or set XDG_RUNTIME_DIR to a private folder.",
                       qUtf8Printable(instance.refusal()));
            return 1;
        }
        // Another Corvane runs for this user: it brings its settings window forward, as it was.
        const HandOver handOver = QCoro::waitFor(instance.sendReopen(scheduler));
        switch (handOver.outcome) {
        case HandOver::Outcome::accepted:
            if (QApplication::arguments().size() > 1)
                qCInfo(lcApp, "Corvane is already running: its settings window comes forward as it "
                              "was; launch arguments count only when Corvane starts");
            return 0;
        case HandOver::Outcome::refused:
            qCCritical(lcApp, "Corvane is already running and refused this launch: %s",
                       qUtf8Printable(handOver.reason));
            return 1;
        case HandOver::Outcome::unanswered:
            qCCritical(lcApp, "Corvane is already running but did not answer within %d seconds",
                       SingleInstance::answerSeconds);
            return 1;
        }
        return 1;
    }

    NotificationCenter notifications;
    ThreadPoolExecutor background;
    QtAnimator animator;
    SerialWorkerQueue pictures(QStringLiteral("clipboard-pics"));
    Runtime runtime{scheduler, notifications, background, animator, &pictures};

    auto platform = makeLinuxPlatform(scheduler, QApplication::arguments());
    // Work still running on the shared pool (window-list reads, listings) uses the platform: at
    // quit it finishes before the platform goes.
    const auto poolDrained = qScopeGuard([] { QThreadPool::globalInstance()->waitForDone(); });
    PermissionManager::setProbeForFirstRead(platform->permissions.get());
    Settings settings(*platform->defaults, notifications);
    Settings::setShared(&settings);
    SerialWorkerQueue axQueue(QStringLiteral("corvane.ax"));
    AXWindowService ax(*platform->accessibility, axQueue, scheduler,
                       static_cast<int32_t>(QCoreApplication::applicationPid()));
    AXWindowService::setShared(&ax);

    EventTapThread eventTaps(platform->makeKeyTaps);
    EventTapThread::setShared(&eventTaps);

    AppState state(*platform, runtime);
    AppDelegate delegate(state);
    MenuBarExtra menuBarExtra(state);

    QObject::connect(&instance, &SingleInstance::reopenRequested,
                     [&] { delegate.applicationShouldHandleReopen(); });
    TerminationSignals signals;
    QObject::connect(&signals, &TerminationSignals::terminationRequested, &app,
                     [](int) { QApplication::quit(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&] { delegate.applicationWillTerminate(); });
    TerminationSignals::setExitFlush([&] { delegate.applicationLostDisplay(); });
    QTimer::singleShot(0, &app, [&] { delegate.applicationDidFinishLaunching(); });

    const int status = QApplication::exec();
    TerminationSignals::setExitFlush(nullptr);
    qCInfo(lcApp, "Corvane stopped");

    AXWindowService::setShared(nullptr);
    EventTapThread::setShared(nullptr);
    Settings::setShared(nullptr);
    return status;
}
