// The marker and cue reports, run as a user runs them: the built tool on small documents
// written here and on the examples.

#include "ToolRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::ordered_json;
using namespace velotrack::testing;

const fs::path examples = fs::path(VELOTRACK_SOURCE_DIR) / "examples";

// A project of one sequence whose spine holds `spine`; `resources` go beside the two assets
// every document here shares.
std::string document(const std::string& sequence, const std::string& spine,
                     const std::string& resources = "") {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<fcpxml version="1.11"><resources>
<format id="f25" frameDuration="100/2500s"/>
<format id="f2997" frameDuration="1001/30000s"/>
<asset id="score" start="0s" duration="36000s" hasAudio="1"><media-rep kind="original-media" src="file:///Music/Score%20One.wav"/></asset>
<asset id="talk" start="0s" duration="36000s" hasAudio="1"><media-rep kind="original-media" src="file:///Dialogue/Talk.wav"/></asset>
)" + resources +
           "</resources><project name=\"Test\"><sequence " + sequence + "><spine>" + spine +
           "</spine></sequence></project></fcpxml>";
}

class Reports : public FolderTest {
protected:
    Outcome run(Strings arguments) const { return runTool(std::move(arguments), directory); }

    // The command's standard output, which it must print without a complaint.
    std::string output(const Strings& arguments) const {
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return result.out;
    }
};

// 29.97 drop frame from 00:00:59;00 (1770 frames): two seconds in, the count crosses minute 1,
// whose labels ;00 and ;01 do not exist. Marker values hold what CSV has to quote.
std::string dropFrameMarkers() {
    return document(
        R"(format="f2997" tcStart="1771770/30000s" tcFormat="DF" duration="300300/30000s")",
        R"(<asset-clip ref="talk" offset="1771770/30000s" start="0s" duration="300300/30000s" audioRole="dialogue">
<marker start="60060/30000s" duration="1001/30000s" value="Cut here, &quot;tight&quot;"/>
<chapter-marker start="0s" duration="1001/30000s" value="Intro"/>
<marker start="60060/30000s" duration="1001/30000s" value="Line one&#10;line two"/>
</asset-clip>)");
}

TEST_F(Reports, MarkersCountRecordTimecodeFromTheDropFrameStartAndQuoteCSV) {
    const auto path = write("drop.fcpxml", dropFrameMarkers()).string();
    // Sorted by offset; the two markers at one offset keep the document's order.
    EXPECT_EQ(output({"markers", path}),
              "index,record,offset,duration,kind,value\r\n"
              "1,00:00:59;00,00:00:00;00,00:00:00;01,Chapter,Intro\r\n"
              "2,00:01:01;02,00:00:02;00,00:00:00;01,Comment,\"Cut here, \"\"tight\"\"\"\r\n"
              "3,00:01:01;02,00:00:02;00,00:00:00;01,Comment,\"Line one\nline two\"\r\n");
    EXPECT_EQ(output({"markers", path, "--kind", "chapter", "--format", "tsv"}),
              "index\trecord\toffset\tduration\tkind\tvalue\n"
              "1\t00:00:59;00\t00:00:00;00\t00:00:00;01\tChapter\tIntro\n");

    const auto json = ordered_json::parse(output({"markers", path, "--format", "json"}));
    ASSERT_EQ(json.size(), 3u);
    EXPECT_EQ(json[1], (ordered_json{{"index", 2},
                                     {"record", "00:01:01;02"},
                                     {"offset", "60060/30000s"},
                                     {"duration", "1001/30000s"},
                                     {"kind", "Comment"},
                                     {"value", "Cut here, \"tight\""}}));
    EXPECT_EQ(json[2].at("value"), "Line one\nline two");

    // TSV cannot hold the line break: nothing on stdout, one line naming the row.
    const Outcome tsv = run({"markers", path, "--format", "tsv"});
    EXPECT_EQ(tsv.status, 1);
    EXPECT_EQ(tsv.out, "");
    EXPECT_EQ(tsv.err, "error: row 3 cannot be written as TSV: its value holds a tab or a line "
                       "break (use --format csv)\n");
}

