#include "WorkspaceFixture.h"
#include "platform/AppDefaults.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace platform {
namespace {

namespace fs = std::filesystem;

class AppDefaultsTest : public ::testing::Test {
protected:
    AppDefaultsTest() {
        const auto parent = fs::path(VELOTRACK_BINARY_DIR) / "test-folders";
        fs::create_directories(parent);
        std::string pattern = (parent / "defaults-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        root_ = pattern;
        config_.emplace("XDG_CONFIG_HOME", root_.string());
    }
    ~AppDefaultsTest() override {
        config_.reset();
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path root_;
    std::optional<testing::ScopedEnvironment> config_;
};

TEST_F(AppDefaultsTest, ValuesRoundTripThroughAnXmlPropertyListPerIdentifier) {
    const auto defaults = AppDefaults::suite("com.korvane.velotrack");
    ASSERT_TRUE(defaults.has_value());
    EXPECT_EQ(defaults->file(), root_ / "com.korvane.velotrack" / "com.korvane.velotrack.plist");
    EXPECT_EQ(defaults->object("missing"), std::nullopt);

    EXPECT_TRUE(defaults->set("name", std::string("Velotrack")));
    EXPECT_TRUE(defaults->set("enabled", true));
    EXPECT_TRUE(defaults->set("count", std::int64_t{42}));
    EXPECT_TRUE(defaults->set("offset", std::int64_t{-7}));
    EXPECT_TRUE(defaults->set("ratio", 0.25));

    // A second handle on the same domain (another program) sees every value.
    const auto other = AppDefaults::suite("com.korvane.velotrack");
    EXPECT_EQ(other->string("name"), "Velotrack");
    EXPECT_EQ(other->boolean("enabled"), true);
    EXPECT_EQ(other->integer("count"), 42);
    EXPECT_EQ(other->integer("offset"), -7);
    EXPECT_EQ(other->real("ratio"), 0.25);
    // A value of another type is no answer.
    EXPECT_EQ(other->integer("name"), std::nullopt);

    EXPECT_TRUE(other->remove("name"));
    EXPECT_EQ(defaults->string("name"), std::nullopt);
    EXPECT_EQ(defaults->dictionaryRepresentation().size(), 4u);

    std::ifstream file(defaults->file());
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_THAT(text, ::testing::StartsWith("<?xml"));
    EXPECT_THAT(text, ::testing::HasSubstr("<key>count</key>"));

    // Domains are separate.
    EXPECT_EQ(AppDefaults::suite("com.korvane.kvntags")->integer("count"), std::nullopt);
}

TEST_F(AppDefaultsTest, RefusedDomainsAndUnreadableFiles) {
    EXPECT_EQ(AppDefaults::suite(""), std::nullopt);
    EXPECT_EQ(AppDefaults::suite("a/b"), std::nullopt);
    {
        // A file where the domain folder should be.
        std::ofstream(root_ / "com.korvane.blocked") << "x";
        EXPECT_EQ(AppDefaults::suite("com.korvane.blocked"), std::nullopt);
    }
    const auto defaults = AppDefaults::suite("com.korvane.kvn");
    std::ofstream(defaults->file()) << "<plist><dict><key>";
    EXPECT_TRUE(defaults->dictionaryRepresentation().empty());
    // Writing over an unreadable file starts afresh.
    EXPECT_TRUE(defaults->set("a", true));
    EXPECT_EQ(defaults->boolean("a"), true);
}

TEST_F(AppDefaultsTest, ConcurrentWritersLoseNothing) {
    const auto defaults = AppDefaults::suite("com.korvane.velotrack");
    std::vector<std::thread> writers;
    for (int index = 0; index < 8; ++index) {
        writers.emplace_back([&, index] {
            for (int round = 0; round < 10; ++round) {
                defaults->set("key" + std::to_string(index) + "-" + std::to_string(round),
                              std::int64_t{round});
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(defaults->dictionaryRepresentation().size(), 80u);
}

} // namespace
} // namespace platform
