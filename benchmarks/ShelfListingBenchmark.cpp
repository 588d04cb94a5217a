// Listing a pinned folder of 5,000 and of 50,000 files (the list keeps its first 300), by date and
// by name, each beside its floor in the same run: the folder read with readdir, a partial sort
// that keeps the first 300 by the same order, and the facts (fstatat) of every entry by date,
// of only the kept 300 by name, nothing else. The goal is within 1.5 times the floor. Then filtering a
// listing by a query.
#include "PairedRuns.h"

#include "core/Settings.h"
#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeSystemShell.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "shelf/FileShelf.h"
#include "shelf/NaturalNameComparer.h"
#include "shelf/ShelfListModel.h"
#include "shelf/ShelfListing.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace corvane;
using namespace corvane::benchmarks;

// One folder per size for every run of the process: made once, removed at exit. Many files share
// a date, as after a copy or an unpacked archive.
const QTemporaryDir& folderOf(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto& folder = folders[count];
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        for (int i = 0; i < count; ++i) {
            const QByteArray path =
                QFile::encodeName(folder->filePath(QStringLiteral("report-%1.txt").arg(i)));
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd < 0)
                continue;
            const timespec stamp{1700000000 + (i % 97) * 60, 0};
            const timespec times[2] = {stamp, stamp};
            ::futimens(fd, times);
            ::close(fd);
        }
    }
    return *folder;
}

struct Entry {
    std::size_t position;
    std::string name;
    QString shown;
    struct stat status;
};

// The least any listing must do: read the folder, keep the first 300, describe what it needs: by
// date every entry's facts decide the order, by name only the kept ones are shown.
std::size_t floorListing(const QString& path, ShelfSort sort) {
    DIR* folder = ::opendir(QFile::encodeName(path).constData());
    if (!folder)
        return 0;
    std::vector<Entry> entries;
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] == '.')
            continue;
        entries.push_back(Entry{entries.size(), entry->d_name, {}, {}});
        if (sort == ShelfSort::name)
            entries.back().shown = QFile::decodeName(entries.back().name.c_str());
        else
            ::fstatat(::dirfd(folder), entry->d_name, &entries.back().status, 0);
    }
    const auto kept =
        entries.begin() + static_cast<std::ptrdiff_t>(std::min(folderListLimit, entries.size()));
    if (sort == ShelfSort::newest) {
        std::partial_sort(entries.begin(), kept, entries.end(), [](const Entry& a, const Entry& b) {
            if (a.status.st_mtim.tv_sec != b.status.st_mtim.tv_sec)
                return a.status.st_mtim.tv_sec > b.status.st_mtim.tv_sec;
            return a.position < b.position;
        });
    } else {
        const NaturalNameComparer comparer;
        std::partial_sort(entries.begin(), kept, entries.end(), [&](const Entry& a, const Entry& b) {
            const int order = comparer.compare(a.shown, b.shown);
            return order != 0 ? order < 0 : a.position < b.position;
        });
        for (auto it = entries.begin(); it != kept; ++it)
            ::fstatat(::dirfd(folder), it->name.c_str(), &it->status, 0);
    }
    ::closedir(folder);
    return static_cast<std::size_t>(kept - entries.begin());
}

void BM_ListFolder(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const ShelfSort sort = state.range(1) == 0 ? ShelfSort::name : ShelfSort::newest;
    const QString path = folderOf(count).path();
    const int runs = count > 10000 ? 7 : 21;
    PairedMedians medians;
    for (auto _ : state) {
        medians = timePaired(
            runs, [&] { benchmark::DoNotOptimize(listFolder(path, sort)); },
            [&] { benchmark::DoNotOptimize(floorListing(path, sort)); });
    }
    reportPaired(state, medians);
    state.SetLabel(sort == ShelfSort::name ? "name" : "newest");
}
BENCHMARK(BM_ListFolder)
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->Args({50000, 0})
    ->Args({50000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

struct Shelf {
    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults{std::make_unique<FakeDefaultsFile>(), scheduler};
    Settings settings{defaults, notifications};
    FakeSystemShell shell;
    ManualExecutor worker;
    FileShelf shelf{defaults};
};

void BM_FilterTheListing(benchmark::State& state) {
    const QString path = folderOf(5000).path();
    Shelf shelf;
    shelf.settings.setShelfSort(ShelfSort::name);
    ShelfListModel model(ShelfSource::folder(path), shelf.shelf, shelf.settings, shelf.shell, shelf.scheduler,
                         shelf.worker);
    int i = 0;
    for (auto _ : state) {
        model.setQuery(i++ % 2 ? QStringLiteral("REPORT-1") : QStringLiteral("4"));
        benchmark::DoNotOptimize(model.files());
    }
}
BENCHMARK(BM_FilterTheListing)->Unit(benchmark::kMicrosecond);

} // namespace
