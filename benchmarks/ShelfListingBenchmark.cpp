// Listing a pinned folder of 5,000 files (the list shows its first 300), sorted by name and by
// date, and filtering the listing by a query. The listing's budget is 50 ms.
#include "core/Settings.h"
#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeSystemShell.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfListModel.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace corvane;

constexpr double budgetMs = 50.0;

// One folder for every run of the process: made once, removed at exit.
const QTemporaryDir& fiveThousandFiles() {
    static QTemporaryDir folder;
    static const bool made = [] {
        for (int i = 0; i < 5000; ++i) {
            QFile file(folder.filePath(QStringLiteral("report-%1.txt").arg(i)));
            if (!file.open(QIODevice::WriteOnly))
                return false;
        }
        return true;
    }();
    Q_UNUSED(made);
    return folder;
}

struct Shelf {
    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults{std::make_unique<FakeDefaultsFile>(), scheduler};
    Settings settings{defaults, notifications};
    FakeSystemShell shell;
    FileShelf shelf{defaults};
};

void report(benchmark::State& state) {
    state.counters["budget_ms"] = budgetMs;
}

void BM_ListFiveThousandFiles(benchmark::State& state) {
    const QString path = fiveThousandFiles().path();
    Shelf shelf;
    const auto sort = state.range(0) == 0 ? ShelfSort::name : ShelfSort::newest;
    for (auto _ : state) {
        auto files = shelf.shelf.folderFiles(path, sort);
        benchmark::DoNotOptimize(files);
    }
    report(state);
}
BENCHMARK(BM_ListFiveThousandFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FilterTheListing(benchmark::State& state) {
    const QString path = fiveThousandFiles().path();
    Shelf shelf;
    shelf.settings.setShelfSort(ShelfSort::name);
    ShelfListModel model(ShelfSource::folder(path), shelf.shelf, shelf.settings, shelf.shell);
    int i = 0;
    for (auto _ : state) {
        model.setQuery(i++ % 2 ? QStringLiteral("REPORT-1") : QStringLiteral("4"));
        benchmark::DoNotOptimize(model.files());
    }
}
BENCHMARK(BM_FilterTheListing)->Unit(benchmark::kMicrosecond);

} // namespace
