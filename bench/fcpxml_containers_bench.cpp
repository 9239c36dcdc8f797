// Loading a generated project in which a third of the clips sit inside compound, multicam and
// sync clips, next to a raw expat pass over the same bytes. Run at 25 000 and 50 000 clips;
// bench/check_containers_scaling.py compares the two sizes (loading must stay linear and keep
// its ratio to the expat pass).

#include "QuietLogging.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <expat.h>
#include <koltutils/Log.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using velotrack::bench::quietLogging;

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

void loadProjectWithContainers(benchmark::State& state) {
    quietLogging();
    const auto clipCount = static_cast<std::size_t>(state.range(0));
    const std::string& xml = projectOf(clipCount);
    for (auto _ : state) {
        const auto description = kvnfcpx::FCPXMLDescription::fromText(xml);
        const auto& content = description.project->sequence->content;
        if (!content || content->assetClips.size() != clipCount) {
            state.SkipWithError("the generated project did not flatten into its clips");
            break;
        }
        benchmark::DoNotOptimize(content->assetClips.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
    state.counters["clips"] = static_cast<double>(clipCount);
}
BENCHMARK(loadProjectWithContainers)->Arg(25'000)->Arg(50'000)->Unit(benchmark::kMillisecond);

// The floor: expat reading the same bytes with no handlers at all.
void rawExpatPass(benchmark::State& state) {
    const std::string& xml = projectOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate("UTF-8");
        const auto status = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE);
        XML_ParserFree(parser);
        if (status != XML_STATUS_OK) {
            state.SkipWithError("expat refused the generated project");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}
BENCHMARK(rawExpatPass)->Arg(25'000)->Arg(50'000)->Unit(benchmark::kMillisecond);

} // namespace
