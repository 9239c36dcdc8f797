#pragma once

// Small documents and log helpers for the compound, multicam and sync clip tests (a namespace
// of their own: the spine tests keep helpers of the same names in kvnfcpx::testing).

#include <cstdint>
#include <koltutils/ScopedLogCapture.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace kvnfcpx::testing::containers {

inline timecode::CMTime seconds(std::int64_t value, std::int32_t timescale = 1) {
    return timecode::CMTime::make(value, timescale);
}

// A version 1.11 document with two media files ("a1" from 0 s, "a2" from 0 s, both an hour
// long), an effect resource "fx", the given extra resources, and one project whose sequence
// has `sequenceAttributes` and the given spine content.
inline std::string containerDocument(std::string_view resources, std::string_view spine,
                                     std::string_view sequenceAttributes = "tcStart=\"0s\"") {
    std::string xml = R"(<fcpxml version="1.11"><resources>)"
                      R"(<format id="f1" frameDuration="100/2500s"/>)"
                      R"(<asset id="a1" start="0s" duration="3600s" hasAudio="1">)"
                      R"(<media-rep kind="original-media" src="file:///media/a1.wav"/></asset>)"
                      R"(<asset id="a2" start="0s" duration="3600s" hasAudio="1">)"
                      R"(<media-rep kind="original-media" src="file:///media/a2.wav"/></asset>)"
                      R"(<effect id="fx" uid="FFAudioEQ" name="EQ"/>)";
    xml += resources;
    xml += R"(</resources><project name="P"><sequence format="f1" )";
    xml += sequenceAttributes;
    xml += "><spine>";
    xml += spine;
    xml += "</spine></sequence></project></fcpxml>";
    return xml;
}

inline FCPXMLDescription describe(std::string_view resources, std::string_view spine,
                                  std::string_view sequenceAttributes = "tcStart=\"0s\"") {
    return FCPXMLDescription::fromText(containerDocument(resources, spine, sequenceAttributes));
}

inline const SequenceContent& contentOf(const FCPXMLDescription& description) {
    static const SequenceContent none;
    const auto& sequence = description.project->sequence;
    return sequence && sequence->content ? *sequence->content : none;
}

// The first element of the document with that name (depth-first).
inline const xmltree::XMLElement& elementNamed(const FCPXMLDescription& description,
                                               std::string_view name) {
    const auto root = description.document->root();
    const auto found = root->firstDescendant(
        [name](const xmltree::XMLElement& element) { return element.name() == name; });
    return found ? *found : *root;
}

// The captured lines of one level, with the source line number taken out so that tests pin
// the file, function and values: "🚩 File.cpp:function(label:):values".
inline std::vector<std::string> linesOf(const koltutils::ScopedLogCapture& capture,
                                        platform::LogLevel level) {
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

inline std::vector<std::string> errorLines(const koltutils::ScopedLogCapture& capture) {
    return linesOf(capture, platform::LogLevel::error);
}

inline std::vector<std::string> namesOf(const std::vector<AssetClip>& clips) {
    std::vector<std::string> names;
    for (const auto& clip : clips) {
        names.push_back(clip.name.value_or("?"));
    }
    return names;
}

} // namespace kvnfcpx::testing::containers
