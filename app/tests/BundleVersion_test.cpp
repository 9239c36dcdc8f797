#include "BundleVersion.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace {

// -1 older, 0 the same, 1 newer: readable in failure messages.
int order(std::string_view left, std::string_view right) {
    const auto ordering = velotrack::compareBundleVersions(left, right);
    return ordering < 0 ? -1 : (ordering > 0 ? 1 : 0);
}

} // namespace

TEST(BundleVersion, ComparesComponentsAsNumbersOfAnyLength) {
    EXPECT_EQ(order("1.10", "1.9"), 1);
    EXPECT_EQ(order("2", "10"), -1);
    EXPECT_EQ(order("1.02", "1.2"), 0);
    EXPECT_EQ(order("0.1.0", "0.1.0"), 0);
    // Far beyond any integer type.
    const std::string huge = "1." + std::string(60, '9');
    EXPECT_EQ(order(huge + "1", huge), 1);
    EXPECT_EQ(order(huge, huge + "0"), -1);
}

TEST(BundleVersion, PrereleaseSuffixComesBeforeTheReleaseAndItsPatches) {
    EXPECT_EQ(order("1.0b2", "1.0"), -1);
    EXPECT_EQ(order("1.0", "1.0b2"), 1);
    EXPECT_EQ(order("1.0b1", "1.0b2"), -1);
    EXPECT_EQ(order("1.0a9", "1.0b1"), -1);
    EXPECT_EQ(order("1.0", "1.0.1"), -1);
    EXPECT_EQ(order("1.0b2", "1.0.1"), -1);
}

TEST(BundleVersion, EmptyTextIsOlderThanAnyNumber) {
    EXPECT_EQ(order("", "0.1"), -1);
    EXPECT_EQ(order("", "..."), 0);
}
