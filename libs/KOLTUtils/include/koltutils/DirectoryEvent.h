#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace koltutils {

// What a directory observer reports: entries that appeared (`isNew`) or disappeared, and the
// watched folder they belong to. Two events are equal when kind, files (in order) and source are.
class DirectoryEvent {
public:
    using Path = std::filesystem::path;

    static DirectoryEvent makeNew(std::vector<Path> files, Path source) {
        return {true, std::move(files), std::move(source)};
    }
    static DirectoryEvent removed(std::vector<Path> files, Path source) {
        return {false, std::move(files), std::move(source)};
    }

    bool isNew() const noexcept { return isNew_; }
    const std::vector<Path>& files() const noexcept { return files_; }
    const Path& source() const noexcept { return source_; }

    // "new(files: [...], source: <path>)" or "removed(...)".
    std::string description() const;

    bool operator==(const DirectoryEvent&) const = default;

private:
    DirectoryEvent(bool isNew, std::vector<Path> files, Path source)
        : isNew_(isNew), files_(std::move(files)), source_(std::move(source)) {}

    bool isNew_ = true;
    std::vector<Path> files_;
    Path source_;
};

} // namespace koltutils
