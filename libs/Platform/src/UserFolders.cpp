#include "platform/UserFolders.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace platform {

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

// One `XDG_DOCUMENTS_DIR="$HOME/..."` line: a quoted absolute path or one relative to $HOME.
std::optional<std::filesystem::path> documentsEntry(const std::filesystem::path& file,
                                                    const std::string& home) {
    std::ifstream in(file);
    const std::string key = "XDG_DOCUMENTS_DIR=";
    std::optional<std::filesystem::path> found;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) != 0) {
            continue;
        }
        auto value = line.substr(key.size());
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
            continue;
        }
        value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) {
            found = home + value.substr(5);
        } else if (!value.empty() && value.front() == '/') {
            found = value;
        }
    }
    return found;
}

} // namespace

std::optional<std::filesystem::path> userDocumentsFolder() {
    const auto home = environment("HOME");
    if (!home) {
        return std::nullopt;
    }
    const auto config = environment("XDG_CONFIG_HOME").value_or(*home + "/.config");
    if (auto entry = documentsEntry(std::filesystem::path(config) / "user-dirs.dirs", *home)) {
        return entry;
    }
    return std::filesystem::path(*home) / "Documents";
}

} // namespace platform
