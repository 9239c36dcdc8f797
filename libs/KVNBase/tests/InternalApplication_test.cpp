#include "WorkspaceFixture.h"
#include "koltutils/ScopedLogCapture.h"
#include "kvnbase/InternalApplication.h"
#include "kvninterchange/DecodingError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kvnbase {
namespace {

using kvninterchange::DecodingError;
using platform::testing::ApplicationFolderFixture;
using platform::testing::eventually;
using platform::testing::ScopedEnvironment;
using ::testing::ElementsAre;
using ::testing::MatchesRegex;

constexpr auto tags = InternalApplication::kvntags;

struct Failure {
    DecodingError::Kind kind;
    std::vector<std::string> codingPath;
    std::string description;
    bool operator==(const Failure&) const = default;
};

Failure failureDecoding(std::string_view json) {
    try {
        internalApplicationFromJSON(json);
    } catch (const DecodingError& error) {
        return {error.kind(), error.codingPath(), error.what()};
    }
    return {DecodingError::Kind::dataCorrupted, {}, "decoded"};
}

TEST(InternalApplication, StoredFormIsAOneKeyObject) {
    EXPECT_EQ(toJSON(InternalApplication::velotrack), R"({"velotrack":{}})");
    for (const auto application : koltutils::allCases<InternalApplication>()) {
        EXPECT_EQ(internalApplicationFromJSON(toJSON(application)), application);
    }
    EXPECT_EQ(internalApplicationFromJSON(R"( { "kvnfcpBridge" : { } } )"),
              InternalApplication::kvnfcpBridge);

    const Failure wrongKeyCount{
        DecodingError::Kind::typeMismatch, {}, "Invalid number of keys found, expected one."};
    EXPECT_EQ(failureDecoding(R"({"kvn":{},"kvntags":{}})"), wrongKeyCount);
    EXPECT_EQ(failureDecoding("{}"), wrongKeyCount);

    EXPECT_EQ(failureDecoding(R"({"Velotrack":{}})").codingPath,
              std::vector<std::string>{"Velotrack"});
    EXPECT_EQ(failureDecoding(R"({"velotrack":"yes"})"),
              (Failure{DecodingError::Kind::typeMismatch,
                       {"velotrack"},
                       "Expected to decode an object but found a string instead."}));
    EXPECT_EQ(failureDecoding(R"("velotrack")").kind, DecodingError::Kind::typeMismatch);
    EXPECT_EQ(failureDecoding("{").kind, DecodingError::Kind::dataCorrupted);
}

TEST(InternalApplication, OpeningAMissingApplicationLogsAndLaunchesNothing) {
    ApplicationFolderFixture fixture;
    const koltutils::ScopedLogCapture capture;
    EXPECT_FALSE(isInstalled(tags));
    EXPECT_EQ(url(tags), std::nullopt);
    open(tags, "com.korvane.velotrack");
    EXPECT_THAT(capture.lines(),
                ElementsAre(MatchesRegex("🚩 InternalApplication\\.cpp:open\\(referrer:\\):[0-9]+:"
                                         "url is nil")));
}

TEST(InternalApplication, OpenPassesTheReferrerToTheLaunchedApplication) {
    ApplicationFolderFixture fixture;
    const auto bundle = fixture.makeApplication("KVN Tags", "com.korvane.kvntags");
    EXPECT_TRUE(isInstalled(tags));
    EXPECT_EQ(url(tags), bundle);
    EXPECT_THAT(urls(tags), ElementsAre(bundle));
    EXPECT_FALSE(isRunning(tags));

    open(tags, "com.korvane.velotrack");
    ASSERT_TRUE(eventually([&] { return fixture.launchRecordOf("KVN Tags").has_value(); }));
    EXPECT_EQ(fixture.launchRecordOf("KVN Tags"), "com.korvane.velotrack");
    EXPECT_TRUE(isRunning(tags));
    EXPECT_FALSE(isRunning(InternalApplication::kvn));

    fixture.stop("KVN Tags");
    EXPECT_TRUE(eventually([] { return !isRunning(tags); }));
}

TEST(InternalApplication, OpenWithoutReferrerSetsNoVariable) {
    ApplicationFolderFixture fixture;
    const ScopedEnvironment clean("referrer", std::nullopt);
    fixture.makeApplication("Velotrack", "com.korvane.velotrack");
    open(InternalApplication::velotrack, std::nullopt);
    ASSERT_TRUE(eventually([&] { return fixture.launchRecordOf("Velotrack").has_value(); }));
    EXPECT_EQ(fixture.launchRecordOf("Velotrack"), "-");
}

TEST(InternalApplication, DownloadOpensTheMakersHomePage) {
    ApplicationFolderFixture fixture;
    fixture.recordOpenedURLs();
    const auto page = downloadURL(InternalApplication::kvn);
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->scheme(), "https");
    EXPECT_EQ(downloadURL(InternalApplication::velotrackExtension), page);

    download(InternalApplication::velotrackExtension);
    ASSERT_TRUE(eventually([&] { return !fixture.openedURLs().empty(); }));
    EXPECT_THAT(fixture.openedURLs(), ElementsAre(page->absoluteString()));
}

TEST(InternalApplication, CachesDirectoryIsASiblingOfOurOwn) {
    {
        const ScopedEnvironment caches("XDG_CACHE_HOME", "/var/cache/someone");
        EXPECT_EQ(cachesDirectory(tags),
                  std::filesystem::path("/var/cache/someone/com.korvane.kvntags"));
    }
    {
        const ScopedEnvironment caches("XDG_CACHE_HOME", std::nullopt);
        const ScopedEnvironment home("HOME", "/home/someone");
        EXPECT_EQ(cachesDirectory(InternalApplication::kvn),
                  std::filesystem::path("/home/someone/.cache/com.korvane.KVN"));
    }
    const ScopedEnvironment caches("XDG_CACHE_HOME", "relative/cache");
    const ScopedEnvironment home("HOME", std::nullopt);
    EXPECT_EQ(cachesDirectory(tags), std::nullopt);
}

TEST(InternalApplication, UserDefaultsAreTheDomainOfTheBundleIdentifier) {
    const ApplicationFolderFixture fixture;
    const ScopedEnvironment config("XDG_CONFIG_HOME", (fixture.root() / "config").string());
    const auto defaults = userDefaults(tags);
    ASSERT_TRUE(defaults.has_value());
    EXPECT_EQ(defaults->identifier(), "com.korvane.kvntags");
    EXPECT_TRUE(defaults->set("seen", true));
    EXPECT_EQ(platform::AppDefaults::suite("com.korvane.kvntags")->boolean("seen"), true);
    EXPECT_EQ(userDefaults(InternalApplication::kvn)->boolean("seen"), std::nullopt);

    const ScopedEnvironment noConfig("XDG_CONFIG_HOME", std::nullopt);
    const ScopedEnvironment noHome("HOME", std::nullopt);
    EXPECT_EQ(userDefaults(tags), std::nullopt);
}

} // namespace
} // namespace kvnbase
