// Loading a generated project in which a third of the clips sit inside compound, multicam and
// sync clips, next to a raw expat pass over the same bytes, at 25 000 and 50 000 clips. Every
// run is measured in a process of its own (see OwnProcess.h); the summary compares the sizes
// (loading must stay linear) and loading with the expat pass.
//
//   build-release/bench/fcpxml_containers_bench

#include "ContainersProject.h"
#include "ExpatPass.h"
#include "FastestRuns.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <cstdio>
#include <kvnfcpx/FCPXMLDescription.h>
#include <map>
#include <stdexcept>
#include <string>

namespace {

using velotrack::bench::generatedProject;

const std::string& projectOf(std::size_t clipCount) {
    static std::map<std::size_t, std::string> projects;
    auto [entry, isNew] = projects.try_emplace(clipCount);
    if (isNew) {
        entry->second = generatedProject(clipCount);
    }
    return entry->second;
}

// The clip count, checked: a project that did not flatten completely would measure nothing.
std::size_t loadProject(const std::string& xml, std::size_t clipCount) {
    const auto description = kvnfcpx::FCPXMLDescription::fromText(xml);
    const auto& content = description.project->sequence->content;
    if (!content || content->assetClips.size() != clipCount) {
        throw std::runtime_error("the generated project did not flatten into its clips");
    }
    return content->assetClips.size();
}

void loadProjectWithContainers(benchmark::State& state) {
    const auto clipCount = static_cast<std::size_t>(state.range(0));
    velotrack::bench::measureRuns(
        state, "load", projectOf(clipCount),
        [clipCount](const std::string& xml) { return loadProject(xml, clipCount); });
}

void rawExpatPass(benchmark::State& state) {
    velotrack::bench::measureRuns(state, "expat",
                                  projectOf(static_cast<std::size_t>(state.range(0))),
                                  velotrack::bench::expatEventPass);
}

void summary(benchmark::State& state) {
    for (auto _ : state) {
        std::printf("\n---- Loading with containers (fastest runs, CPU time, each in a process "
                    "of its own) ----\n");
        velotrack::bench::printScaling("load", "expat");
        std::printf("\n");
    }
}

} // namespace

BENCHMARK(rawExpatPass)
    ->Arg(25'000)
    ->Arg(50'000)
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(loadProjectWithContainers)
    ->Arg(25'000)
    ->Arg(50'000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(summary)->Iterations(1)->Unit(benchmark::kMillisecond);
