// Loading and flattening a generated project of 25 000 and 50 000 asset clips (each with a fade,
// an audio effect, a connected clip, a marker and a channel source), against a raw expat pass
// over the same bytes. Every run is measured in a process of its own (see OwnProcess.h). The
// last benchmark prints a summary: the load/expat ratio (target at most 4, aim 3), the 50k/25k
// ratio (target at most 2.2: loading is linear) and the memory a load needs next to the
// document's size.
//
//   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVELOTRACK_BUILD_TESTS=OFF
//   cmake --build build-release --target fcpxml_load_bench -j2
//   build-release/bench/fcpxml_load_bench

#include "ExpatPass.h"
#include "FastestRuns.h"
#include "QuietLogging.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <koltutils/Log.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <malloc.h>
#include <map>
#include <memory>
#include <new>
#include <platform/Memory.h>
#include <string>
#include <sys/resource.h>
#include <xmltree/XMLDocument.h>

// ---- Allocation counting ----------------------------------------------------------------------
// Every operator new of the process passes through here; while `countAllocations` is set, the
// bytes in use and their peak are tracked (malloc_usable_size gives the size on release too).
// Memory mapped beside the heap (the element tree's blocks) is added in, so the peak is that of
// both, as sampled at each allocation.

namespace {

std::atomic<bool> countAllocations{false};
std::atomic<long long> bytesInUse{0};
std::atomic<long long> peakBytesInUse{0};

long long mappedBytes() noexcept {
    return static_cast<long long>(platform::Memory::mappedBlockBytes());
}

long long bytesInUseNow() noexcept {
    return bytesInUse.load() + mappedBytes();
}

void* allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block) {
        throw std::bad_alloc();
    }
    if (countAllocations.load(std::memory_order_relaxed)) {
        const long long now =
            bytesInUse.fetch_add(static_cast<long long>(malloc_usable_size(block))) +
            static_cast<long long>(malloc_usable_size(block)) + mappedBytes();
        long long peak = peakBytesInUse.load();
        while (now > peak && !peakBytesInUse.compare_exchange_weak(peak, now)) {
        }
    }
    return block;
}

void release(void* block) noexcept {
    if (block && countAllocations.load(std::memory_order_relaxed)) {
        bytesInUse.fetch_sub(static_cast<long long>(malloc_usable_size(block)));
    }
    std::free(block);
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* block) noexcept {
    release(block);
}
void operator delete[](void* block) noexcept {
    release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    release(block);
}

