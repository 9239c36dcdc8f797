#include "koltutils/DescribedError.h"
#include "kvninterchange/KVNURLCommand.h"
#include "kvninterchange/KVNURLScheme.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kvninterchange {
namespace {

using QueryItem = koltutils::URL::QueryItem;
using ::testing::ElementsAre;

koltutils::URL urlFrom(std::string_view text) {
    auto url = koltutils::URL::fromString(text);
    if (!url) {
        throw std::invalid_argument("not a URL: " + std::string(text));
    }
    return *url;
}

std::string refusal(std::string_view text) {
    try {
        KVNURLCommand command(urlFrom(text));
    } catch (const koltutils::DescribedError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(KVNURLCommand, PresetOpensTheLibraryAtTheEditorsExtensionPage) {
    const KVNURLCommand command(KVNURLCommand::Preset::openfinalCutProExtension());
    EXPECT_EQ(command.name, KVNURLCommand::Name::library);
    EXPECT_EQ(command.url.absoluteString(),
              "korvane://library?section=Extensions&subsection=finalCutPro");
    ASSERT_TRUE(command.components.has_value());
    EXPECT_EQ(command.components->scheme, "korvane");
    EXPECT_EQ(command.components->host, "library");
    EXPECT_THAT(
        command.components->queryItems.value_or(std::vector<QueryItem>{}),
        ElementsAre(QueryItem{"section", "Extensions"}, QueryItem{"subsection", "finalCutPro"}));
}

TEST(KVNURLCommand, CommandWithoutQuery) {
    const KVNURLCommand open(urlFrom("korvane://open"));
    EXPECT_EQ(open.name, KVNURLCommand::Name::open);
    EXPECT_EQ(open.components->queryItems, std::nullopt);
    EXPECT_EQ(KVNURLCommand(urlFrom("korvane://login?")).name, KVNURLCommand::Name::login);
}

TEST(KVNURLCommand, RefusesOtherSchemesAndUnknownCommands) {
    EXPECT_EQ(refusal("KORVANE://open"), "Invalid scheme KORVANE");
    EXPECT_EQ(refusal("epidemic://open"), "Invalid scheme epidemic");
    EXPECT_EQ(refusal("open"), "Invalid scheme ?");
    EXPECT_EQ(refusal("korvane://settings"), "Invalid command korvane://settings");
    EXPECT_EQ(refusal("korvane://open/"), "Invalid command korvane://open/");
    EXPECT_EQ(refusal("korvane:open"), "Invalid command korvane:open");
    EXPECT_EQ(refusal("korvane://?open"), "Invalid command korvane://?open");
    EXPECT_EQ(refusal("korvane://Library"), "Invalid command korvane://Library");
}

TEST(KVNURLScheme, RecognisesSchemesInAnyCase) {
    EXPECT_TRUE(isKorvane(urlFrom("KORVANE://open")));
    EXPECT_FALSE(isEpidemic(urlFrom("KORVANE://open")));
    EXPECT_TRUE(isEpidemic(urlFrom("Epidemic://track/1")));
    EXPECT_FALSE(isKorvane(urlFrom("library?section=x")));
}

} // namespace
} // namespace kvninterchange
