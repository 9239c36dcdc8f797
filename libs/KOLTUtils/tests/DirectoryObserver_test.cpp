#include "TestFolder.h"
#include "koltutils/DescribedError.h"
#include "koltutils/DirectoryEnumerationObserver.h"
#include "koltutils/DirectoryObserver.h"
#include "platform/RunLoop.h"

#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace koltutils {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Paths = std::vector<fs::path>;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TestFolder;
using ::testing::UnorderedElementsAre;

// What a handler or delegate was given, and when.
class Recorder : public DirectoryEnumerationObserverDelegate {
public:
    void record(const DirectoryEvent& event) {
        std::lock_guard lock(mutex_);
        events_.push_back(event);
        times_.push_back(Clock::now());
    }
    void directoryEnumerationObserver(DirectoryEnumerationObserver& /*observer*/,
                                      const std::vector<DirectoryEvent>& events) override {
        std::lock_guard lock(mutex_);
        batches_.push_back(events);
    }
    DirectoryObserver::EventHandler handler() {
        return [this](const DirectoryEvent& event) { record(event); };
    }
    std::vector<DirectoryEvent> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<Clock::time_point> times() const {
        std::lock_guard lock(mutex_);
        return times_;
    }
    std::vector<std::vector<DirectoryEvent>> batches() const {
        std::lock_guard lock(mutex_);
        return batches_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<DirectoryEvent> events_;
    std::vector<Clock::time_point> times_;
    std::vector<std::vector<DirectoryEvent>> batches_;
};

std::shared_ptr<DirectoryObserver> watching(const fs::path& folder, Recorder& recorder) {
    auto observer = DirectoryObserver::make(folder);
    observer->setEventHandler(recorder.handler());
    observer->start();
    return observer;
}

// The settle time is the observers' own (seconds), so every scenario runs at once, each in a
// folder of its own, and the test waits for all of them together.
TEST(DirectoryObserver, ReportsSettledChangesOnceRemovedBeforeNewAndNothingAfterRelease) {
    TestFolder copying, renaming, hidden, hiddenOnly, released, stopped, tree;
    Recorder copied, renamed, withHidden, onlyHidden, afterRelease, afterStop, enumerated;
    renaming.file("old.txt", "x");
    tree.file("sub/deeper/keep.txt");

    auto copyObserver = watching(copying.path(), copied);
    auto renameObserver = watching(renaming.path(), renamed);
    auto hiddenObserver = watching(hidden.path(), withHidden);
    auto hiddenOnlyObserver = watching(hiddenOnly.path(), onlyHidden);
    auto releasedObserver = watching(released.path(), afterRelease);
    auto stoppedObserver = watching(stopped.path(), afterStop);
    auto treeObserver = DirectoryEnumerationObserver::make(tree.path());
    auto delegate = std::shared_ptr<Recorder>(&enumerated, [](Recorder*) {});
    treeObserver->setDelegate(delegate);
    treeObserver->start();
    EXPECT_EQ(treeObserver->observedFolders(),
              (Paths{tree.path(), tree.path() / "sub", tree.path() / "sub/deeper"}));

    fs::rename(renaming.path() / "old.txt", renaming.path() / "new.txt");
    hidden.file("seen.txt", "x");
    hidden.file(".partial", "x");
    hiddenOnly.file(".lonely", "x");
    releasedObserver.reset();
    released.file("late.txt", "x");
    stopped.file("unseen.txt", "x");
    tree.file("sub/deeper/clip.mov", "x");
    tree.file("top.txt", "x");
    tree.folder("fresh");

    // A copy in four writes, 400 ms apart.
    const auto clip = copying.path() / "clip.mov";
    const std::string chunk(64 * 1024, 'v');
    std::ofstream out(clip, std::ios::binary);
    for (int write = 0; write < 4; ++write) {
        if (write > 0) {
            std::this_thread::sleep_for(400ms);
        }
        out << chunk << std::flush;
    }
    out.close();
    const auto lastWrite = Clock::now();
    stoppedObserver->stop();
    EXPECT_FALSE(stoppedObserver->isWatching());

    const auto done = [&] {
        return !copied.events().empty() && renamed.events().size() >= 2 &&
               !withHidden.events().empty() && !enumerated.batches().empty();
    };
    ASSERT_TRUE(platform::RunLoop::runUntil(done, 20s));

    EXPECT_THAT(copied.events(), ElementsAre(DirectoryEvent::makeNew({clip}, copying.path())));
    EXPECT_GE(copied.times().at(0) - lastWrite, 2s) << "reported before two quiet checks";
    EXPECT_EQ(fs::file_size(clip), 4 * chunk.size());
    EXPECT_THAT(
        renamed.events(),
        ElementsAre(DirectoryEvent::removed({renaming.path() / "old.txt"}, renaming.path()),
                    DirectoryEvent::makeNew({renaming.path() / "new.txt"}, renaming.path())));
    EXPECT_THAT(withHidden.events(),
                ElementsAre(DirectoryEvent::makeNew({hidden.path() / "seen.txt"}, hidden.path())));
    // By now the folders changed at the same time have all settled.
    EXPECT_THAT(onlyHidden.events(), IsEmpty());
    EXPECT_THAT(afterRelease.events(), IsEmpty());
    EXPECT_THAT(afterStop.events(), IsEmpty());

    ASSERT_EQ(enumerated.batches().size(), 1u);
    EXPECT_THAT(
        enumerated.batches()[0],
        UnorderedElementsAre(DirectoryEvent::makeNew({tree.path() / "sub/deeper/clip.mov"},
                                                     tree.path() / "sub/deeper"),
                             DirectoryEvent::makeNew(
                                 {tree.path() / "fresh", tree.path() / "top.txt"}, tree.path())));
    // A folder that appeared is watched from then on.
    EXPECT_EQ(treeObserver->observedFolders().back(), tree.path() / "fresh");
    treeObserver->stop();
    EXPECT_FALSE(treeObserver->isObserving());
}

TEST(DirectoryObserver, RefusesWhatItCannotWatch) {
    TestFolder folder;
    const auto file = folder.file("plain.txt");
    for (const auto& path : {folder.path() / "missing", file}) {
        try {
            DirectoryObserver::make(path);
            ADD_FAILURE() << "made an observer of " << path;
        } catch (const DescribedError& error) {
            EXPECT_STREQ(error.what(), "URL must be a directory");
        }
        EXPECT_THROW(DirectoryEnumerationObserver::make(path), DescribedError);
    }

    const auto gone = folder.folder("gone");
    auto observer = DirectoryObserver::make(gone);
    EXPECT_EQ(observer->description(), "DirectoryObserver(url: \"" + gone.string() + "\")");
    fs::remove(gone);
    try {
        observer->start();
        ADD_FAILURE() << "started on a removed folder";
    } catch (const DescribedError& error) {
        EXPECT_EQ(error.what(), "failed to open url: " + gone.string());
    }
    EXPECT_FALSE(observer->isWatching());

    auto enumeration = DirectoryEnumerationObserver::make(folder.path());
    EXPECT_EQ(enumeration->description(), "DirectoryEnumerationObserver(url: \"" +
                                              folder.path().string() + "\", observers: 0)");
}

} // namespace
} // namespace koltutils
