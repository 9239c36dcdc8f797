#pragma once

// Shared by the FCPXML benchmarks: each iteration is one run in a process of its own
// (OwnProcess.h), the fastest run of every measurement is kept, and the summaries compare them.

#include "OwnProcess.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <string>

namespace velotrack::bench {

// The fastest run of each measurement, in CPU seconds, by "<name>/<clip count>".
inline std::map<std::string, double>& fastestRuns() {
    static std::map<std::string, double> runs;
    return runs;
}

// 0 when the measurement did not run (filtered out).
inline double fastestRun(const std::string& name, int clips) {
    const auto found = fastestRuns().find(name + "/" + std::to_string(clips));
    return found == fastestRuns().end() ? 0.0 : found->second;
}

// Register the benchmark with UseManualTime(): each iteration reports its own run's CPU time.
template <class Work>
void measureRuns(benchmark::State& state, const std::string& name, const std::string& xml,
                 Work work) {
    double best = std::numeric_limits<double>::max();
    for (auto _ : state) {
        const double seconds = cpuSecondsInOwnProcess([&] { benchmark::DoNotOptimize(work(xml)); });
        state.SetIterationTime(seconds);
        best = std::min(best, seconds);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
    auto& recorded = fastestRuns()[name + "/" + std::to_string(state.range(0))];
    recorded = recorded == 0 ? best : std::min(recorded, best);
}

inline double ratio(double numerator, double denominator) {
    return denominator > 0 ? numerator / denominator : 0.0;
}

// One line per size with the load/expat ratio, then the 50k/25k ratio, against their targets.
inline void printScaling(const std::string& load, const std::string& expat) {
    for (const int clips : {25000, 50000}) {
        const double loadSeconds = fastestRun(load, clips);
        const double expatSeconds = fastestRun(expat, clips);
        std::printf("%6d clips: expat %.1f ms, load+flatten %.1f ms, load/expat %.2fx "
                    "(target <= 4, aim 3)\n",
                    clips, expatSeconds * 1e3, loadSeconds * 1e3, ratio(loadSeconds, expatSeconds));
    }
    std::printf("load 50k/25k: %.2f (target <= 2.2)\n",
                ratio(fastestRun(load, 50000), fastestRun(load, 25000)));
}

} // namespace velotrack::bench
