#include "koltutils/Benchmark.h"
#include "koltutils/Log.h"
#include "koltutils/ScopedLogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace koltutils {
namespace {

using ::testing::IsEmpty;
using ::testing::MatchesRegex;

// Durations print as the shortest text that reads back as the double.
constexpr const char* seconds = "[0-9.e+-]+";

TEST(Benchmark, StartElapsedStopReportThroughTheDebugChannel) {
    ScopedLogCapture capture;
    Benchmark benchmark;
    EXPECT_EQ(benchmark.stop(), -1.0) << "a stop before any start finds nothing running";
    EXPECT_FALSE(benchmark.isStarted());
    benchmark.start("load()", "/src/Loader.cpp", "parse");
    EXPECT_TRUE(benchmark.isStarted());
    benchmark.elapsed("load()", "/src/Loader.cpp", "so far");
    const double duration = benchmark.stop("load()", "/src/Loader.cpp");
    EXPECT_GE(duration, 0.0);
    EXPECT_EQ(benchmark.endScanTime(), duration);
    EXPECT_FALSE(benchmark.isStarted());
    EXPECT_EQ(benchmark.stop(), -1.0) << "a second stop finds nothing running";

    const auto records = capture.records();
    ASSERT_EQ(records.size(), 3u);
    for (const auto& record : records) {
        EXPECT_EQ(record.category, "Debug");
    }
    EXPECT_THAT(records[0].text, MatchesRegex("Loader\\.cpp:load\\(\\):[0-9]+:⏱🟢 parse"));
    EXPECT_THAT(records[1].text,
                MatchesRegex(std::string("Loader\\.cpp:load\\(\\):[0-9]+:⏱🔴 so far ") + seconds +
                             " elapsed seconds\\."));
    EXPECT_EQ(records[2].text.substr(records[2].text.find(":⏱")),
              ":⏱🔴 parse took " + describe(duration) + " seconds.");
}

TEST(Benchmark, StartingTwiceReportsTheFirstMeasurementFirst) {
    ScopedLogCapture capture;
    Benchmark benchmark("first");
    benchmark.start("run()", "Runner.cpp", "second");
    EXPECT_EQ(benchmark.label(), "second");
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_THAT(lines[0], MatchesRegex("Benchmark\\.cpp:init\\(label:\\):[0-9]+:⏱🟢 first"));
    EXPECT_THAT(lines[1], MatchesRegex(std::string("Runner\\.cpp:start\\(funcName:file:label:\\):"
                                                   "[0-9]+:⏱🔴 first took ") +
                                       seconds + " seconds\\."));
    EXPECT_THAT(lines[2], MatchesRegex("Runner\\.cpp:run\\(\\):[0-9]+:⏱🟢 second"));
}

TEST(Benchmark, ReleaseBuildWritesNoLinesButStillMeasures) {
    ScopedLogCapture capture;
    Log::setBuildConfig(BuildConfig::release);
    Benchmark benchmark("quiet");
    benchmark.elapsed();
    EXPECT_GE(benchmark.stop(), 0.0);
    EXPECT_THAT(capture.lines(), IsEmpty());
}

TEST(Benchmark, DefaultsReportTheCallingFunction) {
    ScopedLogCapture capture;
    Benchmark benchmark;
    benchmark.start();
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_THAT(capture.lines()[0], MatchesRegex("Benchmark_test\\.cpp:TestBody:[0-9]+:⏱🟢 "));
}

} // namespace
} // namespace koltutils
