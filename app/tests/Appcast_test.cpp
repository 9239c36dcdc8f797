#include "Appcast.h"
#include "koltutils/DescribedError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using velotrack::Appcast;
using velotrack::AppcastItem;

namespace {

std::string feedWith(const std::string& items) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Velotrack</title>)" +
           items + "</channel></rss>";
}

} // namespace

TEST(Appcast, ReadsVersionsFromElementsAndEnclosureAttributes) {
    const auto appcast = Appcast::parse(feedWith(R"(
<item><title>1.1</title><sparkle:version>11</sparkle:version>
  <sparkle:shortVersionString>1.1</sparkle:shortVersionString>
  <link>https://korvane.com/velotrack</link>
  <enclosure url="https://korvane.com/v11.dmg" sparkle:version="999"/></item>
<item><enclosure url="https://korvane.com/v12.dmg" sparkle:version="12"
  sparkle:shortVersionString="1.2"/></item>
<item><title>no version, left out</title><enclosure url="https://korvane.com/x.dmg"/></item>)"));

    EXPECT_THAT(appcast.items,
                testing::ElementsAre(AppcastItem{"11", "1.1", "https://korvane.com/velotrack"},
                                     AppcastItem{"12", "1.2", "https://korvane.com/v12.dmg"}));
}

TEST(Appcast, NewestItemIsTheHighestVersionWhateverItsPlace) {
    const auto appcast = Appcast::parse(feedWith(R"(
<item><sparkle:version>1.9</sparkle:version></item>
<item><sparkle:version>1.10</sparkle:version></item>
<item><sparkle:version>1.10b3</sparkle:version></item>)"));
    ASSERT_TRUE(appcast.newestItem());
    EXPECT_EQ(appcast.newestItem()->version, "1.10");
    EXPECT_EQ(appcast.newestItem()->displayVersion(), "1.10");
    EXPECT_EQ(Appcast::parse(feedWith("")).newestItem(), std::nullopt);
}

TEST(Appcast, RejectsWhatIsNoFeedWithAMessage) {
    EXPECT_THROW(Appcast::parse("<html><body>Not found</body></html>"), koltutils::DescribedError);
    try {
        Appcast::parse(feedWith("<item><sparkle:version>1</item>"));
        FAIL() << "a malformed feed was accepted";
    } catch (const koltutils::DescribedError& error) {
        EXPECT_THAT(error.what(), testing::StartsWith("The update feed is not well-formed XML"));
    }
    EXPECT_THROW(Appcast::parse(""), koltutils::DescribedError);
}
