// Conversions per second at 29.97 drop-frame, the rate whose label arithmetic costs the most.

#include <array>
#include <benchmark/benchmark.h>
#include <cstddef>
#include <string>
#include <timecode/Timecode.h>

namespace {

using timecode::Timecode;
using timecode::TimecodeFrameRate;
using timecode::TimecodeProperties;

const TimecodeProperties dropFrame2997{TimecodeFrameRate::fps29_97d};

// Real times spread over the day, each inside a different frame and minute.
void secondsToTimecodeString(benchmark::State& state) {
    double seconds = 0;
    for (auto _ : state) {
        std::string text = Timecode::fromRealTime(seconds, dropFrame2997).stringValue();
        benchmark::DoNotOptimize(text);
        seconds += 61.0123;
        if (seconds >= 86000) {
            seconds -= 86000;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(secondsToTimecodeString);

void timecodeStringToFrameCount(benchmark::State& state) {
    constexpr std::size_t labelCount = 1024;
    std::array<std::string, labelCount> labels;
    for (std::size_t index = 0; index < labelCount; ++index) {
        const auto frames = static_cast<std::int64_t>(index * 2521 + 7);
        labels[index] = Timecode::fromFrames(frames, dropFrame2997).stringValue();
    }
    std::size_t index = 0;
    for (auto _ : state) {
        const std::int64_t frames =
            Timecode::fromString(labels[index], dropFrame2997).frameCount().wholeFrames();
        benchmark::DoNotOptimize(frames);
        index = (index + 1) % labelCount;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(timecodeStringToFrameCount);

} // namespace
