#include "PathLines.h"

#include <iostream>
#include <nlohmann/json.hpp>

namespace velotrack::cli {

void printPathLine(const std::filesystem::path& path, bool json) {
    if (json) {
        std::cout << nlohmann::json(path.string()).dump() << '\n';
    } else {
        std::cout << path.string() << '\n';
    }
}

std::filesystem::path absolutePath(const std::string& text) {
    auto path = std::filesystem::absolute(text).lexically_normal();
    if (!path.has_filename() && path.has_relative_path()) {
        path = path.parent_path();
    }
    return path;
}

} // namespace velotrack::cli