namespace {

// ---- The generated project ----------------------------------------------------------------------

constexpr int assetCount = 200;

std::string frames(long long count) {
    return std::to_string(count * 100) + "/2500s";
}

// A base64 text of the length of a real file bookmark; the engine keeps it with every asset.
std::string bookmarkText(int asset) {
    std::string text;
    while (text.size() < 800) {
        text += "Ym9va5QEAAAAAAQQMAAAAFVzgSnK8/ycBhhs90R/FSAWmWSsEtn07NRJDmX1V9MVtAMA" +
                std::to_string(asset % 10);
    }
    return text.substr(0, 800);
}

std::string generateProject(int clipCount) {
    std::string xml;
    xml.reserve(static_cast<std::size_t>(clipCount) * 1100 + assetCount * 1400);
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE fcpxml>\n"
           "<fcpxml version=\"1.11\">\n<resources>\n"
           "<format id=\"r1\" name=\"FFVideoFormat1080p25\" frameDuration=\"100/2500s\" "
           "width=\"1920\" height=\"1080\" colorSpace=\"1-1-1 (Rec. 709)\"/>\n"
           "<effect id=\"e1\" name=\"Channel EQ\" uid=\"FFAudioUnitEffect:aufx:chqe:appl\"/>\n";
    for (int asset = 0; asset < assetCount; ++asset) {
        const std::string id = std::to_string(asset);
        xml += "<asset id=\"a" + id + "\" name=\"Shot " + id + "\" uid=\"UID" + id +
               "\" start=\"3600s\" duration=\"36000s\" hasVideo=\"1\" format=\"r1\" "
               "hasAudio=\"1\" audioSources=\"1\" audioChannels=\"2\" audioRate=\"48000\">\n"
               "<media-rep kind=\"original-media\" sig=\"SIG" +
               id + "\" src=\"file:///Volumes/Media/Shoot%20Day/Shot%20" + id +
               ".mov\">\n<bookmark>" + bookmarkText(asset) +
               "</bookmark>\n</media-rep>\n</asset>\n";
    }
    xml += "</resources>\n<library>\n<event name=\"Bench\">\n<project name=\"Long cut\">\n"
           "<sequence format=\"r1\" duration=\"" +
           frames(static_cast<long long>(clipCount) * 250) +
           "\" tcStart=\"3600s\" tcFormat=\"NDF\" audioLayout=\"stereo\" audioRate=\"48k\">\n"
           "<spine>\n";
    for (int clip = 0; clip < clipCount; ++clip) {
        const std::string n = std::to_string(clip);
        const long long position = 90000 + static_cast<long long>(clip) * 250;
        const long long start = 90000 + (clip % 97) * 500;
        xml += "<asset-clip ref=\"a" + std::to_string(clip % assetCount) + "\" offset=\"" +
               frames(position) + "\" name=\"Clip " + n + "\" start=\"" + frames(start) +
               "\" duration=\"" + frames(250) +
               "\" audioRole=\"dialogue\" tcFormat=\"NDF\">\n"
               "<adjust-volume amount=\"-3dB\"><param name=\"amount\">"
               "<fadeIn type=\"easeIn\" duration=\"" +
               frames(5) + "\"/><fadeOut type=\"easeIn\" duration=\"" + frames(10) +
               "\"/></param></adjust-volume>\n"
               "<filter-audio ref=\"e1\" name=\"Channel EQ\"><param name=\"Gain\" key=\"1\" "
               "value=\"-2.5\"/></filter-audio>\n"
               "<asset-clip ref=\"a" +
               std::to_string((clip + 7) % assetCount) + "\" lane=\"-1\" offset=\"" +
               frames(start + 20) + "\" name=\"Room tone " + n + "\" start=\"" + frames(90000) +
               "\" duration=\"" + frames(100) + "\" audioRole=\"effects\"/>\n<marker start=\"" +
               frames(start + 40) + "\" duration=\"100/2500s\" value=\"Marker " + n +
               "\"/>\n<audio-channel-source srcCh=\"1, 2\" role=\"dialogue.dialogue-1\"/>\n"
               "</asset-clip>\n";
    }
    xml += "</spine>\n</sequence>\n</project>\n</event>\n</library>\n</fcpxml>\n";
    return xml;
}

const std::string& project(int clipCount) {
    static std::map<int, std::string> projects;
    auto found = projects.find(clipCount);
    if (found == projects.end()) {
        found = projects.emplace(clipCount, generateProject(clipCount)).first;
    }
    return found->second;
}

// ---- What is measured -----------------------------------------------------------------------

using velotrack::bench::fastestRun;
using velotrack::bench::measureRuns;

std::size_t loadAndFlatten(const std::string& xml) {
    const auto description = kvnfcpx::FCPXMLDescription::fromText(xml);
    const auto& content = description.project->sequence->content;
    return content ? content->assetClips.size() + content->markers.size() : 0;
}

template <class Work> void measure(benchmark::State& state, const std::string& name, Work work) {
    measureRuns(state, name, project(static_cast<int>(state.range(0))), work);
}

void BM_ExpatPass(benchmark::State& state) {
    measure(state, "expat", velotrack::bench::expatEventPass);
}

void BM_XMLTree(benchmark::State& state) {
    measure(state, "tree", [](const std::string& xml) {
        return xmltree::XMLDocument::fromText(xml)->children().size();
    });
}

void BM_LoadAndFlatten(benchmark::State& state) {
    measure(state, "load", loadAndFlatten);
}

// The same with debug lines written (to a sink that drops them), as in a debug build.
void BM_LoadAndFlattenLoggingDebugLines(benchmark::State& state) {
    measure(state, "load with debug lines", [](const std::string& xml) {
        koltutils::Log::setBuildConfig(koltutils::BuildConfig::debug);
        const auto flattened = loadAndFlatten(xml);
        koltutils::Log::setBuildConfig(koltutils::BuildConfig::release);
        return flattened;
    });
}

struct MemoryUse {
    double peakMiB = 0;
    double keptMiB = 0;
};

// What one load allocates at its peak, and what the finished description (with its tree) keeps.
MemoryUse memoryOfLoad(const std::string& xml) {
    velotrack::bench::quietLogging();
    countAllocations = true;
    const long long before = bytesInUseNow();
    peakBytesInUse = before;
    MemoryUse use;
    {
        const auto description = kvnfcpx::FCPXMLDescription::fromText(xml);
        use.keptMiB = static_cast<double>(bytesInUseNow() - before) / (1 << 20);
        use.peakMiB = static_cast<double>(peakBytesInUse.load() - before) / (1 << 20);
    }
    countAllocations = false;
    return use;
}

void BM_Summary(benchmark::State& state) {
    for (auto _ : state) {
        std::printf("\n---- FCPXML loading summary (fastest runs, CPU time, each in a process "
                    "of its own) ----\n");
        velotrack::bench::printScaling("load", "expat");
        for (const int clips : {25000, 50000}) {
            const auto memory = memoryOfLoad(project(clips));
            const double documentMiB = static_cast<double>(project(clips).size()) / (1 << 20);
            std::printf("%6d clips, %.1f MiB of XML: tree alone %.1f ms; memory: peak %.1f MiB "
                        "(%.1fx the document), kept %.1f MiB (description and tree)\n",
                        clips, documentMiB, fastestRun("tree", clips) * 1e3, memory.peakMiB,
                        memory.peakMiB / documentMiB, memory.keptMiB);
        }
        const double withDebugLines = fastestRun("load with debug lines", 25000);
        if (withDebugLines > 0) {
            std::printf("25000 clips with debug lines formatted: %.1f ms\n", withDebugLines * 1e3);
        }
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        std::printf("largest measuring process, peak resident set: %.1f MiB\n\n",
                    static_cast<double>(usage.ru_maxrss) / 1024.0);
    }
}

} // namespace

// Each iteration is one run in a fresh process; the summary takes the fastest.
BENCHMARK(BM_ExpatPass)
    ->Arg(25000)
    ->Arg(50000)
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XMLTree)
    ->Arg(25000)
    ->Arg(50000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndFlatten)
    ->Arg(25000)
    ->Arg(50000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndFlattenLoggingDebugLines)
    ->Arg(25000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Summary)->Iterations(1)->Unit(benchmark::kMillisecond);
