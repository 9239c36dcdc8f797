#include "koltutils/BuildConfig.h"
#include "koltutils/Describe.h"

#include <gtest/gtest.h>

namespace koltutils {
namespace {

TEST(BuildConfig, TableHoldsRawValuesDescriptionsAndFlagsInOrder) {
    struct Expected {
        BuildConfig config;
        const char* raw;
        const char* description;
        bool isInternal, isBeta, isRelease;
    };
    const Expected expected[] = {
        {BuildConfig::debug, "debug", "DEBUG", true, true, false},
        {BuildConfig::beta, "beta", "BETA", true, true, false},
        {BuildConfig::publicBeta, "publicBeta", "PUBLIC BETA", false, true, false},
        {BuildConfig::release, "release", "", false, false, true},
        {BuildConfig::testing, "testing", "Testing only", true, true, false},
    };
    const auto all = allCases<BuildConfig>();
    ASSERT_EQ(all.size(), std::size(expected));
    for (std::size_t index = 0; index < all.size(); ++index) {
        const auto& row = expected[index];
        EXPECT_EQ(all[index], row.config);
        EXPECT_EQ(rawValue(row.config), row.raw);
        EXPECT_EQ(description(row.config), row.description);
        EXPECT_EQ(describe(row.config), row.description);
        EXPECT_EQ(isInternal(row.config), row.isInternal) << row.raw;
        EXPECT_EQ(isBeta(row.config), row.isBeta) << row.raw;
        EXPECT_EQ(isRelease(row.config), row.isRelease) << row.raw;
        EXPECT_EQ(fromRawValue<BuildConfig>(row.raw), row.config);
    }
}

TEST(BuildConfig, RawValueLookupIsExact) {
    for (const char* text : {"Debug", "public beta", "release ", ""}) {
        EXPECT_EQ(fromRawValue<BuildConfig>(text), std::nullopt) << '"' << text << '"';
    }
    EXPECT_THROW(caseOf(static_cast<BuildConfig>(9)), std::out_of_range);
}

} // namespace
} // namespace koltutils