TEST_F(Reports, MarkersFollowTheTimelineThroughAuditionsAndGaps) {
    // The harbour example at 29.97 drop frame from 01:00:00;00: markers on the first clip, in an
    // audition, in a gap and on the last clip; the one beyond the used part of its clip is left
    // out by the engine.
    const auto path = (examples / "harbour-documentary-1.8.fcpxml").string();
    const Outcome csv = run({"markers", path, "--log-level", "none"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "index,record,offset,duration,kind,value\r\n"
                       "1,01:00:00;00,00:00:00;00,00:00:00;01,Chapter,Opening\r\n"
                       "2,01:00:01;15,00:00:01;15,00:00:00;01,Comment,Maya introduces the "
                       "harbour\r\n"
                       "3,01:00:12;00,00:00:12;00,00:00:00;01,Comment,Pick-up line\r\n"
                       "4,01:00:19;00,00:00:19;00,00:00:00;01,Comment,Hold on black\r\n"
                       "5,01:00:20;15,00:00:20;15,00:00:00;01,Chapter,The Boats\r\n"
                       "6,01:00:26;00,00:00:26;00,00:00:00;01,Comment,Boat enters frame\r\n");
}

TEST_F(Reports, ProjectWithoutMarkersGivesOnlyTheHeaderOrAnEmptyArray) {
    const auto path =
        write(
            "plain.fcpxml",
            document(R"(format="f25" tcStart="0s" duration="10s")",
                     R"(<asset-clip ref="talk" offset="0s" duration="10s" audioRole="dialogue"/>)"))
            .string();
    EXPECT_EQ(output({"markers", path}), "index,record,offset,duration,kind,value\r\n");
    EXPECT_EQ(output({"markers", path, "--format", "tsv"}),
              "index\trecord\toffset\tduration\tkind\tvalue\n");
    EXPECT_EQ(output({"markers", path, "--format", "json"}), "[]\n");
    EXPECT_EQ(output({"markers", path, "--format", "vtt"}), "WEBVTT\n");
}

std::string chapterDocument(const std::string& duration, const std::string& markers) {
    return document("format=\"f25\" tcStart=\"0s\" duration=\"" + duration + "\"",
                    "<gap offset=\"0s\" start=\"0s\" duration=\"" + duration + "\">" + markers +
                        "</gap>");
}

TEST_F(Reports, ChapterLinesWarnOnStandardErrorForEveryRuleTheListBreaks) {
    const auto broken = write("broken.fcpxml", chapterDocument("60s", R"(
<chapter-marker start="5s" duration="1/25s" value="Intro"/>
<marker start="6s" duration="1/25s" value="not a chapter"/>
<chapter-marker start="8s" duration="1/25s" value="Middle"/>)"));
    const Outcome list = run({"markers", broken.string(), "--format", "chapters"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "0:05 Intro\n0:08 Middle\n");
    EXPECT_EQ(list.err, "warning: the first chapter starts at 0:05, not at 0:00\n"
                        "warning: 2 chapters, fewer than the three a chapter list needs\n"
                        "warning: chapters shorter than 10 seconds: 0:05 Intro\n");

    // Whole seconds rounded down, hours from the first hour on; the last chapter runs to the
    // end of the sequence, so only it can be short there.
    const auto good = write("good.fcpxml", chapterDocument("3800s", R"(
<chapter-marker start="0s" duration="1/25s" value="Start"/>
<chapter-marker start="61/2s" duration="1/25s" value="Part, two"/>
<chapter-marker start="3725s" duration="1/25s" value="Late"/>)"));
    EXPECT_EQ(output({"markers", good.string(), "--format", "chapters"}),
              "0:00 Start\n0:30 Part, two\n1:02:05 Late\n");
    EXPECT_EQ(output({"markers", good.string(), "--format", "vtt"}),
              "WEBVTT\n\n"
              "00:00:00.000 --> 00:00:30.500\nStart\n\n"
              "00:00:30.500 --> 01:02:05.000\nPart, two\n\n"
              "01:02:05.000 --> 01:03:20.000\nLate\n");
    const auto shortEnd = write("short-end.fcpxml", chapterDocument("3730s", R"(
<chapter-marker start="0s" duration="1/25s" value="Start"/>
<chapter-marker start="61/2s" duration="1/25s" value="Part, two"/>
<chapter-marker start="3725s" duration="1/25s" value="Late"/>)"));
    EXPECT_EQ(run({"markers", shortEnd.string(), "--format", "chapters"}).err,
              "warning: chapters shorter than 10 seconds: 1:02:05 Late\n");
}

// 25 fps from 01:00:00:00. A dialogue clip carries two connected music clips, written out of
// timeline order; the score is cut by a blade (continuing in the file), then continues after
// a gap; a compound clip holds a music bed.
std::string cueDocument() {
    return document(
        R"(format="f25" tcStart="3600s" duration="40s")",
        R"(<asset-clip ref="talk" name="Talk" offset="3600s" start="0s" duration="20s" audioRole="dialogue">
<asset-clip ref="score" name="Theme, &quot;A&quot;" lane="-1" offset="12s" start="10s" duration="4s" audioRole="music">
<adjust-volume amount="-6dB"><param name="amount"><fadeIn type="easeIn" duration="1/2s"/></param></adjust-volume>
</asset-clip>
<asset-clip ref="score" name="Sting&#10;two lines" lane="1" offset="3s" start="0s" duration="2s" audioRole="music.stings"/>
</asset-clip>
<asset-clip ref="score" name="Score" offset="3620s" start="30s" duration="5s" audioRole="music.score"/>
<asset-clip ref="score" name="Score" offset="3625s" start="35s" duration="5s" audioRole="music.score"/>
<gap offset="3630s" start="0s" duration="2s"/>
<asset-clip ref="score" name="Score" offset="3632s" start="40s" duration="3s" audioRole="music.score"/>
<ref-clip ref="bed" offset="3635s" duration="5s" name="Bed compound"/>)",
        R"(<media id="bed" name="Bed compound"><sequence format="f25" tcStart="0s"><spine>
<asset-clip ref="score" name="Bed" offset="0s" start="50s" duration="5s" audioRole="music"/>
</spine></sequence></media>
)");
}

TEST_F(Reports, CuesListTheMusicInTimelineOrderWithRecordAndSourceTimes) {
    const auto path = write("cues.fcpxml", cueDocument()).string();
    const std::string csv = output({"cues", path});
    std::istringstream lines(csv);
    Strings rows;
    for (std::string line; std::getline(lines, line, '\n');) {
        rows.push_back(line);
    }
    // The sting's name holds a line break, so its record spans two lines of the text.
    ASSERT_EQ(rows.size(), 8u) << csv;
    EXPECT_EQ(rows[0], "index,name,file,role,recordIn,recordOut,sourceIn,sourceOut,duration,"
                       "volume,fadeIn,fadeOut,group\r");
    EXPECT_EQ(rows[1] + "\n" + rows[2], "1,\"Sting\ntwo lines\",Score One.wav,music.stings,"
                                        "01:00:03:00,01:00:05:00,00:00:00:00,00:00:02:00,"
                                        "00:00:02:00,,,,\r");
    EXPECT_EQ(rows[3], "2,\"Theme, \"\"A\"\"\",Score One.wav,music,01:00:12:00,01:00:16:00,"
                       "00:00:10:00,00:00:14:00,00:00:04:00,-6.0,0.5,,\r");
    EXPECT_EQ(rows[4], "3,Score,Score One.wav,music.score,01:00:20:00,01:00:25:00,00:00:30:00,"
                       "00:00:35:00,00:00:05:00,,,,\r");
    EXPECT_EQ(rows[5].rfind("4,Score,Score One.wav,music.score,01:00:25:00,01:00:30:00,", 0), 0u);
    EXPECT_EQ(rows[6].rfind("5,Score,Score One.wav,music.score,01:00:32:00,01:00:35:00,", 0), 0u);
    // The compound clip's music, tagged with the compound's group.
    EXPECT_EQ(rows[7].rfind("6,Bed,Score One.wav,music,01:00:35:00,01:00:40:00,00:00:50:00,", 0),
              0u)
        << rows[7];
    EXPECT_NE(rows[7].find(",ref-clip_"), std::string::npos) << rows[7];
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");

    // --role picks a role exactly or by its main role; the dialogue is not music.
    EXPECT_EQ(output({"cues", path, "--role", "dialogue", "--format", "tsv"}),
              "index\tname\tfile\trole\trecordIn\trecordOut\tsourceIn\tsourceOut\tduration\t"
              "volume\tfadeIn\tfadeOut\tgroup\n"
              "1\tTalk\tTalk.wav\tdialogue\t01:00:00:00\t01:00:20:00\t00:00:00:00\t00:00:20:00\t"
              "00:00:20:00\t\t\t\t\n");
    const auto scoreOnly =
        ordered_json::parse(output({"cues", path, "--role", "music.score", "--format", "json"}));
    EXPECT_EQ(scoreOnly.size(), 3u);
    EXPECT_EQ(scoreOnly[0], (ordered_json{{"index", 1},
                                          {"name", "Score"},
                                          {"file", "Score One.wav"},
                                          {"role", "music.score"},
                                          {"recordIn", "3620s"},
                                          {"recordOut", "3625s"},
                                          {"sourceIn", "30s"},
                                          {"sourceOut", "35s"},
                                          {"duration", "5s"},
                                          {"volume", nullptr},
                                          {"fadeIn", nullptr},
                                          {"fadeOut", nullptr},
                                          {"group", nullptr}}));
    const Outcome tsv = run({"cues", path, "--format", "tsv"});
    EXPECT_EQ(tsv.status, 1);
    EXPECT_EQ(tsv.out, "");
    EXPECT_EQ(tsv.err, "error: row 1 cannot be written as TSV: its name holds a tab or a line "
                       "break (use --format csv)\n");
}

TEST_F(Reports, MergeJoinsABladeCutButNotAcrossAGap) {
    const auto path = write("cues.fcpxml", cueDocument()).string();
    const auto merged = ordered_json::parse(
        output({"cues", path, "--role", "music.score", "--merge", "--format", "json"}));
    ASSERT_EQ(merged.size(), 2u) << merged.dump(2);
    EXPECT_EQ(merged[0].at("recordIn"), "3620s");
    EXPECT_EQ(merged[0].at("recordOut"), "3630s");
    EXPECT_EQ(merged[0].at("sourceOut"), "40s");
    EXPECT_EQ(merged[0].at("duration"), "10s");
    EXPECT_EQ(merged[1].at("index"), 2);
    EXPECT_EQ(merged[1].at("recordIn"), "3632s");
    // Pieces of other files or roles around them stay apart.
    EXPECT_EQ(ordered_json::parse(output({"cues", path, "--merge", "--format", "json"})).size(),
              5u);
}

TEST_F(Reports, ReportsOnAnExampleAndRefusals) {
    const auto trailer = (examples / "coastline-trailer-1.11.fcpxml").string();
    const auto cues = ordered_json::parse(output({"cues", trailer, "--format", "json"}));
    ASSERT_EQ(cues.size(), 1u);
    EXPECT_EQ(cues[0].at("name"), "Trailer Score");
    EXPECT_EQ(cues[0].at("volume"), -6.0);
    EXPECT_EQ(cues[0].at("fadeIn"), "2s");
    EXPECT_EQ(cues[0].at("fadeOut"), "3s");
    EXPECT_NE(output({"cues", trailer}).find(",-6.0,2.0,3.0,\r\n"), std::string::npos);

    // Loading failures are the shared loader's; a report prints nothing else.
    const Outcome missing = run({"markers", (directory / "missing.fcpxml").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(run({"cues", trailer, "--format", "chapters"}).status, 0);
}

// The reports read a document as describe does, with the same options.
TEST_F(Reports, ReportsTakeDescribesReadingOptions) {
    const auto bed = (examples / "synced-scene-with-compound-bed.fcpxml").string();
    const std::string stable = output({"cues", bed, "--stable-ids"});
    EXPECT_NE(stable.find(",ref-clip_2222222224\r\n"), std::string::npos) << stable;
    EXPECT_EQ(output({"cues", bed, "--stable-ids"}), stable);

    const auto newer =
        (fs::path(VELOTRACK_SOURCE_DIR) / "../shared/fcpxml-samples/HiddenMarkers.fcpxml").string();
    EXPECT_EQ(run({"markers", newer}).status, 2);
    const Outcome accepted = run({"markers", newer, "--accept-newer", "--log-level", "none"});
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_EQ(accepted.err, "warning: reading fcpxml 1.14 as 1.13\n");
    EXPECT_EQ(run({"cues", newer, "--accept-newer", "--log-level", "none"}).status, 0);
}

// describe --json is written as it goes; its text must stay what a JSON document of the same
// values prints, for every example.
TEST_F(Reports, DescribeJsonStreamsTheTextADocumentWouldPrint) {
    for (const auto& entry : fs::directory_iterator(examples)) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::string text =
            output({"describe", "--json", "--log-level", "none", entry.path().string()});
        EXPECT_EQ(text, ordered_json::parse(text).dump(2) + "\n");
    }
}

} // namespace
