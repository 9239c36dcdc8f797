#pragma once

#include <filesystem>
#include <fstream>
#include <koltutils/Entropy.h>
#include <string_view>

namespace kvnfcpx::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("kvnfcpx-test-" + koltutils::Entropy::uniqueId())) {
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes `contents` to `name` inside the folder (creating intermediate folders).
    std::filesystem::path write(const std::filesystem::path& name,
                                std::string_view contents) const {
        const auto file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << contents;
        return file;
    }

private:
    std::filesystem::path path_;
};

} // namespace kvnfcpx::testing
