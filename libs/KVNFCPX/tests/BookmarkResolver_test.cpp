#include "../src/Base64.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <kvnfcpx/BookmarkResolver.h>
#include <random>
#include <regex>
#include <sstream>

namespace kvnfcpx {
namespace {

const std::filesystem::path samples =
    std::filesystem::path(VELOTRACK_SOURCE_DIR) / "../shared/fcpxml-samples";

// The first <bookmark> text of a sample document, base64-decoded.
std::optional<std::vector<std::uint8_t>> firstBookmarkOf(const std::string& sample) {
    std::ifstream file(samples / sample);
    std::stringstream text;
    text << file.rdbuf();
    std::smatch match;
    const std::string document = text.str();
    if (!std::regex_search(document, match, std::regex("<bookmark>([^<]*)</bookmark>"))) {
        return std::nullopt;
    }
    return detail::decodeBase64(match[1].str());
}

TEST(RecordedPathBookmarkResolver, ReadsThePathOfARealBookmark) {
    if (!std::filesystem::exists(samples / "Complex.fcpxml")) {
        GTEST_SKIP() << "sample documents not found at " << samples;
    }
    const auto bookmark = firstBookmarkOf("Complex.fcpxml");
    ASSERT_TRUE(bookmark);
    const auto url = RecordedPathBookmarkResolver().resolve(*bookmark);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->path(), "/Volumes/Workspace/Dropbox/_coding/MarkersExtractor/FCP/Media/"
                           "Nature Makes You Happy.mp4");
    EXPECT_EQ(url->absoluteString(), "file:///Volumes/Workspace/Dropbox/_coding/"
                                     "MarkersExtractor/FCP/Media/Nature%20Makes%20You%20Happy.mp4");
}

TEST(RecordedPathBookmarkResolver, RefusesDamagedDataWithoutReadingOutOfBounds) {
    if (!std::filesystem::exists(samples / "Complex.fcpxml")) {
        GTEST_SKIP() << "sample documents not found at " << samples;
    }
    const auto bookmark = firstBookmarkOf("Complex.fcpxml").value();
    const RecordedPathBookmarkResolver resolver;
    // Cut short before its path array is complete, the data is refused.
    for (std::size_t length = 0; length < 0xDC; ++length) {
        EXPECT_FALSE(resolver.resolve(std::span(bookmark).first(length))) << length;
    }
    EXPECT_FALSE(resolver.resolve(std::vector<std::uint8_t>{'a', 'l', 'i', 's', 0, 0, 0, 0}));
    // Random damage may or may not leave a path, but is always read within bounds.
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        auto damaged = bookmark;
        for (int flip = 0; flip < 4; ++flip) {
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        }
        (void)resolver.resolve(damaged);
    }
}

TEST(Base64, DecodesOnlyPaddedStandardBase64) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(detail::decodeBase64("Ym9vaw=="), (Bytes{'b', 'o', 'o', 'k'}));
    EXPECT_EQ(detail::decodeBase64("Ym9vazE="), (Bytes{'b', 'o', 'o', 'k', '1'}));
    EXPECT_EQ(detail::decodeBase64(""), Bytes{});
    EXPECT_EQ(detail::decodeBase64("+/+/"), (Bytes{0xFB, 0xFF, 0xBF}));
    for (const char* invalid :
         {"Ym9vaw", "Ym9v aw==", "Ym9vaw=a", "Ym9v-w==", "Y===", "Ym9vaw==="}) {
        EXPECT_FALSE(detail::decodeBase64(invalid)) << invalid;
    }
}

} // namespace
} // namespace kvnfcpx
