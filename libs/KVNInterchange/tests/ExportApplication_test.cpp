#include "WorkspaceFixture.h"
#include "kvninterchange/DecodingError.h"
#include "kvninterchange/ExportApplication.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>

namespace kvninterchange {
namespace {

using platform::testing::ApplicationFolderFixture;
using platform::testing::eventually;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr auto finalCutPro = ExportApplication::finalCutPro;

TEST(ExportApplication, TableRulesHold) {
    std::set<std::string_view> names;
    std::set<std::string_view> identifiers;
    std::size_t identifierCount = 0;
    for (const auto application : koltutils::allCases<ExportApplication>()) {
        EXPECT_EQ(koltutils::fromRawValue<ExportApplication>(koltutils::rawValue(application)),
                  application);
        EXPECT_EQ(exportApplicationFromName(name(application)), application);
        names.insert(name(application));
        identifierCount += bundleIDs(application).size();
        identifiers.insert(bundleIDs(application).begin(), bundleIDs(application).end());
    }
    EXPECT_EQ(names.size(), 8U);
    EXPECT_EQ(identifiers.size(), identifierCount) << "an identifier names two applications";
}

TEST(ExportApplication, LooksUpByExactName) {
    EXPECT_EQ(exportApplicationFromName("Final Cut Pro"), finalCutPro);
    EXPECT_EQ(exportApplicationFromName("final cut pro"), std::nullopt);
    EXPECT_EQ(exportApplicationFromName("Final Cut Pro "), std::nullopt);
}

TEST(ExportApplication, OnlyThreeVendorsHaveDownloadPages) {
    for (const auto application : koltutils::allCases<ExportApplication>()) {
        const auto address = downloadURL(application);
        const bool hasPage = application == ExportApplication::premiere ||
                             application == ExportApplication::resolve ||
                             application == finalCutPro;
        ASSERT_EQ(address.has_value(), hasPage) << koltutils::rawValue(application);
        if (address) {
            EXPECT_EQ(address->scheme(), "https");
        }
    }
}

TEST(ExportApplication, EditorIsInstalledThroughAnyIdentifierPreferringTheFirst) {
    ApplicationFolderFixture fixture;
    EXPECT_FALSE(isInstalled(finalCutPro));
    EXPECT_EQ(url(finalCutPro), std::nullopt);
    EXPECT_EQ(finderIcon(finalCutPro), std::nullopt);

    const auto trial = fixture.makeApplication("Final Cut Pro Trial", "com.apple.FinalCutTrial");
    EXPECT_TRUE(isInstalled(finalCutPro));
    EXPECT_EQ(url(finalCutPro), trial);

    const auto older = fixture.makeApplication("Final Cut Pro 10", "com.apple.FinalCutPro", "Old");
    EXPECT_EQ(url(finalCutPro), older);

    // Two copies of one identifier count once: its first location.
    const auto release = fixture.makeApplication("Final Cut Pro", "com.apple.FinalCut");
    fixture.makeApplication("Final Cut Pro", "com.apple.FinalCut", "Zeta");
    EXPECT_THAT(urls(finalCutPro), ElementsAre(release, older, trial));
    EXPECT_EQ(installations(finalCutPro).back(),
              (ExportApplicationInstallation{"com.apple.FinalCutTrial", trial}));
    EXPECT_EQ(url(finalCutPro), release);
    EXPECT_EQ(finderIcon(finalCutPro)->themeName, "application-x-executable");

    EXPECT_FALSE(isInstalled(ExportApplication::logic));
    EXPECT_THAT(urls(ExportApplication::logic), IsEmpty());
}

TEST(ExportApplication, OpenLaunchesTheInstalledEditorAndRunningFollowsIt) {
    ApplicationFolderFixture fixture;
    open(finalCutPro); // not installed: nothing happens
    fixture.makeApplication("Final Cut Pro Trial", "com.apple.FinalCutTrial");
    EXPECT_FALSE(isRunning(finalCutPro));

    open(finalCutPro);
    ASSERT_TRUE(eventually([] { return isRunning(finalCutPro); }));
    EXPECT_FALSE(isRunning(ExportApplication::resolve));
    // A second open lets the running instance answer.
    open(finalCutPro);
    EXPECT_EQ(platform::Workspace::shared().runningApplications("com.apple.FinalCutTrial").size(),
              1U);

    fixture.stop("Final Cut Pro Trial");
    EXPECT_TRUE(eventually([] { return !isRunning(finalCutPro); }));
}

TEST(ExportApplication, DownloadOpensTheProductPageOrNothing) {
    ApplicationFolderFixture fixture;
    fixture.recordOpenedURLs();
    download(ExportApplication::audition);
    download(finalCutPro);
    ASSERT_TRUE(eventually([&] { return !fixture.openedURLs().empty(); }));
    EXPECT_THAT(fixture.openedURLs(), ElementsAre(downloadURL(finalCutPro)->absoluteString()));
}

TEST(ExportApplication, StoredFormIsTheRawValue) {
    EXPECT_EQ(toJSON(ExportApplication::studioOne), "\"studioOne\"");
    for (const auto application : koltutils::allCases<ExportApplication>()) {
        EXPECT_EQ(exportApplicationFromJSON(toJSON(application)), application);
    }

    const auto failure = [](std::string_view json) {
        try {
            exportApplicationFromJSON(json);
        } catch (const DecodingError& error) {
            return std::make_pair(error.kind(), std::string(error.what()));
        }
        return std::make_pair(DecodingError::Kind::dataCorrupted, std::string("decoded"));
    };
    EXPECT_EQ(failure("\"Logic\""),
              std::make_pair(DecodingError::Kind::dataCorrupted,
                             std::string("Cannot initialize ExportApplication from invalid String "
                                         "value Logic")));
    EXPECT_EQ(
        failure("{\"logic\":{}}"),
        std::make_pair(DecodingError::Kind::typeMismatch,
                       std::string("Expected to decode a string but found an object instead.")));
    EXPECT_EQ(failure("\"logic"),
              std::make_pair(DecodingError::Kind::dataCorrupted,
                             std::string("The given data was not valid JSON.")));
}

} // namespace
} // namespace kvninterchange
