#include "ToolRun.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::ordered_json;
using namespace velotrack::testing;

const fs::path examples = fs::path(VELOTRACK_SOURCE_DIR) / "examples";

// The header and rows printed under a title such as "Asset clips (5)", up to the blank line.
Strings tableUnder(const Strings& lines, const std::string& title) {
    auto line = std::find(lines.begin(), lines.end(), title);
    if (line == lines.end()) {
        ADD_FAILURE() << "no line " << title;
        return {};
    }
    const auto end = std::find(++line, lines.end(), std::string());
    return {line, end};
}

// "key: value" lines, as the timecode command prints them.
std::map<std::string, std::string> fieldsOf(const std::string& text) {
    std::map<std::string, std::string> fields;
    for (const auto& line : linesOf(text)) {
        const auto colon = line.find(": ");
        if (colon != std::string::npos) {
            fields[line.substr(0, colon)] = line.substr(colon + 2);
        }
    }
    return fields;
}

Strings keysOf(const ordered_json& object) {
    Strings keys;
    for (const auto& item : object.items()) {
        keys.push_back(item.key());
    }
    return keys;
}

bool isWholeNumber(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Exactly "<value>/<timescale>s", or "<value>s" when the timescale is 1. (std::regex is avoided:
// GCC 12 warns inside it under the sanitizer build.)
bool isMediaTime(const ordered_json& value) {
    const std::string text = value.is_string() ? value.get<std::string>() : "";
    if (text.size() < 2 || text.back() != 's') {
        return false;
    }
    const auto body =
        std::string_view(text).substr(text[0] == '-', text.size() - 1 - (text[0] == '-'));
    const auto slash = body.find('/');
    if (slash == std::string_view::npos) {
        return isWholeNumber(body);
    }
    const auto timescale = body.substr(slash + 1);
    return isWholeNumber(body.substr(0, slash)) && isWholeNumber(timescale) &&
           timescale[0] != '0' && timescale != "1";
}

class VelotrackFcpxml : public FolderTest {
protected:
    // Standard input reads `input`.
    Outcome run(Strings arguments, const std::string& input = "") const {
        return runTool(std::move(arguments), directory, {}, write("stdin", input));
    }

    ordered_json describeJson(const fs::path& document) const {
        const Outcome result = run({"describe", "--json", document.string()});
        EXPECT_EQ(result.status, 0) << document << ": " << result.err;
        auto json = ordered_json::parse(result.out, nullptr, false);
        EXPECT_FALSE(json.is_discarded()) << document << " printed no JSON:\n" << result.out;
        return json.is_discarded() ? ordered_json() : json;
    }
};

const ordered_json& clipsOf(const ordered_json& description) {
    return description.at("project").at("sequence").at("content").at("assetClips");
}

void expectClipTime(const ordered_json& clipTime) {
    EXPECT_EQ(keysOf(clipTime), (Strings{"isValid", "start", "offset", "duration", "audioStart",
                                         "audioDuration", "clipItem"}));
    EXPECT_TRUE(clipTime.at("isValid").is_boolean());
    for (const auto* field : {"start", "offset", "duration", "audioStart", "audioDuration"}) {
        EXPECT_TRUE(isMediaTime(clipTime.at(field))) << field << " " << clipTime.at(field);
    }
}

TEST_F(VelotrackFcpxml, DescribeJsonHasTheDocumentedShapeForEveryExample) {
    const std::set<std::string> versions{"1.6",  "1.7",  "1.8",  "1.9",
                                         "1.10", "1.11", "1.12", "1.13"};
    std::size_t documents = 0;
    for (const auto& entry : fs::directory_iterator(examples)) {
        SCOPED_TRACE(entry.path().filename().string());
        ++documents;
        const auto d = describeJson(entry.path());
        EXPECT_EQ(keysOf(d), (Strings{"version", "parserOptions", "library", "importOptions",
                                      "project", "resources"}));
        EXPECT_TRUE(versions.contains(d.at("version").get<std::string>()));
        const auto& sequence = d.at("project").at("sequence");
        EXPECT_EQ(keysOf(sequence),
                  (Strings{"tcStart", "tcFormat", "format", "audioRate", "audioLayout",
                           "renderFormat", "duration", "frameRate", "startTimecode", "content"}));
        EXPECT_TRUE(isMediaTime(sequence.at("tcStart")) && isMediaTime(sequence.at("duration")));
        // A rate the tool knows by that name, and the start timecode is tcStart at that rate.
        const auto rate = sequence.at("frameRate").get<std::string>();
        const auto tcStart = sequence.at("tcStart").get<std::string>();
        auto start = fieldsOf(run({"timecode", "--rate", rate, "--rational", tcStart}).out);
        EXPECT_EQ(sequence.at("startTimecode"), start["timecode"]);
        for (const auto& clip : sequence.at("content").at("assetClips")) {
            EXPECT_EQ(keysOf(clip), (Strings{"ref", "asset", "clipTime", "clipVolume", "effects",
                                             "name", "audioRole", "audioClipContent", "note",
                                             "lane", "mute", "groupId"}));
            EXPECT_EQ(keysOf(clip.at("asset")), (Strings{"id", "mediaRep"}));
            EXPECT_EQ(clip.at("asset").at("id"), clip.at("ref"));
            EXPECT_EQ(keysOf(clip.at("asset").at("mediaRep")), (Strings{"kind", "src", "url"}));
            expectClipTime(clip.at("clipTime"));
        }
        for (const auto& marker : sequence.at("content").at("markers")) {
            EXPECT_EQ(keysOf(marker), (Strings{"value", "clipTime"}));
            expectClipTime(marker.at("clipTime"));
            const auto item = marker.at("clipTime").at("clipItem").get<std::string>();
            EXPECT_TRUE(item == "marker" || item == "chapter-marker") << item;
        }
        EXPECT_EQ(keysOf(d.at("resources")), (Strings{"formats", "assets", "media", "effects"}));
    }
    EXPECT_GE(documents, 5u);
}

TEST_F(VelotrackFcpxml, DescribeJsonCarriesWhatTheExamplesHold) {
    const ordered_json trailer = clipsOf(describeJson(examples / "coastline-trailer-1.11.fcpxml"));
    ASSERT_EQ(trailer.size(), 5u);
    // The original media is chosen although the proxy is listed first.
    EXPECT_EQ(trailer[0].at("asset").at("mediaRep").at("src"),
              "file:///Volumes/Coastline/Drone/Drone%20Coast.mov");
    // The effect state comes back as the base64 text the document carries.
    const std::string xml = contentsOf(examples / "coastline-trailer-1.11.fcpxml");
    const auto tag = xml.find("<data key=\"effectState\">");
    ASSERT_NE(tag, std::string::npos);
    const auto state = xml.find('>', tag) + 1;
    EXPECT_EQ(trailer[0].at("effects").at(0).at("effectState"),
              xml.substr(state, xml.find('<', state) - state));
    EXPECT_EQ(trailer[0].at("effects").at(1).at("enabled"), false);
    EXPECT_EQ(trailer[2].at("clipVolume"),
              (ordered_json{{"adjustVolume", -6.0}, {"fadeIn", "2s"}, {"fadeOut", "3s"}}));
    EXPECT_TRUE(trailer[2].at("groupId").is_null());
    const ordered_json scene =
        clipsOf(describeJson(examples / "synced-scene-with-compound-bed.fcpxml"));
    EXPECT_EQ(scene.at(2).at("groupId").get<std::string>().rfind("ref-clip_", 0), 0u);
    const ordered_json guest =
        clipsOf(describeJson(examples / "tide-tables-podcast-episode-12.fcpxmld")).at(2);
    EXPECT_EQ(guest.at("audioRole"), "dialogue.guest");
    EXPECT_EQ(guest.at("clipVolume").at("fadeIn"), "1/2s");
}

TEST_F(VelotrackFcpxml, DescribePrintsSettingsAndAlignedTables) {
    const Outcome trailer =
        run({"describe", (examples / "coastline-trailer-1.11.fcpxml").string()});
    ASSERT_EQ(trailer.status, 0) << trailer.err;
    const Strings lines = linesOf(trailer.out);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(Strings(lines.begin(), lines.begin() + 6),
              (Strings{"Document version  1.11", "Project           Trailer",
                       "Frame rate        25", "Start timecode    01:00:00:00",
                       "Duration          00:00:30:00", "Audio             48k, stereo"}));
    const Strings clips = tableUnder(lines, "Asset clips (5)");
    ASSERT_EQ(clips.size(), 6u);
    EXPECT_EQ(cellsOf(clips[0]),
              (Strings{"#", "Offset", "Duration", "Name", "Role", "Lane", "Volume", "Fade in",
                       "Fade out", "Mute", "Effects", "Group"}));
    EXPECT_EQ(cellsOf(clips[3]),
              (Strings{"3", "00:00:00:00", "00:00:30:00", "Trailer Score", "music.score", "-2",
                       "-6.0 dB", "2.0s", "3.0s", "no", "0", "-"}));
    // Every cell starts where its column's heading does.
    std::vector<std::size_t> headings;
    cellsOf(clips[0], &headings);
    for (const auto& row : clips) {
        std::vector<std::size_t> starts;
        cellsOf(row, &starts);
        EXPECT_EQ(starts, headings) << row;
    }
    const Strings markers = tableUnder(lines, "Markers (5)");
    ASSERT_EQ(markers.size(), 6u);
    EXPECT_EQ(cellsOf(markers[2]), (Strings{"00:00:16:00", "Chapter", "Second Act"}));
    EXPECT_EQ(cellsOf(markers[1]), (Strings{"00:00:06:00", "Comment", "Breath - trim?"}));

    const auto harbourPath = (examples / "harbour-documentary-1.8.fcpxml").string();
    const Outcome harbour = run({"describe", harbourPath});
    ASSERT_EQ(harbour.status, 0);
    const Strings report = linesOf(harbour.out);
    EXPECT_EQ(report.at(3), "Start timecode    01:00:00;00");
    const Strings rows = tableUnder(report, "Asset clips (7)");
    ASSERT_EQ(rows.size(), 8u);
    // The foghorn sits 20020/30000 s into a gap that starts 540540/30000 s into the sequence:
    // 560 frames of 1001/30000 s, and lasts 100 frames.
    EXPECT_EQ(cellsOf(rows[6]), (Strings{"6", "00:00:18;20", "00:00:03;10", "Foghorn", "effects",
                                         "1", "-", "-", "-", "no", "0", "-"}));
    EXPECT_EQ(cellsOf(rows[7]).at(9), "yes");
    EXPECT_EQ(cellsOf(tableUnder(report, "Markers (6)").at(5)),
              (Strings{"00:00:20;15", "Chapter", "The Boats"}));
    // The marker left out is reported at the default level and silenced with "none".
    EXPECT_NE(harbour.err.find("parseMarker"), std::string::npos) << harbour.err;
    EXPECT_EQ(run({"describe", "--log-level", "none", harbourPath}).err, "");
}

TEST_F(VelotrackFcpxml, DescribeReadsStandardInput) {
    const auto path = examples / "harbour-documentary-1.8.fcpxml";
    const Outcome piped = run({"describe", "-"}, contentsOf(path));
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, run({"describe", path.string()}).out);
    EXPECT_NE(piped.out.find("\nAsset clips (7)\n"), std::string::npos) << piped.out;
}

TEST_F(VelotrackFcpxml, DescribeSaysWhyADocumentCannotBeLoaded) {
    fs::create_directories(directory / "empty.fcpxmld");
    const std::string notUTF8 = "<fcpxml version=\"1.11\">\xE9t\xE9</fcpxml>";
    const std::string truncated = "<fcpxml version=\"1.11\">\n  <project>\n\t<sequence>\n";
    const std::string mismatched = "<fcpxml version=\"1.11\">\n  <project>\n  </sequence>\n";
    const std::string foreign = "<notfcpxml version=\"1.11\"/>";
    struct Case {
        std::string path;
        std::string stdinBytes;
        int status;
        std::string reason;
    };
    const std::vector<Case> cases{
        {(directory / "missing.fcpxml").string(), "", 1, "does not exist"},
        {(directory / "empty.fcpxmld").string(), "", 1,
         "is a folder without an .fcpxml file inside"},
        {write("latin.fcpxml", notUTF8).string(), notUTF8, 2,
         "is not UTF-8 (first bad byte at offset 23)"},
        {write("truncated.fcpxml", truncated).string(), truncated, 2,
         "no element found at line 4, column 0"},
        {write("mismatched.fcpxml", mismatched).string(), mismatched, 2,
         "mismatched tag at line 3, column 4"},
        {write("root.fcpxml", foreign).string(), foreign, 2, "This isn't a fcpxml document."},
    };
    for (const auto& expected : cases) {
        const Outcome byPath = run({"describe", expected.path});
        EXPECT_EQ(byPath.status, expected.status) << expected.path;
        EXPECT_EQ(byPath.err, expected.path + ": " + expected.reason + "\n");
        EXPECT_EQ(byPath.out, "");
        if (!expected.stdinBytes.empty()) {
            const Outcome piped = run({"describe", "--json", "-"}, expected.stdinBytes);
            EXPECT_EQ(piped.status, expected.status) << expected.path;
            EXPECT_EQ(piped.err, "standard input: " + expected.reason + "\n");
        }
    }
    // The engine's messages for every version are pinned with the engine; here, the exit status.
    const Outcome older = run({"describe", "-"}, "<fcpxml version=\"1.5\"/>");
    EXPECT_EQ(older.status, 2);
    EXPECT_EQ(older.err.rfind("standard input: Sorry, fcpxml 1.5 isn't supported.", 0), 0u)
        << older.err;
}

TEST_F(VelotrackFcpxml, DescribeRepeatsItselfWithStableIds) {
    const auto path = (examples / "synced-scene-with-compound-bed.fcpxml").string();
    const Outcome first = run({"describe", "--json", "--stable-ids", path});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, run({"describe", "--json", "--stable-ids", path}).out);
    EXPECT_NE(first.out.find("\"sync-clip_2222222222\""), std::string::npos) << first.out;
    EXPECT_NE(run({"describe", "--json", path}).out, run({"describe", "--json", path}).out);
}

