// Listing a pinned folder of 5,000 and of 50,000 files (the list keeps its first 300), by date and
// by name, each beside its floor in the same run: the folder read with readdir, a partial sort of
// small records that keeps the first 300 by the same order (by name, a natural order of its own
// over the bytes), and the facts (fstatat) of every entry by date, of only the kept 300 by name,
// nothing else. The goal is within 1.5 times the floor. Then filtering a listing by a query.
#include "PairedRuns.h"

#include "core/Settings.h"
#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeSystemShell.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfListModel.h"
#include "shelf/ShelfListing.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <string>
#include <string_view>
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

// The order a sort by name must give, at the least: runs of digits by their value, the rest byte by
// byte without regard to ASCII case (the folder's names are ASCII: the order is the subject's).
int naturalCompare(std::string_view a, std::string_view b) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            while (i < a.size() && a[i] == '0')
                ++i;
            while (j < b.size() && b[j] == '0')
                ++j;
            std::size_t ei = i, ej = j;
            while (ei < a.size() && digit(a[ei]))
                ++ei;
            while (ej < b.size() && digit(b[ej]))
                ++ej;
            if (ei - i != ej - j)
                return ei - i < ej - j ? -1 : 1;
            if (const int order = a.substr(i, ei - i).compare(b.substr(j, ej - j)); order != 0)
                return order;
            i = ei;
            j = ej;
            continue;
        }
        if (lower(a[i]) != lower(b[j]))
            return lower(a[i]) < lower(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    return (i < a.size()) - (j < b.size());
}

// One entry as the floor's sort moves it: its name lives in a buffer of all the names.
struct Entry {
    std::uint32_t position;
    std::uint32_t offset;
    std::uint32_t length;
    std::int64_t modified; // by date only
};

// The least any listing must do: read the folder, keep the first 300, describe what it needs: by
// date every entry's facts decide the order, by name only the kept ones are shown. Nothing is
// converted or copied that the order does not need.
// `keptNames`, when given, receives the kept names in order.
std::size_t floorListing(const QString& path, ShelfSort sort, QStringList* keptNames = nullptr) {
    DIR* folder = ::opendir(QFile::encodeName(path).constData());
    if (!folder)
        return 0;
    std::string names;
    std::vector<Entry> entries;
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::size_t length = std::strlen(entry->d_name);
        Entry kept{std::uint32_t(entries.size()), std::uint32_t(names.size()), std::uint32_t(length), 0};
        names.append(entry->d_name, length);
        if (sort == ShelfSort::newest) {
            struct stat status;
            if (::fstatat(::dirfd(folder), entry->d_name, &status, 0) == 0)
                kept.modified = status.st_mtim.tv_sec;
        }
        entries.push_back(kept);
    }
    const auto nameOf = [&](const Entry& e) { return std::string_view(names).substr(e.offset, e.length); };
    const auto kept =
        entries.begin() + static_cast<std::ptrdiff_t>(std::min(folderListLimit, entries.size()));
    if (sort == ShelfSort::newest) {
        std::partial_sort(entries.begin(), kept, entries.end(), [](const Entry& a, const Entry& b) {
            if (a.modified != b.modified)
                return a.modified > b.modified;
            return a.position < b.position;
        });
    } else {
        std::partial_sort(entries.begin(), kept, entries.end(), [&](const Entry& a, const Entry& b) {
            const int order = naturalCompare(nameOf(a), nameOf(b));
            return order != 0 ? order < 0 : a.position < b.position;
        });
        for (auto it = entries.begin(); it != kept; ++it) {
            struct stat status;
            ::fstatat(::dirfd(folder), std::string(nameOf(*it)).c_str(), &status, 0);
        }
    }
    ::closedir(folder);
    for (auto it = entries.begin(); keptNames && it != kept; ++it)
        keptNames->append(QString::fromUtf8(nameOf(*it)));
    return static_cast<std::size_t>(kept - entries.begin());
}

void BM_ListFolder(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const ShelfSort sort = state.range(1) == 0 ? ShelfSort::name : ShelfSort::newest;
    const QString path = folderOf(count).path();
    const int runs = count > 10000 ? 7 : 21;
    // The floor keeps what the listing keeps, in its order, or it is no floor of it.
    QStringList floorNames, listedNames;
    floorListing(path, sort, &floorNames);
    for (const ShelfFile& file : listFolder(path, sort))
        listedNames.append(file.name);
    if (floorNames != listedNames)
        return state.SkipWithError("the floor keeps other files than the listing");
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
    FileShelf shelf{defaults, scheduler};
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
