#include "koltutils/OptionalBox.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace koltutils {
namespace {

TEST(OptionalBox, CopiesAreDeepAndCompareByValue) {
    OptionalBox<std::string> original(std::string("dialogue"));
    OptionalBox<std::string> copy = original;
    ASSERT_TRUE(copy);
    EXPECT_NE(&*copy, &*original) << "a copy must own its own value";
    *copy += ".boom";
    EXPECT_EQ(*original, "dialogue");
    EXPECT_NE(copy, original);
    copy = original;
    EXPECT_EQ(copy, original);

    OptionalBox<std::string> moved = std::move(copy);
    EXPECT_EQ(*moved, "dialogue");
}

TEST(OptionalBox, EmptyLikeNulloptWhateverItWasMadeFrom) {
    const OptionalBox<std::string> empty;
    EXPECT_FALSE(empty.has_value());
    EXPECT_EQ(empty, std::nullopt);
    EXPECT_EQ(empty, OptionalBox<std::string>(std::optional<std::string>()));
    EXPECT_NE(empty, OptionalBox<std::string>(std::string()));
    // Compared with a std::optional as std::optional compares: empty equals empty.
    EXPECT_EQ(empty, std::optional<std::string>());
    EXPECT_NE(empty, std::optional<std::string>(""));
    EXPECT_THROW((void)empty.value(), std::bad_optional_access);

    OptionalBox<std::string> filled(std::optional<std::string>("music"));
    EXPECT_EQ(filled.value(), "music");
    filled = std::nullopt;
    EXPECT_EQ(filled, empty);
}

} // namespace
} // namespace koltutils