TEST_F(VelotrackFcpxml, DescribeReadsNewerDocumentsOnlyWhenAsked) {
    const auto sample =
        (fs::path(VELOTRACK_SOURCE_DIR) / "../shared/fcpxml-samples/HiddenMarkers.fcpxml").string();
    const Outcome refused = run({"describe", sample});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err.rfind(sample + ": Sorry, fcpxml 1.14 isn't supported.", 0), 0u)
        << refused.err;
    const Outcome accepted =
        run({"describe", "--json", "--accept-newer", "--log-level", "none", sample});
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_EQ(accepted.err, "warning: reading fcpxml 1.14 as 1.13\n");
    const auto json = ordered_json::parse(accepted.out, nullptr, false);
    ASSERT_FALSE(json.is_discarded()) << accepted.out;
    EXPECT_EQ(json.at("version"), "1.13");
    // A supported document gives no warning with the option.
    const Outcome current =
        run({"describe", "--accept-newer", (examples / "coastline-trailer-1.11.fcpxml").string()});
    EXPECT_EQ(current.status, 0);
    EXPECT_EQ(current.err, "");
}

TEST_F(VelotrackFcpxml, TimeShowsStrictAndLenientReadings) {
    const Outcome times = run({"time", "1001/24000s", "3600/30s", "+5s"});
    EXPECT_EQ(times.status, 0);
    const Strings lines = linesOf(times.out);
    ASSERT_EQ(lines.size(), 6u) << times.out;
    EXPECT_EQ(cellsOf(lines[1]), (Strings{"1001/24000s", "strict", "1001/24000",
                                          "0.04170833333333333", "1001/24000s"}));
    // 3600/30 s is two minutes, written back with a timescale of 1.
    EXPECT_EQ(cellsOf(lines[3]), (Strings{"3600/30s", "strict", "3600/30", "120", "120s"}));
    EXPECT_EQ(cellsOf(lines[5]), (Strings{"+5s", "lenient", "5/1", "5"}));
    EXPECT_EQ(times.err,
              "note: \"+5s\" is outside the strict FCPXML time grammar; it reads only leniently\n");

    const Outcome decimal = run({"time", "5.0s"});
    EXPECT_EQ(decimal.status, 1);
    EXPECT_EQ(decimal.err, "error: \"5.0s\" is not an FCPXML time\n");
}

