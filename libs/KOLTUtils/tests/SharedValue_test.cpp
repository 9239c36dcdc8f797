#include "koltutils/SharedValue.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace koltutils {
namespace {

struct Record {
    std::string name;
    std::vector<int> samples;

    friend bool operator==(const Record&, const Record&) = default;
};

TEST(SharedValue, CopiesShareOneValueAndCompareByValue) {
    const SharedValue<Record> original(Record{"take 1", {1, 2}});
    const SharedValue<Record> copy = original;
    EXPECT_EQ(&copy.get(), &original.get()) << "a copy must not duplicate the record";
    EXPECT_EQ(copy->name, "take 1");

    const SharedValue<Record> madeApart(Record{"take 1", {1, 2}});
    EXPECT_NE(&madeApart.get(), &original.get());
    EXPECT_EQ(madeApart, original);
    EXPECT_NE(SharedValue<Record>(Record{"take 1", {1, 3}}), original);
}

TEST(SharedValue, AssigningANewValueLeavesTheOtherCopiesAsTheyWere) {
    SharedValue<Record> edited(Record{"take 1", {}});
    const SharedValue<Record> kept = edited;
    Record changed = edited;
    changed.name = "take 2";
    edited = changed;
    EXPECT_EQ(edited->name, "take 2");
    EXPECT_EQ(kept->name, "take 1");
}

TEST(SharedValue, DefaultHoldsTheDefaultValue) {
    const SharedValue<Record> empty;
    EXPECT_EQ(empty.get(), Record{});
    EXPECT_EQ(empty, SharedValue<Record>(Record{}));
}

} // namespace
} // namespace koltutils
