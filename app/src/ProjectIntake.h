#pragma once

#include <filesystem>
#include <optional>
#include <platform/DraggingInfo.h>
#include <platform/Pasteboard.h>
#include <string>
#include <vector>

namespace velotrack {

// A document to open in a project window: a file or bundle, or FCPXML text.
struct ProjectSource {
    std::optional<std::filesystem::path> path{};
    std::optional<std::string> text{};
    // What the window is called until the project's name is known.
    std::string title{};
};

// ".fcpxml" files and ".fcpxmld" bundles, in any letter case.
bool isProjectPath(const std::filesystem::path& path);

// What a drop brings: the editor's FCPXML (newest type first), else the dropped texts that are
// XML, else the dropped files and bundles that are projects. Empty when nothing fits.
std::vector<ProjectSource> sourcesFromDrop(const platform::DraggingInfo& info);

// The FCPXML of the clipboard: the editor's types first, then text that holds an fcpxml root.
std::optional<ProjectSource> sourceFromPasteboard(const platform::Pasteboard& pasteboard);

} // namespace velotrack
