#include "koltutils/Entropy.h"
#include "koltutils/URL.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unordered_set>

namespace koltutils {
namespace {

namespace fs = std::filesystem;
using Item = URL::QueryItem;
using ::testing::ElementsAre;

URL url(std::string_view text) {
    auto parsed = URL::fromString(text);
    EXPECT_TRUE(parsed) << text;
    return parsed.value_or(URL::fileURL("/", true));
}

TEST(URL, FromStringAcceptsUriReferencesAndRejectsInvalidText) {
    for (const char* valid : {"https://example.com/a?b=c#d", "file:///tmp/x", "a/b", "?q",
                              "http://[::1]:80/", "korvane://open?x=1", "mailto:me@example.com"}) {
        const auto parsed = URL::fromString(valid);
        ASSERT_TRUE(parsed) << valid;
        EXPECT_EQ(parsed->absoluteString(), valid);
    }
    for (const char* invalid :
         {"", "has space", "http://a b/", "%zz", "http://x/%4", "a\"b", "http://ü.de/"}) {
        EXPECT_FALSE(URL::fromString(invalid)) << invalid;
    }
    EXPECT_FALSE(URL::fromString(std::string_view("file:///a\0b", 11)));
}

TEST(URL, ComponentsAreSplitAndDecoded) {
    const auto web = url("HTTPS://user@ex%41mple.com:8080/a%20b/c.d/?x=%2F#frag");
    EXPECT_EQ(web.scheme(), "HTTPS");
    EXPECT_EQ(web.host(), "exAmple.com");
    EXPECT_EQ(web.path(), "/a b/c.d");
    EXPECT_EQ(web.query(), "x=%2F");
    EXPECT_EQ(web.fragment(), "frag");
    EXPECT_FALSE(web.isFileURL());
    EXPECT_TRUE(web.hasDirectoryPath());
    EXPECT_EQ(web.lastPathComponent(), "c.d");
    EXPECT_EQ(web.pathExtension(), "d");

    EXPECT_EQ(url("http://[fe80::1]:80/").host(), "fe80::1");
    const auto file = url("FILE:///");
    EXPECT_TRUE(file.isFileURL());
    EXPECT_EQ(file.host(), std::nullopt);
    EXPECT_EQ(file.path(), "/");
    EXPECT_EQ(file.lastPathComponent(), "/");
    EXPECT_EQ(file.pathExtension(), "");
    const auto relative = url("docs/readme");
    EXPECT_EQ(relative.scheme(), std::nullopt);
    EXPECT_EQ(relative.path(), "docs/readme");
    EXPECT_EQ(relative.query(), std::nullopt);
    EXPECT_EQ(url("http://host").path(), "");
}

TEST(URL, PathExtensionNeedsTextOnBothSidesOfTheDot) {
    EXPECT_EQ(url("file:///a/archive.tar.gz").pathExtension(), "gz");
    EXPECT_EQ(url("file:///a/.hidden").pathExtension(), "");
    EXPECT_EQ(url("file:///a/name.").pathExtension(), "");
    EXPECT_EQ(url("file:///a.d/name").pathExtension(), "");
    EXPECT_EQ(url("file:///a/Project.fcpxmld/").pathExtension(), "fcpxmld");
}

TEST(URL, QueryItemsKeepOrderAndAbsentValues) {
    EXPECT_EQ(url("korvane://open").queryItems(), std::nullopt);
    EXPECT_EQ(url("korvane://open?").queryItems(), std::vector<Item>{});
    EXPECT_THAT(*url("korvane://open?b=2&a&c=&d=x=y&e=%26%20+&&").queryItems(),
                ElementsAre(Item{"b", "2"}, Item{"a", std::nullopt}, Item{"c", ""},
                            Item{"d", "x=y"}, Item{"e", "& +"}, Item{"", std::nullopt},
                            Item{"", std::nullopt}));
}

TEST(URL, FileURLsEncodeAndRoundTripPaths) {
    const auto plain = URL::fileURL("/Users/me/My Movie #1?.mov", false);
    EXPECT_EQ(plain.absoluteString(), "file:///Users/me/My%20Movie%20%231%3F.mov");
    EXPECT_EQ(plain.path(), "/Users/me/My Movie #1?.mov");
    EXPECT_EQ(plain.lastPathComponent(), "My Movie #1?.mov");
    EXPECT_EQ(URL::fromString(plain.absoluteString()), plain);

    const auto accented = URL::fileURL("/tmp/Café 100%", true);
    EXPECT_EQ(accented.absoluteString(), "file:///tmp/Caf%C3%A9%20100%25/");
    EXPECT_EQ(accented.path(), "/tmp/Café 100%");

    const auto temp = fs::temp_directory_path();
    EXPECT_TRUE(URL::fileURL(temp).hasDirectoryPath()) << "existing folders get a slash";
    EXPECT_FALSE(URL::fileURL(temp / "no-such-entry-here").hasDirectoryPath());
    EXPECT_TRUE(URL::fileURL("/no/such/folder/").hasDirectoryPath());
    EXPECT_EQ(URL::fileURL("relative/name", false).path(),
              (fs::current_path() / "relative/name").string());
}

TEST(URL, PathEditsKeepQueryAndDirectoryMarks) {
    const auto movie = url("file:///a/b/Movie.mov");
    EXPECT_EQ(movie.deletingLastPathComponent().absoluteString(), "file:///a/b/");
    EXPECT_EQ(movie.deletingLastPathComponent().deletingLastPathComponent().absoluteString(),
              "file:///a/");
    EXPECT_EQ(url("file:///a/b/").deletingLastPathComponent().absoluteString(), "file:///a/");
    EXPECT_EQ(url("file:///a").deletingLastPathComponent().absoluteString(), "file:///");
    EXPECT_EQ(url("file:///").deletingLastPathComponent().absoluteString(), "file:///../");
    EXPECT_EQ(url("name").deletingLastPathComponent().absoluteString(), "./");

    EXPECT_EQ(movie.deletingPathExtension().absoluteString(), "file:///a/b/Movie");
    EXPECT_EQ(url("file:///a/x.fcpxmld/").deletingPathExtension().absoluteString(), "file:///a/x/");
    EXPECT_EQ(url("file:///a/.hidden").deletingPathExtension().absoluteString(),
              "file:///a/.hidden");
    EXPECT_EQ(url("file:///a.b/c").deletingPathExtension().absoluteString(), "file:///a.b/c");
    EXPECT_EQ(movie.deletingPathExtension().appendingPathExtension("fcpxml").absoluteString(),
              "file:///a/b/Movie.fcpxml");

    const auto web = url("https://h.com/api?x=1#top");
    EXPECT_EQ(web.appendingPathComponent("a b/c?", false).absoluteString(),
              "https://h.com/api/a%20b/c%3F?x=1#top");
    EXPECT_EQ(url("https://h.com").appendingPathComponent("v1", true).absoluteString(),
              "https://h.com/v1/");
    EXPECT_EQ(url("https://h.com/x/").appendingPathComponent("/y", false).absoluteString(),
              "https://h.com/x/y");
    // A colon in the first segment of a relative reference must not turn into a scheme.
    const auto relative = url("?q").appendingPathComponent("a:b", false);
    EXPECT_EQ(relative.absoluteString(), "./a:b?q");
    EXPECT_EQ(relative.scheme(), std::nullopt);
}

TEST(URL, AppendingToAFileURLLooksForAFolder) {
    const auto temp = fs::temp_directory_path();
    const auto folder = temp / ("koltutils-url-" + Entropy::uniqueId());
    fs::create_directories(folder / "inner");
    const auto base = URL::fileURL(folder, true);
    EXPECT_TRUE(base.appendingPathComponent("inner").hasDirectoryPath());
    EXPECT_FALSE(base.appendingPathComponent("missing").hasDirectoryPath());
    EXPECT_EQ(base.appendingPathComponent("inner").path(), (folder / "inner").string());
    fs::remove_all(folder);
}

TEST(URL, EqualityAndHashFollowTheText) {
    const std::unordered_set<URL> urls{url("file:///a/"), url("file:///a"), url("file:///a/"),
                                       url("FILE:///a")};
    EXPECT_EQ(urls.size(), 3u);
    EXPECT_NE(url("file:///a"), url("file:///a/"));
    EXPECT_EQ(URL::fileURL("/a b", false), url("file:///a%20b"));
    EXPECT_EQ(url("https://x.org/p").description(), "https://x.org/p");
}

} // namespace
} // namespace koltutils
