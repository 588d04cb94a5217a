// The clipboard history's main-thread costs with 200 entries, against a budget of 1 ms each: one
// capture cycle (poll, read, compare with every entry, insert, schedule the save) and the strip's
// search over the whole history. On the fake platform and virtual time: no desktop needed.
#include "FilledClipboardHistory.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelModel.h"
#include "core/Settings.h"
#include "platform/fake/FakePlatform.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace corvane;

namespace {

constexpr int entries = 200;
constexpr double budgetMs = 1.0;

struct Fixture {
    Fixture() : platform(scheduler), settings(*platform.defaults, notifications) {
        settings.setClipboardLimit(entries);
        settings.setClipboardRetentionDays(1);
        history = filledClipboardHistory(settings, scheduler, saves, platform, home.path(), entries);
    }
    QTemporaryDir home;
    ManualScheduler scheduler;
    ManualExecutor saves;
    NotificationCenter notifications;
    FakePlatform platform;
    Settings settings;
    std::unique_ptr<ClipboardHistory> history;
};

void reportBudget(benchmark::State& state) {
    state.counters["budget_ms"] = budgetMs;
}

void BM_CaptureCycleWith200Entries(benchmark::State& state) {
    Fixture fixture;
    int copy = 0;
    for (auto _ : state) {
        fixture.platform.fakePasteboard->copyText(QStringLiteral("a new copy %1").arg(++copy));
        fixture.history->capture();
        benchmark::DoNotOptimize(fixture.history->items().size());
    }
    reportBudget(state);
}
BENCHMARK(BM_CaptureCycleWith200Entries)->Unit(benchmark::kMicrosecond);

void BM_StripSearchOver200Entries(benchmark::State& state) {
    Fixture fixture;
    ClipboardPanelModel model;
    model.setSearchText(QStringLiteral("NUMBER 1"));
    for (auto _ : state)
        benchmark::DoNotOptimize(filteredClips(fixture.history->items(), model));
    reportBudget(state);
}
BENCHMARK(BM_StripSearchOver200Entries)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
