#include "ProjectIntake.h"

#include <algorithm>
#include <cctype>
#include <kvnutils/NSDraggingInfo.h>
#include <kvnutils/NSPasteboard.h>

namespace velotrack {

namespace {

bool looksLikeXML(const std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), [](unsigned char c) {
        return std::isspace(c) != 0 || c == 0xEF || c == 0xBB || c == 0xBF;
    });
    return first != text.end() && *first == '<';
}

std::string textOf(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

} // namespace

bool isProjectPath(const std::filesystem::path& path) {
    auto extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".fcpxml" || extension == ".fcpxmld";
}

std::vector<ProjectSource> sourcesFromDrop(const platform::DraggingInfo& info) {
    if (const auto data = kvnutils::fcpxmlData(info.draggingPasteboard())) {
        return {ProjectSource{std::nullopt, textOf(*data), "Dropped FCPXML"}};
    }
    const auto strings = kvnutils::stringArray(info);
    if (!strings) {
        return {};
    }
    std::vector<ProjectSource> sources;
    for (const auto& string : *strings) {
        if (looksLikeXML(string)) {
            sources.push_back({std::nullopt, string, "Dropped FCPXML"});
        }
    }
    if (!sources.empty()) {
        return sources;
    }
    for (const auto& url : kvnutils::toURLArray(info).value_or(std::vector<koltutils::URL>{})) {
        if (url.scheme() == "file" && isProjectPath(url.path())) {
            const std::filesystem::path path = url.path();
            sources.push_back({path, std::nullopt, path.filename().string()});
        }
    }
    return sources;
}

std::optional<ProjectSource> sourceFromPasteboard(const platform::Pasteboard& pasteboard) {
    if (const auto data = kvnutils::fcpxmlData(pasteboard)) {
        return ProjectSource{std::nullopt, textOf(*data), "Pasted FCPXML"};
    }
    const auto text = pasteboard.string(platform::Pasteboard::stringType);
    if (text && looksLikeXML(*text) && text->find("<fcpxml") != std::string::npos) {
        return ProjectSource{std::nullopt, *text, "Pasted FCPXML"};
    }
    return std::nullopt;
}

} // namespace velotrack
