#include "koltutils/Describe.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <optional>
#include <ostream>
#include <vector>

namespace koltutils {
namespace {

struct Streamed {
    int value;
    friend std::ostream& operator<<(std::ostream& stream, const Streamed& streamed) {
        return stream << "streamed " << streamed.value;
    }
};

struct WithBoth {
    std::string description() const { return "member wins"; }
    // Present only to be passed over, so never called.
    [[maybe_unused]] friend std::ostream& operator<<(std::ostream& stream, const WithBoth&) {
        return stream << "stream";
    }
};

TEST(Describe, DoublesPrintShortestRoundTripTextWithSwiftLayout) {
    const std::pair<double, const char*> cases[] = {
        {3.0, "3.0"},
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {0.1, "0.1"},
        {-2.5, "-2.5"},
        {1.0 / 3.0, "0.3333333333333333"},
        {123456.789, "123456.789"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {0.000015, "1.5e-05"},
        {1e15, "1000000000000000.0"},
        {9007199254740992.0, "9007199254740992.0"},
        {1e20, "1e+20"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::nan(""), "nan"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(describe(value), text);
        if (std::isfinite(value) && std::string(text).find('e') != std::string::npos) {
            EXPECT_EQ(std::stod(text), value) << text;
        }
    }
    EXPECT_EQ(describe(0.1f), "0.1");
    EXPECT_EQ(describe(16777216.0f), "16777216.0");
}

TEST(Describe, ScalarsTextAndAbsentValues) {
    EXPECT_EQ(describe(true), "true");
    EXPECT_EQ(describe(false), "false");
    EXPECT_EQ(describe('x'), "x");
    EXPECT_EQ(describe(std::uint8_t{200}), "200");
    EXPECT_EQ(describe(std::int64_t{-9007199254740993}), "-9007199254740993");
    EXPECT_EQ(describe(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615");
    EXPECT_EQ(describe("text"), "text");
    EXPECT_EQ(describe(static_cast<const char*>(nullptr)), "nil");
    EXPECT_EQ(describe(nullptr), "nil");
    EXPECT_EQ(describe(std::optional<int>{}), "nil");
    EXPECT_EQ(describe(std::optional<std::string>{"in"}), "in");
    EXPECT_EQ(describe(std::filesystem::path("/a b/c")), "/a b/c");
}

TEST(Describe, UserTypesUseDescriptionMemberBeforeStreaming) {
    EXPECT_EQ(describe(Streamed{4}), "streamed 4");
    EXPECT_EQ(describe(WithBoth{}), "member wins");
    EXPECT_EQ(describe(std::optional<Streamed>{Streamed{1}}), "streamed 1");
}

TEST(Describe, CollectionsQuoteTextElements) {
    EXPECT_EQ(describe(std::vector<std::string>{"a", "b\"c"}), R"(["a", "b\"c"])");
    EXPECT_EQ(describe(std::vector<int>{}), "[]");
    EXPECT_EQ(describe(std::vector<double>{1.0, 0.5}), "[1.0, 0.5]");
    EXPECT_EQ(describe(std::vector<std::optional<std::string>>{"x", std::nullopt}),
              R"([Optional("x"), nil])");
    EXPECT_EQ(describe(std::map<std::string, int>{{"b", 2}, {"a", 1}}), R"(["a": 1, "b": 2])");
    EXPECT_EQ(describe(std::map<std::string, int>{}), "[:]");
}

} // namespace
} // namespace koltutils
