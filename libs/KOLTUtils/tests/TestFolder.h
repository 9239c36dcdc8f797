#pragma once

// A fresh folder for one test, under the build folder rather than /tmp: GIO will not trash on
// tmpfs, and the Trash of these tests must stay out of the user's home. The process's
// XDG_DATA_HOME points at a folder of its own there too, set before the first GLib call (when
// the test program is loaded), so each test process has its own Trash.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace koltutils::testing {

// The process's folder; XDG_DATA_HOME is set on the first call, the folders are made by
// TestFolder (a program that only lists its tests leaves nothing behind).
inline std::filesystem::path testRoot() {
    static const std::filesystem::path root = [] {
        auto path = std::filesystem::path(VELOTRACK_BINARY_DIR) / "test-tmp" /
                    ("koltutils-" + std::to_string(getpid()));
        setenv("XDG_DATA_HOME", (path / "data").c_str(), 1);
        return path;
    }();
    return root;
}

class TestFolder {
public:
    TestFolder() {
        std::filesystem::create_directories(testRoot() / "data");
        std::string name = (testRoot() / "folder-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr) {
            ADD_FAILURE() << "cannot make a folder under " << testRoot();
        }
        path_ = name;
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::filesystem::path folder(const std::string& relative) const {
        std::filesystem::create_directories(path_ / relative);
        return path_ / relative;
    }
    std::filesystem::path file(const std::string& relative, const std::string& text = "") const {
        std::filesystem::create_directories((path_ / relative).parent_path());
        std::ofstream(path_ / relative, std::ios::binary) << text;
        return path_ / relative;
    }

private:
    std::filesystem::path path_;
};

// Removes the process's folder (its Trash included) when the tests end.
class TestRootCleanup : public ::testing::Environment {
public:
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(testRoot(), ignored);
    }
};

} // namespace koltutils::testing
