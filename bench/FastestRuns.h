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
#include <utility>

namespace velotrack::bench {

// The fastest run of each measurement, in CPU seconds, by "<name>/<clip count>".
inline std::map<std::string, double>& fastestRuns() {
    static std::map<std::string, double> runs;
    return runs;
}

// The key of a measurement: "<name>/<clip count>". Appended piece by piece: GCC 12 at -O3
// reports a false -Wrestrict on chained std::string additions.
inline std::string runKey(std::string name, std::int64_t clips) {
    name.append("/").append(std::to_string(clips));
    return name;
}

// 0 when the measurement did not run (filtered out).
inline double fastestRun(const std::string& name, int clips) {
    const auto found = fastestRuns().find(runKey(name, clips));
    return found == fastestRuns().end() ? 0.0 : found->second;
}

// The name under which first runs (in a process that has loaded nothing before) are kept.
inline std::string firstRun(std::string name) {
    name.append(" (first run)");
    return name;
}

// Register the benchmark with UseManualTime(): each iteration reports its process's second run;
// the fastest first and second runs are both kept.
template <class Work>
void measureRuns(benchmark::State& state, const std::string& name, const std::string& xml,
                 Work work) {
    RunTimes best{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    for (auto _ : state) {
        const RunTimes times = cpuSecondsInOwnProcess([&] { benchmark::DoNotOptimize(work(xml)); });
        state.SetIterationTime(times.second);
        best.first = std::min(best.first, times.first);
        best.second = std::min(best.second, times.second);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(xml.size()));
    for (const auto& [key, seconds] :
         {std::pair{runKey(name, state.range(0)), best.second},
          std::pair{runKey(firstRun(name), state.range(0)), best.first}}) {
        auto& recorded = fastestRuns()[key];
        recorded = recorded == 0 ? seconds : std::min(recorded, seconds);
    }
}

inline double ratio(double numerator, double denominator) {
    return denominator > 0 ? numerator / denominator : 0.0;
}

// For first and for second runs: one line per size with the load/expat ratio, then the
// 50k/25k ratio, against their targets.
inline void printScaling(const std::string& load, const std::string& expat) {
    for (const bool first : {true, false}) {
        const std::string loadName = first ? firstRun(load) : load;
        const std::string expatName = first ? firstRun(expat) : expat;
        std::printf("%s runs:\n", first ? "First" : "Second");
        for (const int clips : {25000, 50000}) {
            const double loadSeconds = fastestRun(loadName, clips);
            const double expatSeconds = fastestRun(expatName, clips);
            std::printf("  %6d clips: expat %.1f ms, load+flatten %.1f ms, load/expat %.2fx "
                        "(target <= 4, aim 3)\n",
                        clips, expatSeconds * 1e3, loadSeconds * 1e3,
                        ratio(loadSeconds, expatSeconds));
        }
        std::printf("  load 50k/25k: %.2f (target <= 2.2)\n",
                    ratio(fastestRun(loadName, 50000), fastestRun(loadName, 25000)));
    }
}

} // namespace velotrack::bench
