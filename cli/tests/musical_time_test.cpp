// `velotrack musical`, `realtime`, `tempo` and `transport`, run as a user runs them: the built
// program in a process of its own.

#include "ToolRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using namespace velotrack::testing;

class VelotrackMusicalTime : public testing::Test {
protected:
    void SetUp() override {
        directory = makeTemporaryFolder(fs::temp_directory_path(), "velotrack-time-");
        ASSERT_FALSE(directory.empty());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    Outcome run(std::vector<std::string> arguments) const {
        return runTool(std::move(arguments), directory);
    }

    fs::path directory;
};

TEST_F(VelotrackMusicalTime, MusicalShowsThePositionAndTheGrid) {
    const Outcome position =
        run({"musical", "--tempo", "120", "--signature", "4/4", "--seconds", "2.125"});
    EXPECT_EQ(position.status, 0);
    EXPECT_EQ(position.out, "position: 2 1 2\nfractionalBar: 1.0625\nfractionalBeat: 0.25\n"
                            "barsPerSecond: 0.5\n");

    // The signature reaches barsPerSecond because it is set before the tempo.
    const Outcome waltz = run({"musical", "--tempo", "90", "--signature", "3/4", "--seconds", "2"});
    EXPECT_NE(waltz.out.find("barsPerSecond: 0.5\n"), std::string::npos) << waltz.out;

    const Outcome grid =
        run({"musical", "--tempo", "120", "--signature", "4/4", "--pixels-per-second", "30"});
    EXPECT_EQ(grid.status, 0);
    EXPECT_EQ(grid.out, "pixelsPerSubdivision: 3.75\npixelsPerBeat: 15.0\npixelsPerBar: 60.0\n"
                        "snap Don't Snap: 1.0\nsnap Bar: 60.0\nsnap Beat: 15.0\n"
                        "snap Subdivision: 3.75\nsnap Frame: 1.0\nsnap Magnetic: 1.0\n");

    const Outcome invalid =
        run({"musical", "--tempo", "120", "--signature", "4/3", "--seconds", "1"});
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.out, "");
    EXPECT_EQ(invalid.err, "invalid arguments: 4/3\n");
}

TEST_F(VelotrackMusicalTime, RealtimeShowsAndReads) {
    EXPECT_EQ(run({"realtime", "--seconds", "3725.5", "--hours", "enable", "--milliseconds"}).out,
              "1:02:05.500\n");
    EXPECT_EQ(run({"realtime", "--seconds", "3725.5"}).out, "1:02:05\n");
    EXPECT_EQ(run({"realtime", "--seconds", "3725.5", "--hours", "disable"}).out, "62:05\n");
    EXPECT_EQ(run({"realtime", "--seconds=-5"}).out, "-00:05\n");
    EXPECT_EQ(run({"realtime", "--parse", "1:02:05.5"}).out, "3725.5\n");
    EXPECT_NE(run({"realtime", "--seconds", "5", "--hours", "sometimes"}).status, 0);
}

TEST_F(VelotrackMusicalTime, TempoAppliesTheChangesInOrder) {
    const Outcome plain = run({"tempo"});
    EXPECT_EQ(plain.out, "[TimelineTempo internalTempo: nil, masterTempo: 120.0, virtualTempo: "
                         "nil rate: 1.0, ratio: 1.0, useMasterTempo: false]\ngridTempo: nil\n");
    const Outcome master = run({"tempo", "--internal", "100", "--use-master"});
    EXPECT_EQ(master.out, "[TimelineTempo internalTempo: 100.0, masterTempo: 120.0, "
                          "virtualTempo: nil rate: 1.2, ratio: 0.8333333333333334, "
                          "useMasterTempo: true]\ngridTempo: 100.0\n");
    const Outcome locked =
        run({"tempo", "--lock-natural", "--internal", "100", "--virtual", "2000"});
    EXPECT_NE(locked.out.find(" rate: 1.0, ratio: 1.0, "), std::string::npos) << locked.out;
    EXPECT_TRUE(locked.out.ends_with("gridTempo: 100.0\n")) << locked.out;
    const Outcome clamped = run({"tempo", "--internal", "100", "--virtual", "2000"});
    EXPECT_TRUE(clamped.out.ends_with("gridTempo: 1024.0\n")) << clamped.out;
}

TEST_F(VelotrackMusicalTime, TransportReportsRisingPositionsBetweenStartAndStop) {
    const Outcome played = run({"transport", "--start", "12.5", "--for", "0.3"});
    EXPECT_EQ(played.status, 0);
    std::istringstream lines(played.out);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) {
        all.push_back(line);
    }
    ASSERT_GE(all.size(), 4u);
    EXPECT_EQ(all.front(), "state: start");
    EXPECT_EQ(all.back(), "state: stop");
    double previousPosition = 12.5;
    for (std::size_t index = 1; index + 1 < all.size(); ++index) {
        const auto tab = all[index].find('\t');
        ASSERT_NE(tab, std::string::npos) << all[index];
        const double since = std::stod(all[index].substr(0, tab));
        const double position = std::stod(all[index].substr(tab + 1));
        EXPECT_GE(position, previousPosition);
        // The position is the start plus the time since the run began, give or take the startup.
        EXPECT_NEAR(position, 12.5 + since, 0.05) << all[index];
        previousPosition = position;
    }
}

} // namespace
