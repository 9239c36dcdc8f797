#include "../src/GroupIdentifiers.h"
#include "TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/DescribedError.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <set>
#include <string>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {
namespace {

using testing::TemporaryFolder;
using Kind = LoadingError::Kind;

const std::filesystem::path examples = std::filesystem::path(VELOTRACK_SOURCE_DIR) / "examples";

struct Failure {
    Kind kind = Kind::doesNotExist;
    bool wasRead = false;
    std::string reason;
};

template <typename Load> std::optional<Failure> failureOf(Load&& load) {
    try {
        load();
    } catch (const LoadingError& error) {
        return Failure{error.kind(), error.wasRead(), error.what()};
    }
    return std::nullopt;
}

std::optional<Failure> fileFailure(const std::filesystem::path& path) {
    return failureOf([&] { FCPXMLDescription::loadFile(path); });
}

std::optional<Failure> bytesFailure(std::string_view bytes) {
    return failureOf([&] {
        FCPXMLDescription::loadBytes(
            {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    });
}

TEST(FCPXMLDescriptionDiagnosing, SaysWhichStepFailedAndWhetherTheInputWasRead) {
    const TemporaryFolder folder;
    std::filesystem::create_directories(folder.path() / "empty.fcpxmld");
    folder.write("bundle.fcpxmld/notes.txt", "");
    struct Case {
        std::filesystem::path path;
        Kind kind;
        bool wasRead;
        std::string reason;
    };
    const std::vector<Case> cases{
        {folder.path() / "missing.fcpxml", Kind::doesNotExist, false, "does not exist"},
        {folder.path() / "empty.fcpxmld", Kind::folderWithoutDocument, false,
         "is a folder without an .fcpxml file inside"},
        {folder.path() / "bundle.fcpxmld", Kind::folderWithoutDocument, false,
         "is a folder without an .fcpxml file inside"},
        {folder.write("plain.xml", "<fcpxml version=\"1.11\"/>"), Kind::notFCPXMLFile, true,
         "is not an .fcpxml file (by its extension)"},
        {folder.write("latin.fcpxml", "<fcpxml version=\"1.11\">\xE9t\xE9</fcpxml>"), Kind::notUTF8,
         true, "is not UTF-8 (first bad byte at offset 23)"},
        {folder.write("old.fcpxml", "<fcpxml version=\"1.5\"/>"), Kind::notFCPXML, true,
         "Sorry, fcpxml 1.5 isn't supported. Please use 1.6, 1.7, 1.8, 1.9, 1.10, 1.11, 1.12 "
         "or 1.13"},
    };
    for (const auto& expected : cases) {
        const auto failure = fileFailure(expected.path);
        ASSERT_TRUE(failure) << expected.path;
        EXPECT_EQ(failure->kind, expected.kind) << expected.path;
        EXPECT_EQ(failure->wasRead, expected.wasRead) << expected.path;
        EXPECT_EQ(failure->reason, expected.reason) << expected.path;
    }
    // The bytes route reports bytes that are not UTF-8 as the file route does, unless the
    // document declares another encoding, which it then reads.
    const auto latin = bytesFailure("<fcpxml version=\"1.11\">\xE9t\xE9</fcpxml>");
    ASSERT_TRUE(latin);
    EXPECT_EQ(latin->reason, "is not UTF-8 (first bad byte at offset 23)");
    EXPECT_FALSE(bytesFailure("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                              "<fcpxml version=\"1.11\">\xE9t\xE9</fcpxml>"));
}

TEST(FCPXMLDescriptionDiagnosing, PlacesXMLErrorsInTheFileAsWritten) {
    const TemporaryFolder folder;
    // The file route parses the text with its line breaks and tabs removed; the place must
    // still be the file's own line and column, the same the bytes route reports.
    for (const std::string newline : {"\n", "\r\n", "\r"}) {
        const std::string mismatched = "<fcpxml version=\"1.11\">" + newline + "  <project>" +
                                       newline + "\t<sequence>" + newline + "  </project>" +
                                       newline + "</fcpxml>" + newline;
        const auto byPath = fileFailure(folder.write("mismatched.fcpxml", mismatched));
        ASSERT_TRUE(byPath);
        EXPECT_EQ(byPath->kind, Kind::notXML);
        EXPECT_EQ(byPath->reason, "mismatched tag at line 4, column 4");
        EXPECT_EQ(bytesFailure(mismatched)->reason, byPath->reason);
    }
    const std::string truncated = "<fcpxml version=\"1.11\">\n  <project name=\"Caf\xC3\xA9\">\n";
    const auto byPath = fileFailure(folder.write("truncated.fcpxml", truncated));
    ASSERT_TRUE(byPath);
    EXPECT_EQ(byPath->reason, "no element found at line 3, column 0");
    EXPECT_EQ(bytesFailure(truncated)->reason, byPath->reason);
    const std::string afterAccent = "<fcpxml version=\"1.11\">\n  <a b=\"\xC3\xA9\xC3\xA9\" <c/>";
    EXPECT_EQ(fileFailure(folder.write("accent.fcpxml", afterAccent))->reason,
              bytesFailure(afterAccent)->reason);
}

TEST(FCPXMLDescriptionDiagnosing, GivesTheFileRoutesDescription) {
    const auto path = examples / "coastline-trailer-1.11.fcpxml";
    const auto plain = FCPXMLDescription::fromFile(path);
    ASSERT_TRUE(plain);
    const auto diagnosed = FCPXMLDescription::loadFile(path);
    EXPECT_EQ(diagnosed.project, plain->project);
    EXPECT_EQ(diagnosed.resources, plain->resources);
    EXPECT_EQ(diagnosed.version, plain->version);

    // A bundle is read through its XML file.
    const auto bundle = examples / "tide-tables-podcast-episode-12.fcpxmld";
    EXPECT_EQ(FCPXMLDescription::loadFile(bundle).project,
              FCPXMLDescription::fromFile(*FCPXMLDescription::xmlFileInBundle(bundle))->project);
}

std::set<std::string> groupIdsOf(const FCPXMLDescription& description) {
    std::set<std::string> ids;
    for (const auto& clip : description.project->sequence->content->assetClips) {
        if (clip.groupId) {
            ids.insert(*clip.groupId);
        }
    }
    return ids;
}

TEST(FCPXMLDescriptionDiagnosing, NumbersGroupIdentifiersOnRequest) {
    const auto path = examples / "synced-scene-with-compound-bed.fcpxml";
    const ParserOptions stable{.stableIdentifiers = true};
    const auto first = FCPXMLDescription::loadFile(path, stable);
    EXPECT_EQ(first.project, FCPXMLDescription::loadFile(path, stable).project);
    EXPECT_TRUE(first.parserOptions.stableIdentifiers);
    const auto ids = groupIdsOf(first);
    // The sync clip comes first in the walk and makes two identifiers, its source's and the
    // one of the clips beside it; the compound clips after it count on from 2.
    EXPECT_TRUE(ids.contains("sync-clip_2222222222")) << ::testing::PrintToString(ids);
    EXPECT_TRUE(ids.contains("sync-clip_2222222223")) << ::testing::PrintToString(ids);
    EXPECT_TRUE(ids.contains("ref-clip_2222222224")) << ::testing::PrintToString(ids);

    // Random by default: the identifiers differ from one load to the next.
    const auto randomIds = groupIdsOf(FCPXMLDescription::loadFile(path));
    EXPECT_EQ(randomIds.size(), ids.size());
    EXPECT_NE(randomIds, groupIdsOf(FCPXMLDescription::loadFile(path)));
    EXPECT_FALSE(randomIds.contains("sync-clip_2222222222"));

    // Base 32 over the identifier alphabet, most significant first, ten characters.
    EXPECT_EQ(detail::stableIdentifier(31), "222222222T");
    EXPECT_EQ(detail::stableIdentifier(32), "2222222232");
    EXPECT_EQ(detail::stableIdentifier(32 * 32 + 5), "2222222328");
}

TEST(FCPXMLDescriptionDiagnosing, ReadsNewerVersionsOnlyOnRequest) {
    const ParserOptions newer{.acceptNewerVersions = true};
    for (const std::string version : {"1.14", "1.20", "1.100"}) {
        const auto text = "<fcpxml version=\"" + version + "\"/>";
        const auto bytes =
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        const auto description = FCPXMLDescription::loadBytes(bytes, newer);
        EXPECT_EQ(description.version, Version::v1_13) << version;
        EXPECT_EQ(description.versionAsWritten(), version);
        const auto refused = bytesFailure(text);
        ASSERT_TRUE(refused) << version;
        EXPECT_EQ(refused->kind, Kind::notFCPXML);
    }
    for (const std::string version : {"1.5", "2.0", "1.14a", " 1.14", "1.", "1.013", "1.-14"}) {
        const auto text = "<fcpxml version=\"" + version + "\"/>";
        EXPECT_THROW(FCPXMLDescription::fromDocument(xmltree::XMLDocument::fromText(text), newer),
                     koltutils::DescribedError)
            << version;
    }
    // A real export of a newer editor: read as 1.13 with what the engine knows in it.
    const auto sample = std::filesystem::path(VELOTRACK_SOURCE_DIR) /
                        "../shared/fcpxml-samples/HiddenMarkers.fcpxml";
    const auto description = FCPXMLDescription::loadFile(sample, newer);
    EXPECT_EQ(description.versionAsWritten(), "1.14");
    ASSERT_TRUE(description.project && description.project->sequence);
    // The event of the library stands in for the project.
    EXPECT_EQ(description.project->name, "18-7-26");
    EXPECT_EQ(description.sequenceFormat()->name, "FFVideoFormat1080p25");
    EXPECT_EQ(fileFailure(sample)->kind, Kind::notFCPXML);
}

} // namespace
} // namespace kvnfcpx
