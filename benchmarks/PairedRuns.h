#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace corvane::benchmarks {

// The medians of a subject and of its floor, timed in turn in the same run, in milliseconds.
struct PairedMedians {
    double subject = 0;
    double floor = 0;
};

inline double medianOf(std::vector<double> samples) {
    if (samples.empty())
        return 0;
    const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

// Times `subject` and `floor` one after the other, `runs` times each, so that whatever else the
// machine does weighs on both alike.
inline PairedMedians timePaired(int runs, const std::function<void()>& subject,
                                const std::function<void()>& floor) {
    using Clock = std::chrono::steady_clock;
    const auto time = [](const std::function<void()>& run) {
        const Clock::time_point start = Clock::now();
        run();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::vector<double> subjects, floors;
    // The order alternates, so that neither always runs on caches (or a CPU clock) the other warmed.
    for (int i = 0; i < runs; ++i) {
        if (i % 2 == 0) {
            subjects.push_back(time(subject));
            floors.push_back(time(floor));
        } else {
            floors.push_back(time(floor));
            subjects.push_back(time(subject));
        }
    }
    return {medianOf(subjects), medianOf(floors)};
}

// Reports both medians and how far above its floor the subject is.
inline void reportPaired(benchmark::State& state, const PairedMedians& medians) {
    state.counters["median_ms"] = medians.subject;
    state.counters["floor_median_ms"] = medians.floor;
    state.counters["ratio"] = medians.floor > 0 ? medians.subject / medians.floor : 0;
}

} // namespace corvane::benchmarks
