#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velotrack::cli {

// The folder/file commands print one path per line: as it is, or with --json as one JSON string.
void printPathLine(const std::filesystem::path& path, bool json);

// A path as the user gave it, made absolute and without a trailing "/" or "." steps.
std::filesystem::path absolutePath(const std::string& text);

} // namespace velotrack::cli
