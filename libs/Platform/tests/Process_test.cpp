#include "platform/Process.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Process, ReportsStatusSignalEnvironmentAndWorkingFolder) {
    Process failing("/bin/sh", {"-c", "printf '%s|%s' \"$VELOTRACK_PROBE\" \"$PWD\"; exit 4"},
                    Process::Options{{{"VELOTRACK_PROBE", "a value"}}, "/", 0, true});
    EXPECT_EQ(failing.state(), Process::State::created);
    failing.launch();
    const auto failed = failing.waitUntilExit();
    EXPECT_EQ(failed.standardOutput, "a value|/");
    EXPECT_EQ(failed.status, 4);
    EXPECT_FALSE(failed.signalled);
    EXPECT_EQ(failing.state(), Process::State::finished);
    EXPECT_FALSE(failing.terminate());
    EXPECT_THROW(failing.launch(), std::logic_error);

    Process killed("/bin/sh", {"-c", "kill -KILL $$"});
    killed.launch();
    const auto ended = killed.waitUntilExit();
    EXPECT_TRUE(ended.signalled);
    EXPECT_EQ(ended.status, 128 + 9);
}

TEST(Process, LaunchFailureCarriesTheSystemsReason) {
    Process missing("/nonexistent/tool", {});
    EXPECT_THROW(missing.launch(), ProcessLaunchError);
    EXPECT_EQ(missing.state(), Process::State::created);
    EXPECT_FALSE(missing.terminate());
}

TEST(Process, FindsExecutablesOnPathOrByPath) {
    EXPECT_EQ(findExecutable("sh").value_or("").filename(), "sh");
    EXPECT_EQ(findExecutable("/bin/sh"), std::filesystem::path("/bin/sh"));
    EXPECT_EQ(findExecutable("/"), std::nullopt);
    EXPECT_EQ(findExecutable("velotrack-no-such-tool"), std::nullopt);
}

} // namespace
} // namespace platform
