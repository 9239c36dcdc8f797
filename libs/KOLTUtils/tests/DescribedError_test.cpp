#include "koltutils/DescribedError.h"

#include <gtest/gtest.h>

namespace koltutils {
namespace {

TEST(DescribedError, CarriesMessageCodeAndFallbackDomain) {
    try {
        throw DescribedError("Unsupported version: 1.2");
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Unsupported version: 1.2");
        const auto& described = dynamic_cast<const DescribedError&>(error);
        EXPECT_EQ(described.localizedDescription(), "Unsupported version: 1.2");
        EXPECT_EQ(described.code(), 1);
        // The test executable lies in no application bundle.
        EXPECT_EQ(described.domain(), "KOLTUtils");
    }
}

} // namespace
} // namespace koltutils