TEST_F(VelotrackFcpxml, TimecodeConvertsAtDropFrameRates) {
    // The drop-frame arithmetic is the time library's; here, each way in and out. Frame 1800
    // opens minute 1, whose labels ;00 and ;01 are dropped: 1800 * 1001/30000 s.
    auto fields = fieldsOf(run({"timecode", "--rate", "29.97d", "--frames", "1800"}).out);
    EXPECT_EQ(fields["timecode"], "00:01:00;02");
    EXPECT_EQ(fields["rational"], "3003/50s");
    fields = fieldsOf(run({"timecode", "--rate", "29.97d", "--rational", "3003/50s"}).out);
    EXPECT_EQ(fields["frames"], "1800");
    EXPECT_EQ(fields["valid"], "true");

    const Outcome dropped = run({"timecode", "--rate", "29.97d", "--string", "00:01:00;00"});
    EXPECT_EQ(dropped.status, 0);
    EXPECT_EQ(fieldsOf(dropped.out)["valid"], "false");
    EXPECT_EQ(fieldsOf(dropped.out)["invalidComponents"], "frames");

    // 24 hours at 30 labels a second, less 2 labels in each of 1440 - 144 minutes.
    const Strings rates = linesOf(run({"timecode", "--list-rates"}).out);
    EXPECT_EQ(rates.size(), 24u);
    const auto row = std::find_if(rates.begin(), rates.end(),
                                  [](const auto& line) { return line.rfind("29.97d ", 0) == 0; });
    ASSERT_NE(row, rates.end());
    EXPECT_EQ(cellsOf(*row).back(), "2589408");

    const Outcome rate = run({"timecode", "--rate", "31", "--frames", "3"});
    EXPECT_EQ(rate.status, 1);
    EXPECT_EQ(rate.err, "timecode: unknown frame rate \"31\" (see --list-rates)\n");
    EXPECT_EQ(run({"timecode", "--rate", "25", "--string", "abc"}).status, 1);
    EXPECT_EQ(run({"timecode", "--rate", "25", "--frames", "3", "--seconds", "1"}).status, 1);
}

TEST_F(VelotrackFcpxml, UrlParsesCommandsAndRefusesOthers) {
    const Outcome open =
        run({"url", "korvane://open?file=/tmp/a%20b.fcpxml&app=logic&empty=&flag"});
    EXPECT_EQ(open.status, 0);
    EXPECT_EQ(open.out, "name: open\nfile=/tmp/a b.fcpxml\napp=logic\nempty=\nflag\n");
    EXPECT_EQ(run({"url", "korvane://login"}).out, "name: login\n");

    // The refusals themselves are pinned with the command; here, how they are reported.
    const Outcome scheme = run({"url", "https://example.com/open?file=a"});
    EXPECT_EQ(scheme.status, 1);
    EXPECT_EQ(scheme.err, "Invalid scheme https\n");
    EXPECT_EQ(run({"url", "not a url"}).status, 1);
}

} // namespace
