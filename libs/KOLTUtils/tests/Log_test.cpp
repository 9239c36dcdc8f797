#include "koltutils/Log.h"
#include "koltutils/ScopedLogCapture.h"
#include "platform/SystemLogSink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace koltutils {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

struct Described {
    std::string description() const { return "described"; }
};

TEST(Log, LineCarriesFileNameFunctionLineAndSpaceSeparatedValues) {
    ScopedLogCapture capture;
    const std::optional<int> absent;
    Log::debug("/a/b/Thing.ext", "initUpdater()", 53, "failed", 3);
    Log::debug("/a/b/Thing.ext", "f(x:)", 7, "a", absent, "b");
    Log::debug("Plain.cpp", "g()", 1);
    Log::debug("Plain.cpp", "g()", 2, "", "x", nullptr, std::optional<std::string>{"in"});
    EXPECT_THAT(capture.lines(),
                ElementsAre("Thing.ext:initUpdater():53:failed 3", "Thing.ext:f(x:):7:a nil b",
                            "Plain.cpp:g():1:", "Plain.cpp:g():2: x nil in"));
}

// Only error lines carry the flag prefix.
TEST(Log, RecordsKeepSubsystemCategoryAndLevel) {
    ScopedLogCapture capture;
    Log::debug("F.cpp", "f()", 1);
    Log::defaultLevel("F.cpp", "f()", 2);
    Log::error("F.cpp", "f()", 3);
    const auto records = capture.records();
    ASSERT_EQ(records.size(), 3u);
    const std::string subsystem = "com.koltwerk"; // the test executable lies in no bundle
    EXPECT_EQ(records[0],
              (platform::LogRecord{subsystem, "Debug", platform::LogLevel::debug, "F.cpp:f():1:"}));
    EXPECT_EQ(records[1],
              (platform::LogRecord{subsystem, "Info", platform::LogLevel::info, "F.cpp:f():2:"}));
    EXPECT_EQ(records[2], (platform::LogRecord{subsystem, "Errors", platform::LogLevel::error,
                                               "🚩 F.cpp:f():3:"}));
}

TEST(Log, ReleaseBuildSkipsDebugLinesOnly) {
    ScopedLogCapture capture;
    int describedCount = 0;
    struct Counting {
        int* count;
        std::string description() const {
            ++*count;
            return "c";
        }
    };
    for (const auto config : allCases<BuildConfig>()) {
        Log::setBuildConfig(config);
        Log::debug("F.cpp", "f()", 1, Counting{&describedCount});
    }
    Log::setBuildConfig(BuildConfig::release);
    Log::defaultLevel("F.cpp", "f()", 2, "i");
    Log::error("F.cpp", "f()", 3, "e");
    // Four configurations write; release does not even describe the value.
    EXPECT_EQ(describedCount, 4);
    EXPECT_THAT(capture.lines(), ElementsAre("F.cpp:f():1:c", "F.cpp:f():1:c", "F.cpp:f():1:c",
                                             "F.cpp:f():1:c", "F.cpp:f():2:i", "🚩 F.cpp:f():3:e"));
}

TEST(Log, MacrosPassThisFileAndLine) {
    ScopedLogCapture capture;
    const int line = __LINE__ + 1;
    KOLT_LOG_DEBUG("macros()");
    KOLT_LOG_DEFAULT(__func__, Described{}, true);
    KOLT_LOG_ERROR("macros()", 1.5);
    const auto prefix = "Log_test.cpp:";
    EXPECT_THAT(
        capture.lines(),
        ElementsAre(
            prefix + std::string("macros():") + std::to_string(line) + ":",
            prefix + std::string("TestBody:") + std::to_string(line + 1) + ":described true",
            "🚩 " + (prefix + std::string("macros():")) + std::to_string(line + 2) + ":1.5"));
}

// Whichever compiler built it: a call written over several lines logs the line it starts on.
TEST(Log, ACallOverSeveralLinesLogsItsFirstLine) {
    ScopedLogCapture capture;
    const int line = __LINE__ + 2;
    // clang-format off
    KOLT_LOG_ERROR("spread()",
                   "over",
                   "lines");
    // clang-format on
    EXPECT_THAT(capture.lines(),
                ElementsAre("🚩 Log_test.cpp:spread():" + std::to_string(line) + ":over lines"));
}

TEST(Log, CallStackIsOneErrorLineFromTheLogSource) {
    ScopedLogCapture capture;
    Log::printCallStack();
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], StartsWith("🚩 Log.cpp:printCallStack():"));
    const auto valueStart = lines[0].find("():") + 3;
    const auto value = lines[0].substr(lines[0].find(':', valueStart) + 1);
    EXPECT_THAT(value, StartsWith("\n\n"));
    EXPECT_NE(value.find('\n', 2), std::string::npos) << "more than one frame";
}

TEST(Log, CaptureRestoresPreviousSinkAndBuildConfig) {
    const auto original = Log::sink();
    {
        ScopedLogCapture outer;
        {
            ScopedLogCapture inner;
            Log::setBuildConfig(BuildConfig::release);
            Log::defaultLevel("F.cpp", "f()", 1);
            EXPECT_THAT(outer.lines(), IsEmpty());
            EXPECT_EQ(inner.lines().size(), 1u);
        }
        EXPECT_EQ(Log::buildConfig(), BuildConfig::debug);
        Log::defaultLevel("F.cpp", "f()", 2);
        EXPECT_EQ(outer.lines().size(), 1u);
    }
    EXPECT_EQ(Log::sink(), original);

    Log::setSink(nullptr);
    EXPECT_NE(dynamic_cast<platform::SystemLogSink*>(Log::sink().get()), nullptr)
        << "no sink means the system log";
    Log::setSink(original);
}

} // namespace
} // namespace koltutils
