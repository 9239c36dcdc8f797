#include "TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <koltutils/DescribedError.h>
#include <koltutils/Log.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <string>
#include <xmltree/XMLDocument.h>

namespace kvnfcpx {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using testing::TemporaryFolder;

const std::string dataFolder = std::string(VELOTRACK_SOURCE_DIR) + "/libs/KVNFCPX/tests/data/";

// The message of the described error that loading `xml` throws; empty when it loads.
std::string loadingError(const std::string& xml) {
    try {
        FCPXMLDescription::fromText(xml);
    } catch (const koltutils::DescribedError& error) {
        return error.what();
    }
    return {};
}

std::string documentWithVersion(const std::string& version) {
    return "<fcpxml version=\"" + version + "\"/>";
}

TEST(FCPXMLDescriptionLoading, RefusesDocumentsThatAreNotFcpxml) {
    EXPECT_EQ(loadingError("<FCPXML version=\"1.10\"/>"), "This isn't a fcpxml document.");
    EXPECT_EQ(loadingError("<xml version=\"1.10\"/>"), "This isn't a fcpxml document.");
    EXPECT_THROW(FCPXMLDescription::fromDocument(xmltree::XMLDocument::create()),
                 koltutils::DescribedError);
    EXPECT_EQ(loadingError("<fcpxml/>"), "Didn't find the version of this document");
}

TEST(FCPXMLDescriptionLoading, AcceptsExactlyTheSupportedVersionTexts) {
    const std::string unsupported = " isn't supported. Please use 1.6, 1.7, 1.8, 1.9, 1.10, "
                                    "1.11, 1.12 or 1.13";
    for (const std::string text : {"1.5", "1.14", " 1.10", "1.10.0", "1.1", "1.90", ""}) {
        EXPECT_EQ(loadingError(documentWithVersion(text)), "Sorry, fcpxml " + text + unsupported)
            << text;
    }
    for (const Version version : koltutils::allCases<Version>()) {
        const auto text = std::string(stringValue(version));
        EXPECT_EQ(FCPXMLDescription::fromText(documentWithVersion(text)).version, version);
    }
    EXPECT_GT(Version::v1_10, Version::v1_9);
}

TEST(FCPXMLDescriptionLoading, KeepsTheTreeAndLeavesMissingPartsAbsent) {
    const auto description = FCPXMLDescription::fromText(documentWithVersion("1.11"), true);
    ASSERT_NE(description.document, nullptr);
    EXPECT_EQ(description.document->root()->name(), "fcpxml");
    EXPECT_TRUE(description.parserOptions.validateMedia);
    EXPECT_FALSE(description.library);
    EXPECT_FALSE(description.project);
    EXPECT_FALSE(description.resources);
    EXPECT_FALSE(description.importOptions);
}

TEST(FCPXMLDescriptionLoading, ReadsImportOptionsOnlyWhenAnOptionIsThere) {
    const TemporaryFolder folder;
    const auto existing = folder.write("Library.fcpbundle/x", "");
    const auto withOptions = [](const std::string& options) {
        return FCPXMLDescription::fromText("<fcpxml version=\"1.10\"><import-options>" + options +
                                           "</import-options></fcpxml>")
            .importOptions;
    };

    EXPECT_FALSE(withOptions(""));
    EXPECT_FALSE(withOptions("<other/>"));
    EXPECT_EQ(withOptions("<option key=\"library location\">file:///no/such/Library.fcpbundle"
                          "</option>"),
              (ImportOptions{std::nullopt, 0, 1}));
    // The location is the option's text; its `value` attribute is not consulted.
    const std::string location = "file://" + existing.parent_path().string();
    EXPECT_EQ(withOptions("<option key=\"library location\" value=\"" + location + "\"/>"),
              (ImportOptions{std::nullopt, 0, 1}));
    const auto found = withOptions("<option key=\"copy assets\">1</option>"
                                   "<option key=\"library location\">" +
                                   location + "</option>");
    ASSERT_TRUE(found && found->libraryLocation);
    EXPECT_EQ(found->libraryLocation->absoluteString(), location);
    EXPECT_EQ(found->copyAssets, 0);
    EXPECT_EQ(found->supressWarnings, 1);
}

TEST(FCPXMLDescriptionLoading, KeepsALibraryLocationOnlyWhenItExists) {
    const TemporaryFolder folder;
    const auto library = [](const std::string& location) {
        return FCPXMLDescription::fromText("<fcpxml version=\"1.10\"><library location=\"" +
                                           location + "\"/></fcpxml>")
            .library;
    };
    EXPECT_EQ(library("file:///no/such/Library.fcpbundle/"), Library{});
    const auto found = library("file://" + folder.path().string() + "/");
    ASSERT_TRUE(found && found->location);
    EXPECT_EQ(found->location->path(), folder.path().string());
}

TEST(FCPXMLDescriptionLoading, TakesTheProjectFromTheRootOrElseTheFirstEvent) {
    const auto fromEvent = FCPXMLDescription::fromText(R"(
        <fcpxml version="1.10">
          <library><event name="Day 1" uid="E-1"><project name="Cut"><sequence/></project></event>
          <event name="Day 2"/></library>
        </fcpxml>)");
    ASSERT_TRUE(fromEvent.project);
    EXPECT_EQ(fromEvent.project->name, "Day 1");
    EXPECT_EQ(fromEvent.project->uid, "E-1");
    EXPECT_TRUE(fromEvent.project->sequence);

    const auto direct = FCPXMLDescription::fromText(R"(
        <fcpxml version="1.10">
          <library><event name="Day 1"/></library>
          <project name="Cut"><sequence tcStart="3600s"/></project>
        </fcpxml>)");
    ASSERT_TRUE(direct.project && direct.project->sequence);
    EXPECT_EQ(direct.project->name, "Cut");
    EXPECT_EQ(direct.project->uid, std::nullopt);
    EXPECT_EQ(direct.project->sequence->tcStart, timecode::CMTime::make(3600, 1));

    // Only the root's direct children are looked at for the project.
    const auto nested = FCPXMLDescription::fromText(
        R"(<fcpxml version="1.10"><wrapper><project name="Cut"/></wrapper></fcpxml>)");
    EXPECT_FALSE(nested.project);
}

TEST(FCPXMLDescriptionLoading, ReadsFilesWhoseExtensionBeginsWithFcpxml) {
    const auto upper = FCPXMLDescription::fromFile(dataFolder + "EventProject.FCPXML");
    ASSERT_TRUE(upper && upper->project);
    EXPECT_EQ(upper->project->name, "Interviews");
    ASSERT_TRUE(
        FCPXMLDescription::fromURL(koltutils::URL::fileURL(dataFolder + "EventProject.FCPXML")));

    const TemporaryFolder folder;
    const std::string xml = "<fcpxml version=\"1.9\"/>";
    EXPECT_FALSE(FCPXMLDescription::fromFile(folder.write("Document.xml", xml)));
    EXPECT_TRUE(FCPXMLDescription::fromFile(folder.write("Document.fcpxmlbackup", xml)));
    EXPECT_FALSE(FCPXMLDescription::fromFile(folder.path() / "Missing.fcpxml"));
    EXPECT_FALSE(FCPXMLDescription::fromFile(folder.write("Broken.fcpxml", "<fcpxml")));
    EXPECT_FALSE(
        FCPXMLDescription::fromFile(folder.write("Latin1.fcpxml", "<fcpxml n=\"\xE9\"/>")));
    // A bundle folder cannot be read on this route.
    folder.write("Bundle.fcpxmld/Info.fcpxml", xml);
    EXPECT_FALSE(FCPXMLDescription::fromFile(folder.path() / "Bundle.fcpxmld"));
    // A readable file that is not FCPXML is an error, not an absent result.
    EXPECT_THROW(FCPXMLDescription::fromFile(folder.write("Other.fcpxml", "<xml/>")),
                 koltutils::DescribedError);
}

TEST(FCPXMLDescriptionLoading, RemovesControlCharactersBeforeParsingAFile) {
    const TemporaryFolder folder;
    const auto file = folder.write("Tabs.fcpxml", "<fcpxml version=\"1.10\">\r\n"
                                                  "<project name=\"A\tB\nC\xC2\x85!\"/>\r\n"
                                                  "</fcpxml>");
    const auto description = FCPXMLDescription::fromFile(file);
    ASSERT_TRUE(description && description->project);
    EXPECT_EQ(description->project->name, "ABC!");
    // Text and byte routes keep the document as it is.
    const auto text = FCPXMLDescription::fromText("<fcpxml version=\"1.10\">"
                                                  "<project name=\"A&#9;B\"/></fcpxml>");
    EXPECT_EQ(text.project->name, "A\tB");
}

TEST(FCPXMLDescriptionLoading, LocatesTheXmlFileInsideABundle) {
    const TemporaryFolder folder;
    folder.write("Cut.fcpxmld/Info.plist", "");
    folder.write("Cut.fcpxmld/Info.fcpxml", "<fcpxml version=\"1.13\"/>");
    folder.write("Cut.fcpxmld/Media/x.fcpxml", "");
    EXPECT_EQ(FCPXMLDescription::xmlFileInBundle(folder.path() / "Cut.fcpxmld"),
              folder.path() / "Cut.fcpxmld" / "Info.fcpxml");
    const auto url =
        FCPXMLDescription::xmlFileInBundle(koltutils::URL::fileURL(folder.path() / "Cut.fcpxmld"));
    ASSERT_TRUE(url);
    EXPECT_EQ(url->lastPathComponent(), "Info.fcpxml");

    folder.write("Upper.FCPXMLD/INFO.FCPXML", "");
    EXPECT_TRUE(FCPXMLDescription::xmlFileInBundle(folder.path() / "Upper.FCPXMLD"));
    folder.write("Empty.fcpxmld/Info.plist", "");
    EXPECT_FALSE(FCPXMLDescription::xmlFileInBundle(folder.path() / "Empty.fcpxmld"));
    folder.write("Folder.fcpxml/Info.fcpxml", "");
    EXPECT_FALSE(FCPXMLDescription::xmlFileInBundle(folder.path() / "Folder.fcpxml"));
    EXPECT_FALSE(FCPXMLDescription::xmlFileInBundle(folder.write("File.fcpxmld", "")));
    EXPECT_FALSE(FCPXMLDescription::xmlFileInBundle(folder.path() / "Missing.fcpxmld"));
}

TEST(FCPXMLDescriptionLoading, TextAndBytesRoutesThrowParseErrors) {
    EXPECT_THROW(FCPXMLDescription::fromText("<fcpxml version=\"1.10\">"), xmltree::XMLError);
    const std::string xml = "<fcpxml version=\"1.12\"/>";
    const std::vector<std::uint8_t> bytes(xml.begin(), xml.end());
    EXPECT_EQ(FCPXMLDescription::fromData(bytes).version, Version::v1_12);
    EXPECT_THROW(FCPXMLDescription::fromData(std::vector<std::uint8_t>{'<', 'a'}),
                 xmltree::XMLError);
}

// A 1.10 document whose sequence uses the format `formatRef` with the given timecode settings.
FCPXMLDescription sequenceDocument(const std::string& formatRef, const std::string& tcStart,
                                   const std::string& tcFormat) {
    return FCPXMLDescription::fromText(R"(<fcpxml version="1.10"><resources>
          <format id="r1" frameDuration="100/2400s"/>
          <format id="r2" frameDuration="1001/30000s"/>
          <format id="r2" frameDuration="100/2500s"/>
          <format id="r3" name="no duration"/>
        </resources><project><sequence format=")" +
                                       formatRef + "\" tcStart=\"" + tcStart + "\" tcFormat=\"" +
                                       tcFormat + "\"/></project></fcpxml>");
}

TEST(FCPXMLDescriptionLoading, DerivesFrameRateAndStartTimecodeFromTheSequenceFormat) {
    using timecode::TimecodeFrameRate;
    const auto at24 = sequenceDocument("r1", "3600s", "NDF");
    EXPECT_EQ(at24.sequenceFormat(), &at24.resources->formats[0]);
    EXPECT_EQ(at24.frameRate(), TimecodeFrameRate::fps24);
    EXPECT_EQ(at24.projectStartTimecode()->stringValue(), "01:00:00:00");

    // The first format with the id counts; "DF" asks for the drop-frame rate.
    const auto nonDrop = sequenceDocument("r2", "3600s", "");
    EXPECT_EQ(nonDrop.frameRate(), TimecodeFrameRate::fps29_97);
    EXPECT_EQ(nonDrop.projectStartTimecode()->stringValue(), "00:59:56:12");
    const auto drop = sequenceDocument("r2", "3600s", "DF");
    EXPECT_EQ(drop.frameRate(), TimecodeFrameRate::fps29_97d);
    EXPECT_EQ(drop.projectStartTimecode()->stringValue(), "01:00:00;00");
    EXPECT_FALSE(sequenceDocument("r1", "0s", "DF").frameRate());

    koltutils::ScopedLogCapture capture;
    koltutils::Log::setBuildConfig(koltutils::BuildConfig::release); // errors only
    EXPECT_FALSE(sequenceDocument("r1", "86400s", "NDF").projectStartTimecode());
    EXPECT_THAT(capture.lines(), IsEmpty());
    for (const auto& formatRef : {"r3", "r9"}) {
        capture.clear();
        const auto description = sequenceDocument(formatRef, "0s", "NDF");
        EXPECT_FALSE(description.frameRate());
        EXPECT_FALSE(description.projectStartTimecode());
        EXPECT_THAT(capture.lines(), ElementsAre(AllOf(StartsWith("🚩 FCPXMLDescription+Loading.cpp:"
                                                                  "projectStartTimecode:"),
                                                       EndsWith(":frameRate is nil"))));
    }
    capture.clear();
    EXPECT_FALSE(FCPXMLDescription::fromText(documentWithVersion("1.10")).projectStartTimecode());
    EXPECT_THAT(capture.lines(), ElementsAre(EndsWith(":frameRate is nil")));
}

} // namespace
} // namespace kvnfcpx
