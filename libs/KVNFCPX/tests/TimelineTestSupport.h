#pragma once

#include <filesystem>
#include <fstream>
#include <koltutils/Describe.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace kvnfcpx::testing {

inline const std::filesystem::path testData =
    std::filesystem::path(VELOTRACK_SOURCE_DIR) / "libs/KVNFCPX/tests/data";
inline const std::filesystem::path sampleDocuments =
    std::filesystem::path(VELOTRACK_SOURCE_DIR) / "../shared/fcpxml-samples";

inline FCPXMLDescription loadTestDocument(const std::string& name) {
    std::ifstream file(testData / name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return FCPXMLDescription::fromText(text.str());
}

// A 1.11 document with the given resources and one project whose sequence has the given
// attributes and children.
inline FCPXMLDescription loadTimeline(const std::string& resources,
                                      const std::string& sequenceAttributes,
                                      const std::string& sequenceChildren) {
    return FCPXMLDescription::fromText("<fcpxml version=\"1.11\"><resources>" + resources +
                                       "</resources><project name=\"Test\"><sequence " +
                                       sequenceAttributes + ">" + sequenceChildren +
                                       "</sequence></project></fcpxml>");
}

// Two audio assets, "a1" and "a2", starting at zero.
inline const std::string twoAudioAssets = R"(<asset id="a1" src="file:///a1.wav" hasAudio="1"/>)"
                                          R"(<asset id="a2" src="file:///a2.wav" hasAudio="1"/>)";

inline const SequenceContent* contentOf(const FCPXMLDescription& description) {
    const auto& sequence = description.project->sequence;
    return sequence && sequence->content ? &*sequence->content : nullptr;
}

inline std::vector<AssetClip> clipsOf(const FCPXMLDescription& description) {
    const auto* content = contentOf(description);
    return content ? content->assetClips : std::vector<AssetClip>{};
}

inline std::vector<Marker> markersOf(const FCPXMLDescription& description) {
    const auto* content = contentOf(description);
    return content ? content->markers : std::vector<Marker>{};
}

inline std::string seconds(const timecode::CMTime& time) {
    return koltutils::describe(time.seconds());
}

// "name @offset start+duration" and, when present, lane, role and mute: a clip's place in
// one line, so that whole timelines compare at a glance.
inline std::string placement(const AssetClip& clip) {
    std::string text = clip.name.value_or("?") + " @" + seconds(clip.clipTime.offset) + " " +
                       seconds(clip.clipTime.start) + "+" + seconds(clip.clipTime.duration);
    if (clip.lane) {
        text += " lane " + std::to_string(*clip.lane);
    }
    if (clip.audioRole) {
        text += " " + *clip.audioRole;
    }
    if (clip.mute) {
        text += " muted";
    }
    return text;
}

inline std::vector<std::string> placements(const std::vector<AssetClip>& clips) {
    std::vector<std::string> texts;
    for (const auto& clip : clips) {
        texts.push_back(placement(clip));
    }
    return texts;
}

// "value @offset", with "(chapter)" for chapter markers.
inline std::vector<std::string> placements(const std::vector<Marker>& markers) {
    std::vector<std::string> texts;
    for (const auto& marker : markers) {
        texts.push_back(marker.value + " @" + seconds(marker.clipTime.offset) +
                        (marker.kind() == Marker::MarkerKind::chapter ? " (chapter)" : ""));
    }
    return texts;
}

// Log lines without their source line numbers: "🚩 File.cpp:function:text".
inline std::vector<std::string> withoutLineNumbers(const std::vector<std::string>& lines) {
    static const std::regex lineNumber(R"(^([^:]*\.cpp:.*?):\d+:)");
    std::vector<std::string> result;
    for (const auto& line : lines) {
        result.push_back(
            std::regex_replace(line, lineNumber, "$1:", std::regex_constants::format_first_only));
    }
    return result;
}

// Only the error lines, without their line numbers.
inline std::vector<std::string> errorLines(const std::vector<std::string>& lines) {
    std::vector<std::string> errors;
    for (const auto& line : withoutLineNumbers(lines)) {
        if (line.starts_with("🚩 ")) {
            errors.push_back(line);
        }
    }
    return errors;
}

} // namespace kvnfcpx::testing
