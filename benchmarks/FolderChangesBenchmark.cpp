// A folder list following ten new files a second, in a folder of 10,000 and of 100,000 files
// sorted by name, shown as a file panel's list; beside its floor, which reads the same changes
// from inotify and looks at each changed name (fstatat) and does nothing else. Each repetition is
// two seconds of real time; "core%" is the process's CPU time over that time. The goal is under
// 1 % of a core. The new files sort before the others, so each one enters the rows shown.
#include "core/Settings.h"
#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeSystemShell.h"
#include "platform/linux/InotifyFolderWatching.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "runtime/QtScheduler.h"
#include "runtime/WorkerQueue.h"
#include "shelf/FileListActions.h"
#include "shelf/FileListView.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfListModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace corvane;

constexpr int changesPerSecond = 10;
constexpr int secondsPerRepetition = 2;

const QTemporaryDir& folderOf(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto& folder = folders[count];
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        for (int i = 0; i < count; ++i) {
            const QByteArray path =
                QFile::encodeName(folder->filePath(QStringLiteral("report-%1.txt").arg(i)));
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd >= 0)
                ::close(fd);
        }
    }
    return *folder;
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop while another process adds new files at the set pace, so that the time
// the file system takes to make them is not counted; one repetition per iteration.
const char* self = nullptr;

// The writer: `count` new files from number `first` on, at the set pace.
int writeNewFiles(const char* folder, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        char path[4096];
        std::snprintf(path, sizeof path, "%s/new-%07d.txt", folder, i);
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
        ::usleep(1000000 / changesPerSecond);
    }
    return 0;
}

void followNewFiles(benchmark::State& state, const QString& folder) {
    static int next = 0;
    wait(1000); // the first listing, and whatever it started, out of the way
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const int count = changesPerSecond * secondsPerRepetition;
        std::vector<QByteArray> paths;
        for (int i = 0; i < count; ++i)
            paths.push_back(QFile::encodeName(
                folder + QStringLiteral("/new-%1.txt").arg(next++, 7, 10, QLatin1Char('0'))));
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = cpuSeconds();
        // Started without copying this process, whose pages would then be copied on its own writes.
        const QByteArray first = QByteArray::number(next - count);
        const QByteArray many = QByteArray::number(count);
        const QByteArray where = QFile::encodeName(folder);
        char* const arguments[] = {const_cast<char*>(self),
                                   const_cast<char*>("--write-new-files"),
                                   const_cast<char*>(where.constData()),
                                   const_cast<char*>(first.constData()),
                                   const_cast<char*>(many.constData()),
                                   nullptr};
        pid_t writer = 0;
        ::posix_spawn(&writer, self, nullptr, nullptr, arguments, environ);
        wait(1000 * secondsPerRepetition);
        ::waitpid(writer, nullptr, 0);
        cpu += cpuSeconds() - cpuBefore;
        wall += double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
    state.counters["core%"] = wall > 0 ? 100 * cpu / wall : 0;
}

void BM_FolderListFollowsNewFiles(benchmark::State& state) {
    const QString folder = folderOf(static_cast<int>(state.range(0))).path();
    QtScheduler scheduler;
    ManualScheduler defaultsClock;
    NotificationCenter notifications;
    UserDefaults defaults(std::make_unique<FakeDefaultsFile>(), defaultsClock);
    Settings settings(defaults, notifications);
    settings.setShelfSort(ShelfSort::name);
    FakeSystemShell shell;
    ThreadPoolExecutor worker;
    FileShelf shelf(defaults, scheduler, std::make_unique<InotifyFolderWatching>());
    shelf.setFolders({folder});
    shelf.syncWatchers();
    ShelfListModel model(ShelfSource::folder(folder), shelf, settings, shell, scheduler, worker);
    FileListView view(model, shelf, shell, true, FileListActions{}, Qt::red);
    view.resize(320, 480);
    view.show();
    followNewFiles(state, folder);
    state.counters["listings"] = model.listingCount();
    state.counters["updates"] = model.updateCount();
}

// The floor: the same changes read from inotify, each changed name looked at once.
void BM_FolderListFollowsNewFilesFloor(benchmark::State& state) {
    const QString folder = folderOf(static_cast<int>(state.range(0))).path();
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ::inotify_add_watch(fd, QFile::encodeName(folder).constData(),
                        IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ATTRIB);
    const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        alignas(inotify_event) char buffer[16384];
        ssize_t got = 0;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                struct stat status {};
                if (event->len > 0)
                    benchmark::DoNotOptimize(::fstatat(folderFd, event->name, &status, 0));
            }
        }
    });
    followNewFiles(state, folder);
    ::close(folderFd);
    ::close(fd);
}

} // namespace

BENCHMARK(BM_FolderListFollowsNewFilesFloor)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_FolderListFollowsNewFiles)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--write-new-files") == 0)
        return writeNewFiles(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    self = argv[0];
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
