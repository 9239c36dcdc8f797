#include "kvninterchange/DecodingError.h"
#include "kvninterchange/TimelineImporterOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kvninterchange {
namespace {

using Options = TimelineImporterOptions;
using Option = Options::ProjectImportOption;
using Kind = DecodingError::Kind;
using ::testing::ElementsAre;

std::string storedForm(std::string_view options, std::string_view marker, std::string_view audio) {
    std::string plist = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>)";
    plist += options;
    plist += marker;
    plist += audio;
    return plist + "</dict></plist>";
}

constexpr std::string_view defaultOptions =
    "<key>projectImportOptions</key><array><string>Import duration</string>"
    "<string>Import frame rate</string><string>Import start timecode</string></array>";
constexpr std::string_view textMarkers = "<key>markerImportMode</key><string>Text</string>";
constexpr std::string_view noAudio = "<key>audioImportMode</key><string>Don't import</string>";

struct Failure {
    Kind kind;
    std::vector<std::string> codingPath;
    std::string description;
    bool operator==(const Failure&) const = default;
};

Failure failureReading(std::string_view data) {
    try {
        Options::fromPropertyList(data);
    } catch (const DecodingError& error) {
        return {error.kind(), error.codingPath(), error.what()};
    }
    return {Kind::dataCorrupted, {}, "read without error"};
}

TEST(TimelineImporterOptions, EmptyOnlyWhenNothingIsImported) {
    Options options;
    EXPECT_FALSE(options.isEmpty());
    EXPECT_TRUE(options.importSequenceDuration());
    EXPECT_TRUE(options.importFrameRate());
    EXPECT_TRUE(options.importProjectStart());
    EXPECT_FALSE(options.assignRegionGroups());

    options.setImportSequenceDuration(false);
    options.setImportFrameRate(false);
    options.setImportProjectStart(false);
    options.setAssignRegionGroups(false);
    EXPECT_FALSE(options.isEmpty()) << "markers are still imported as text";
    options.markerImportMode = Options::MarkerImportMode::none;
    EXPECT_TRUE(options.isEmpty());
    options.audioImportMode = Options::AudioImportMode::all;
    EXPECT_FALSE(options.isEmpty());
}

TEST(TimelineImporterOptions, AccessorsAppendOnceAndRemoveEveryCopy) {
    Options options;
    options.setAssignRegionGroups(true);
    options.setAssignRegionGroups(true);
    EXPECT_THAT(options.projectImportOptions,
                ElementsAre(Option::duration, Option::frameRate, Option::startTimecode,
                            Option::assignGroups));

    options.projectImportOptions = {Option::duration, Option::assignGroups, Option::duration,
                                    Option::frameRate};
    options.setImportSequenceDuration(true);
    EXPECT_EQ(options.projectImportOptions.size(), 4U);
    options.setImportSequenceDuration(false);
    EXPECT_THAT(options.projectImportOptions, ElementsAre(Option::assignGroups, Option::frameRate));
    EXPECT_FALSE(options.importSequenceDuration());
}

TEST(TimelineImporterOptions, RoundTripsThroughBothEncodings) {
    Options options;
    options.projectImportOptions = {Option::assignGroups, Option::duration, Option::assignGroups};
    options.markerImportMode = Options::MarkerImportMode::textAndAudio;
    options.audioImportMode = Options::AudioImportMode::all;

    const auto xml = options.propertyList(Options::PropertyListFormat::xml);
    const auto binary = options.propertyList(Options::PropertyListFormat::binary);
    EXPECT_TRUE(xml.starts_with("<?xml"));
    EXPECT_THAT(xml, ::testing::HasSubstr("<string>Text and Guess Audio</string>"));
    EXPECT_TRUE(binary.starts_with("bplist00"));
    EXPECT_EQ(Options::fromPropertyList(xml), options);
    EXPECT_EQ(Options::fromPropertyList(binary), options);
    EXPECT_NE(Options::fromPropertyList(xml), Options());
}

TEST(TimelineImporterOptions, ReadsWhatAnotherWriterStored) {
    const auto options = Options::fromPropertyList(
        storedForm("<key>projectImportOptions</key><array/>",
                   "<key>markerImportMode</key><string>Guess audio</string>",
                   "<key>audioImportMode</key><string>All audio</string><key>future</key><true/>"));
    EXPECT_TRUE(options.projectImportOptions.empty());
    EXPECT_EQ(options.markerImportMode, Options::MarkerImportMode::audio);
    EXPECT_EQ(options.audioImportMode, Options::AudioImportMode::all);
    EXPECT_EQ(Options::fromPropertyList(storedForm(defaultOptions, textMarkers, noAudio)),
              Options());
}

TEST(TimelineImporterOptions, RefusesIncompleteOrUnknownStoredForms) {
    EXPECT_EQ(
        failureReading(storedForm(defaultOptions, textMarkers, "")),
        (Failure{Kind::keyNotFound, {}, "No value associated with key \"audioImportMode\"."}));
    EXPECT_EQ(failureReading(storedForm("", textMarkers, noAudio)).kind, Kind::keyNotFound);
    EXPECT_EQ(
        failureReading(storedForm(
            defaultOptions, "<key>markerImportMode</key><string>Guess Audio</string>", noAudio)),
        (Failure{Kind::dataCorrupted,
                 {"markerImportMode"},
                 "Cannot initialize MarkerImportMode from invalid String value Guess Audio"}));
    EXPECT_EQ(failureReading(storedForm("<key>projectImportOptions</key><array><string>Import "
                                        "duration</string><integer>1</integer></array>",
                                        textMarkers, noAudio)),
              (Failure{Kind::typeMismatch,
                       {"projectImportOptions", "Index 1"},
                       "Expected to decode a string but found a number instead."}));
    EXPECT_EQ(failureReading(storedForm("<key>projectImportOptions</key><string>Import "
                                        "duration</string>",
                                        textMarkers, noAudio))
                  .kind,
              Kind::typeMismatch);
}

TEST(TimelineImporterOptions, RefusesWhatIsNoDictionaryPropertyList) {
    const Failure notAPropertyList{
        Kind::dataCorrupted, {}, "The given data was not a valid property list."};
    EXPECT_EQ(failureReading(""), notAPropertyList);
    EXPECT_EQ(failureReading("projectImportOptions=duration"), notAPropertyList);
    EXPECT_EQ(failureReading(std::string("bplist00\xff\xff", 10)), notAPropertyList);
    EXPECT_EQ(failureReading("<plist version=\"1.0\"><array/></plist>"),
              (Failure{Kind::typeMismatch,
                       {},
                       "Expected to decode a dictionary but found an array "
                       "instead."}));

    // Nesting deep enough to exhaust the parser's stack is refused before parsing; the deepest
    // nesting that fits the size limit parses safely.
    const auto nested = [](int levels) {
        std::string text = "<plist version=\"1.0\">";
        for (int level = 0; level < levels; ++level) {
            text += "<array>";
        }
        for (int level = 0; level < levels; ++level) {
            text += "</array>";
        }
        return text + "</plist>";
    };
    EXPECT_EQ(failureReading(nested(200'000)), notAPropertyList);
    EXPECT_EQ(failureReading(nested(4'000)).kind, Kind::typeMismatch);
}

} // namespace
} // namespace kvninterchange
