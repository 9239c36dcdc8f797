// Loading a generated project in which a third of the clips sit inside compound, multicam and
// sync clips, next to a raw expat pass over the same bytes, at 25 000 and 50 000 clips. Every
// run is measured in a process of its own (see OwnProcess.h); the summary compares the sizes
// (loading must stay linear) and loading with the expat pass.
//
//   build-release/bench/fcpxml_containers_bench

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

std::string seconds(std::size_t value) {
    return std::to_string(value) + "s";
}

std::string assetClip(std::size_t index, std::size_t offset, const std::string& extra = "") {
    return "<asset-clip ref=\"a" + std::to_string(index % 64) + "\" name=\"Clip " +
           std::to_string(index) + "\" offset=\"" + seconds(offset) +
           "\" duration=\"4s\" audioRole=\"dialogue\"" + extra + "/>";
}

// Every container holds two clips and appears once per six clips of the project, so a third of
// the clips come out of containers: compound clips (each with its own media), multicam clips
// (two angles of two clips each, one of them taking audio) and sync clips (a camera clip and a
// recorder synchronised on its role).
std::string generatedProject(std::size_t clipCount) {
    std::string resources = R"(<format id="f" frameDuration="100/2500s"/>)";
    for (std::size_t asset = 0; asset < 64; ++asset) {
        resources += "<asset id=\"a" + std::to_string(asset) +
                     "\" start=\"0s\" duration=\"36000s\" hasAudio=\"1\"><media-rep "
                     "kind=\"original-media\" src=\"file:///media/" +
                     std::to_string(asset) + ".wav\"/></asset>";
    }
    std::string spine;
    std::size_t offset = 3600;
    for (std::size_t clip = 0; clip < clipCount; offset += 8) {
        const std::size_t slot = clip % 6;
        const std::string id = std::to_string(clip);
        if (slot < 4) {
            spine += assetClip(clip, offset);
            clip += 1;
            continue;
        }
        switch ((clip / 6) % 3) {
        case 0:
            resources += "<media id=\"c" + id + "\"><sequence tcStart=\"0s\"><spine>" +
                         assetClip(clip, 0) + assetClip(clip + 1, 4) +
                         "</spine></sequence></media>";
            spine += "<ref-clip ref=\"c" + id + "\" offset=\"" + seconds(offset) +
                     "\" duration=\"8s\"/>";
            break;
        case 1:
            resources += "<media id=\"m" + id + "\"><multicam><mc-angle angleID=\"v\">" +
                         assetClip(clip, 0) + assetClip(clip + 1, 4) +
                         "</mc-angle><mc-angle angleID=\"a\">" + assetClip(clip, 0) +
                         assetClip(clip + 1, 4) + "</mc-angle></multicam></media>";
            spine += "<mc-clip ref=\"m" + id + "\" offset=\"" + seconds(offset) +
                     "\" duration=\"8s\"><mc-source angleID=\"v\" srcEnable=\"video\"/>"
                     "<mc-source angleID=\"a\" srcEnable=\"audio\"/></mc-clip>";
            break;
        default:
            spine += "<sync-clip offset=\"" + seconds(offset) + "\" duration=\"8s\">" +
                     assetClip(clip, 0, " lane=\"0\"") +
                     "<asset-clip ref=\"a63\" lane=\"-1\" name=\"Recorder " + id +
                     "\" offset=\"0s\" duration=\"8s\" audioRole=\"dialogue.boom\"/>"
                     "<sync-source><audio-role-source role=\"dialogue.boom\"/></sync-source>"
                     "</sync-clip>";
            break;
        }
        clip += 2;
    }
    return R"(<?xml version="1.0" encoding="UTF-8"?><fcpxml version="1.11"><resources>)" +
           resources + R"(</resources><project name="Generated"><sequence format="f" )" +
           R"(tcStart="3600s"><spine>)" + spine + "</spine></sequence></project></fcpxml>";
}

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
