#include "xmltree/XMLError.h"

#include <gtest/gtest.h>

namespace xmltree {
namespace {

TEST(XMLError, MessageIsTheCaseNameFollowedByTheReason) {
    EXPECT_STREQ(XMLError(XMLErrorCode::elementNotFound).what(), "elementNotFound");
    XMLError failure(XMLErrorCode::parsingFailed, "mismatched tag at line 1, column 8");
    EXPECT_STREQ(failure.what(), "parsingFailed: mismatched tag at line 1, column 8");
    EXPECT_EQ(failure.code(), XMLErrorCode::parsingFailed);
    EXPECT_EQ(XMLError::name(XMLErrorCode::rootElementMissing), "rootElementMissing");
    EXPECT_EQ(XMLError::allCases.size(), 3u);
}

} // namespace
} // namespace xmltree
