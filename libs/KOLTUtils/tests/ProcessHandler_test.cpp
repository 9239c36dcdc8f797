#include "koltutils/DescribedError.h"
#include "koltutils/ProcessHandler.h"
#include "koltutils/ScopedLogCapture.h"

#include <chrono>
#include <fstream>
#include <future>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace koltutils {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace std::chrono_literals;

std::string shell(const std::string& script, DispatchQoS qos = DispatchQoS::defaultClass) {
    return ProcessHandler("/bin/sh", {"-c", script}, qos).run();
}

TEST(ProcessHandler, ResultIsOutputThenErrorOutputEachFollowedByALineBreak) {
    // Written error first: the result still puts the output first.
    EXPECT_EQ(shell("printf 'err' >&2; printf 'a\\nb'"), "a\nb\nerr\n");
    EXPECT_EQ(shell("true"), "\n\n");
    // The exit status is not examined.
    EXPECT_EQ(shell("echo failing; exit 3"), "failing\n\n\n");
    // Text that is not UTF-8 is left out together with its line break.
    EXPECT_EQ(shell("printf '\\377\\376'; printf 'caf\\303\\251' >&2"), "café\n");
    EXPECT_EQ(shell("printf ok; printf '\\300\\200' >&2"), "ok\n");
}

TEST(ProcessHandler, ArgumentsReachTheToolUnchanged) {
    ProcessHandler handler("/bin/sh",
                           {"-c", "printf '[%s]' \"$@\"", "sh", "a b", "'$(x)'", "-n", ""});
    EXPECT_EQ(handler.run(), "[a b]['$(x)'][-n][]\n\n");
}

// A tool filling standard error before it writes a byte of output blocks forever under a reader
// that drains one pipe after the other.
TEST(ProcessHandler, TenMegabytesOnBothPipesComplete) {
    const auto result = shell("head -c 10485760 /dev/zero | tr '\\0' e >&2;"
                              "head -c 10485760 /dev/zero | tr '\\0' o");
    constexpr std::size_t size = 10485760;
    ASSERT_EQ(result.size(), 2 * size + 2);
    EXPECT_EQ(result.find_first_not_of('o'), size);
    EXPECT_EQ(result[size], '\n');
    EXPECT_EQ(result.find_first_not_of('e', size + 1), 2 * size + 1);
    EXPECT_EQ(result.back(), '\n');
}

TEST(ProcessHandler, AToolThatCannotBeLaunchedThrowsItsReason) {
    ProcessHandler missing("/nonexistent/velotrack-tool", {});
    try {
        missing.run();
        FAIL() << "a missing tool ran";
    } catch (const DescribedError& error) {
        EXPECT_THAT(error.what(), HasSubstr("/nonexistent/velotrack-tool"));
    }
    ProcessHandler folder("/", {});
    EXPECT_THROW(folder.run(), DescribedError);
}

TEST(ProcessHandler, RunsAtMostOnce) {
    ProcessHandler handler("/bin/sh", {"-c", "echo once"});
    EXPECT_EQ(handler.run(), "once\n\n\n");
    EXPECT_THROW(handler.run(), DescribedError);
}

TEST(ProcessHandler, CancelFromAnotherThreadEndsTheToolAndLogsOnlyWhenNothingRuns) {
    ScopedLogCapture capture;
    ProcessHandler handler("/bin/sleep", {"60"});
    handler.cancel();
    auto result = std::async(std::launch::async, [&handler] { return handler.run(); });
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!handler.isRunning() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(handler.isRunning());
    handler.cancel();
    ASSERT_EQ(result.wait_for(20s), std::future_status::ready);
    EXPECT_EQ(result.get(), "\n\n");
    handler.cancel();
    const auto notRunning =
        AllOf(StartsWith("🚩 ProcessHandler.cpp:cancel():"), EndsWith(":Process isn't running"));
    EXPECT_THAT(capture.lines(), ElementsAre(notRunning, notRunning));
}

// The niceness field of /proc/<pid>/stat, read by the tool about itself.
int nicenessUnder(DispatchQoS qos) {
    const auto stat = ProcessHandler("/bin/cat", {"/proc/self/stat"}, qos).run();
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int index = 3; index <= 19; ++index) {
        fields >> field;
    }
    return std::stoi(field);
}

TEST(ProcessHandler, LowerClassesRunTheToolAtLowerPriority) {
    const int normal = nicenessUnder(DispatchQoS::defaultClass);
    EXPECT_EQ(nicenessUnder(DispatchQoS::userInteractive), normal);
    EXPECT_GT(nicenessUnder(DispatchQoS::utility), normal);
    EXPECT_GT(nicenessUnder(DispatchQoS::background), nicenessUnder(DispatchQoS::utility));
    EXPECT_EQ(ProcessHandler("/bin/true", {}, DispatchQoS::background).taskQualityOfService(), 9);
}

} // namespace
} // namespace koltutils
