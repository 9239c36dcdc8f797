#include "koltutils/SharedOptional.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace koltutils {
namespace {

using Group = SharedOptional<std::string>;

TEST(SharedOptional, CopiesShareOneValueAndCompareByValue) {
    const Group original(std::string("ref-clip_0000000001"));
    const Group copy = original;
    EXPECT_EQ(&*copy, &*original) << "a copy must not duplicate the value";
    EXPECT_TRUE(copy.shares(original));

    const Group madeApart(std::string("ref-clip_0000000001"));
    EXPECT_FALSE(madeApart.shares(original));
    EXPECT_EQ(madeApart, original);
    EXPECT_NE(Group(std::string("sync-clip_0000000001")), original);
    EXPECT_EQ(original, "ref-clip_0000000001");
    EXPECT_EQ(original, std::optional<std::string>("ref-clip_0000000001"));
    EXPECT_NE(original, std::nullopt);
}

TEST(SharedOptional, EmptyIsEqualOnlyToEmpty) {
    const Group empty;
    EXPECT_FALSE(empty.has_value());
    EXPECT_EQ(empty, std::nullopt);
    EXPECT_EQ(empty, Group(std::optional<std::string>{}));
    EXPECT_EQ(empty, std::optional<std::string>{});
    EXPECT_NE(empty, Group(std::string()));
    EXPECT_NE(empty, "");
    EXPECT_EQ(empty.value_or("none"), "none");
    EXPECT_THROW((void)empty.value(), std::bad_optional_access);
}

TEST(SharedOptional, AssigningOrResettingOneCopyLeavesTheOthersAsTheyWere) {
    Group edited(std::string("a"));
    const Group kept = edited;
    edited = Group(std::string("b"));
    EXPECT_EQ(kept, "a");
    EXPECT_EQ(edited, "b");

    Group moved = kept;
    const Group target = std::move(moved);
    EXPECT_FALSE(moved.has_value()); // NOLINT(bugprone-use-after-move): moving empties it
    EXPECT_TRUE(target.shares(kept));

    Group reset = kept;
    reset.reset();
    EXPECT_EQ(reset, std::nullopt);
    EXPECT_EQ(kept.value(), "a");
}

// The clips of one group are copied and dropped on whatever thread handles their description;
// the value must go exactly once, after its last copy.
TEST(SharedOptional, CopiesMadeAndDroppedOnSeveralThreadsReleaseTheValueOnce) {
    const Group shared(std::string(64, 'g'));
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 4; ++thread) {
        threads.emplace_back([&shared] {
            for (int round = 0; round < 10'000; ++round) {
                std::vector<Group> copies(8, shared);
                copies.erase(copies.begin() + 3, copies.end());
                Group assigned;
                assigned = copies.front();
                ASSERT_EQ(assigned->size(), 64u);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(*shared, std::string(64, 'g'));
}

} // namespace
} // namespace koltutils
