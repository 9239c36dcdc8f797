#include "platform/FileEventSource.h"
#include "platform/RunLoop.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class FileEventSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto root = fs::path(VELOTRACK_BINARY_DIR) / "test-tmp";
        fs::create_directories(root);
        std::string name = (root / "events-XXXXXX").string();
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        folder = name;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
};

TEST_F(FileEventSourceTest, ReportsContentChangesToEverySourceAndTheFolderGoingAway) {
    const auto watched = folder / "watched";
    fs::create_directory(watched);
    std::atomic<unsigned> first{0};
    std::atomic<unsigned> second{0};
    std::atomic<int> afterCancel{0};
    auto queue = DispatchQueue::global();
    auto a = FileEventSource::watchDirectory(watched, queue, [&](unsigned bits) { first |= bits; });
    auto b =
        FileEventSource::watchDirectory(watched, queue, [&](unsigned bits) { second |= bits; });
    auto cancelled =
        FileEventSource::watchDirectory(watched, queue, [&](unsigned) { ++afterCancel; });
    cancelled->cancel();
    EXPECT_TRUE(cancelled->isCancelled());

    std::ofstream(watched / "new.txt") << "x";
    ASSERT_TRUE(RunLoop::runUntil([&] { return first != 0 && second != 0; }, 5s));
    EXPECT_EQ(first.load(), FileEvents::write);

    fs::remove_all(watched);
    ASSERT_TRUE(RunLoop::runUntil([&] { return (first & FileEvents::deleted) != 0; }, 5s));
    EXPECT_EQ(afterCancel.load(), 0);
}

TEST_F(FileEventSourceTest, RenamingTheFolderIsReportedAndMissingFoldersThrow) {
    const auto watched = folder / "before";
    fs::create_directory(watched);
    std::atomic<unsigned> events{0};
    auto source = FileEventSource::watchDirectory(watched, DispatchQueue::global(),
                                                  [&](unsigned bits) { events |= bits; });
    fs::rename(watched, folder / "after");
    EXPECT_TRUE(RunLoop::runUntil([&] { return (events & FileEvents::renamed) != 0; }, 5s));

    std::ofstream(folder / "file.txt") << "x";
    for (const auto& path : {folder / "missing", folder / "file.txt"}) {
        EXPECT_THROW(
            FileEventSource::watchDirectory(path, DispatchQueue::global(), [](unsigned) {}),
            std::system_error)
            << path;
    }
}

} // namespace
} // namespace platform
