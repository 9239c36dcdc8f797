#pragma once

// Real folders for the extension and registry tests: a temporary system library root, a
// temporary state folder for the stand-in registry, and extension bundles made on disk.

#include "WorkspaceFixture.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <system_error>

namespace kvninterchange::testing {

// A fresh folder below the build folder, removed with everything in it at the end.
class TemporaryFolder {
public:
    TemporaryFolder() {
        const auto parent = std::filesystem::path(VELOTRACK_BINARY_DIR) / "test-folders";
        std::filesystem::create_directories(parent);
        std::string pattern = (parent / "extensions-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        path_ = pattern;
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void writeFile(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// An extension bundle: a folder with Contents/Info.plist naming its identifier and version.
inline std::filesystem::path makeExtensionBundle(const std::filesystem::path& bundle,
                                                 const std::string& identifier,
                                                 const std::string& version) {
    writeFile(bundle / "Contents" / "Info.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<plist version=\"1.0\"><dict>\n"
              "<key>CFBundleIdentifier</key><string>" +
                  identifier +
                  "</string>\n"
                  "<key>CFBundleShortVersionString</key><string>" +
                  version + "</string>\n</dict></plist>\n");
    return bundle;
}

// The stand-in registry with its state in a folder of its own, used by every registry call
// while the object lives.
class StandInRegistry {
public:
    StandInRegistry()
        : tool_("VELOTRACK_PLUGINKIT", std::string(VELOTRACK_PLUGINKIT_TOOL)),
          state_("XDG_STATE_HOME", folder_.path().string()) {}

    const std::filesystem::path& stateFolder() const { return folder_.path(); }

private:
    TemporaryFolder folder_;
    platform::testing::ScopedEnvironment tool_;
    platform::testing::ScopedEnvironment state_;
};

} // namespace kvninterchange::testing
