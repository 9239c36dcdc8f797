#pragma once

// Helpers for the compound, multicam and sync clip tests (a namespace of their own: the spine
// tests keep helpers of the same names in kvnfcpx::testing).

#include <cstdint>
#include <koltutils/Describe.h>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <map>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace kvnfcpx::testing::containers {

inline timecode::CMTime seconds(std::int64_t value, std::int32_t timescale = 1) {
    return timecode::CMTime::make(value, timescale);
}

// A version 1.11 document with assets a1 and a2 (an hour each, from 0 s), the effect fx, the
// given resources, and a sequence starting at `tcStart` that holds `spine`.
inline FCPXMLDescription describe(std::string_view resources, std::string_view spine,
                                  std::string_view tcStart = "0s") {
    std::string xml = R"(<fcpxml version="1.11"><resources>)";
    for (const char* id : {"a1", "a2"}) {
        xml += std::string("<asset id=\"") + id + R"(" start="0s" duration="3600s" hasAudio="1">)" +
               R"(<media-rep kind="original-media" src="file:///media/)" + id +
               R"(.wav"/></asset>)";
    }
    xml += R"(<effect id="fx" uid="FFAudioEQ"/>)" + std::string(resources) +
           R"(</resources><project name="P"><sequence tcStart=")" + std::string(tcStart) +
           R"("><spine>)" + std::string(spine) + "</spine></sequence></project></fcpxml>";
    return FCPXMLDescription::fromText(xml);
}

inline const SequenceContent& contentOf(const FCPXMLDescription& description) {
    static const SequenceContent none;
    const auto& sequence = description.project->sequence;
    return sequence && sequence->content ? *sequence->content : none;
}

// "Name @offset start+duration" in seconds, with " invalid" for clips marked invalid.
inline std::vector<std::string> placements(const std::vector<AssetClip>& clips) {
    std::vector<std::string> texts;
    for (const auto& clip : clips) {
        const auto& time = clip.clipTime;
        texts.push_back(
            clip.name.value_or("?") + " @" + koltutils::describe(time.offset.seconds()) + " " +
            koltutils::describe(time.start.seconds()) + "+" +
            koltutils::describe(time.duration.seconds()) + (time.isValid ? "" : " invalid"));
    }
    return texts;
}

// Each clip's group as its kind and the order of its first appearance ("ref-clip 1",
// "sync-clip 2"), "-" for none; every identifier is checked for its random suffix.
inline std::vector<std::string> groupsOf(const std::vector<AssetClip>& clips) {
    static const std::regex identifier(
        "(ref-clip|sync-clip)_[2346789bdfghjmnpqrtBDFGHJLMNPQRT]{10}");
    std::map<std::string, std::string> labels;
    std::vector<std::string> groups;
    for (const auto& clip : clips) {
        if (!clip.groupId) {
            groups.emplace_back("-");
            continue;
        }
        const std::string& id = *clip.groupId;
        const std::string kind =
            std::regex_match(id, identifier) ? id.substr(0, id.find('_')) : "malformed " + id;
        const auto label = labels.try_emplace(id, kind + " " + std::to_string(labels.size() + 1));
        groups.push_back(label.first->second);
    }
    return groups;
}

// The captured lines of one level without their source line numbers:
// "🚩 File.cpp:function(label:):values".
inline std::vector<std::string> linesOf(const koltutils::ScopedLogCapture& capture,
                                        platform::LogLevel level = platform::LogLevel::error) {
    static const std::regex lineNumber(":[0-9]+:");
    std::vector<std::string> lines;
    for (const auto& record : capture.records()) {
        if (record.level == level) {
            lines.push_back(std::regex_replace(record.text, lineNumber, ":",
                                               std::regex_constants::format_first_only));
        }
    }
    return lines;
}

} // namespace kvnfcpx::testing::containers
