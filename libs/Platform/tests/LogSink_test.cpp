#include "platform/CapturingLogSink.h"
#include "platform/StderrLogSink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace platform {
namespace {

using ::testing::ElementsAre;

TEST(StderrLogSink, WritesCategoryAndTextFromTheMinimumLevelUp) {
    StderrLogSink sink(LogLevel::info);
    ::testing::internal::CaptureStderr();
    sink.write({"com.koltwerk", "Debug", LogLevel::debug, "hidden"});
    sink.write({"com.koltwerk", "Info", LogLevel::info, "F.cpp:f():1:shown"});
    sink.write({"com.koltwerk", "Errors", LogLevel::error, "🚩 F.cpp:f():2:bad"});
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Info F.cpp:f():1:shown\nErrors 🚩 F.cpp:f():2:bad\n");
}

TEST(CapturingLogSink, KeepsEveryRecordFromConcurrentWriters) {
    CapturingLogSink sink;
    std::vector<std::thread> writers;
    for (int writer = 0; writer < 4; ++writer) {
        writers.emplace_back([&sink, writer] {
            for (int index = 0; index < 250; ++index) {
                sink.write({"s", "Info", LogLevel::info, std::to_string(writer)});
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(sink.records().size(), 1000u);
    sink.clear();
    sink.write({"s", "Debug", LogLevel::debug, "after"});
    EXPECT_THAT(sink.lines(), ElementsAre("after"));
    EXPECT_EQ(sink.records().front(), (LogRecord{"s", "Debug", LogLevel::debug, "after"}));
}

} // namespace
} // namespace platform
