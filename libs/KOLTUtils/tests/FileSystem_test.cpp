#include "TestFolder.h"
#include "koltutils/FileSystem.h"
#include "koltutils/ScopedLogCapture.h"

#include <algorithm>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

namespace koltutils {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<fs::path>;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using testing::TestFolder;

// Set before main runs, so before any GLib call of this process.
const fs::path processRoot = testing::testRoot();
[[maybe_unused]] ::testing::Environment* const cleanup =
    ::testing::AddGlobalTestEnvironment(new testing::TestRootCleanup);

// Options named field by field (designated initializers that leave fields out warn here).
template <class Set> FileSystem::FileURLOptions with(Set set) {
    FileSystem::FileURLOptions options;
    set(options);
    return options;
}

std::string contentsOf(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// root/
//   .hidden/h.txt   .dot.txt   top.txt   Movie.fcpbundle/inner/media.mov
//   a/x.txt   a/b/   a/b/up -> root   link -> a   dangling -> nowhere   linked.txt -> a/x.txt
class FileSystemTree : public ::testing::Test {
protected:
    void SetUp() override {
        tree.file(".hidden/h.txt");
        tree.file(".dot.txt");
        tree.file("top.txt");
        tree.file("Movie.fcpbundle/inner/media.mov");
        tree.file("a/x.txt");
        tree.folder("a/b");
        fs::create_directory_symlink(root, root / "a/b/up");
        fs::create_directory_symlink(root / "a", root / "link");
        fs::create_symlink(root / "nowhere", root / "dangling");
        fs::create_symlink(root / "a/x.txt", root / "linked.txt");
    }

    TestFolder tree;
    const fs::path& root = tree.path();
};

TEST_F(FileSystemTree, DirectoriesAreDepthFirstWithoutPackagesOrRevisitedLinks) {
    EXPECT_EQ(FileSystem::getDirectories(root, true, false),
              (Paths{root / ".hidden", root / "a", root / "a/b"}));
    EXPECT_EQ(FileSystem::getDirectories(root, true, true), (Paths{root / "a", root / "a/b"}));
    EXPECT_EQ(FileSystem::getDirectories(root, false, false),
              (Paths{root / ".hidden", root / "a"}));
    EXPECT_EQ(FileSystem::searchRecursivelyForFolder("b", root), root / "a/b");
    EXPECT_EQ(FileSystem::searchRecursivelyForFolder("Movie.fcpbundle", root), std::nullopt);
}

TEST_F(FileSystemTree, PackagesAreFoundByExtension) {
    tree.folder("a/Tool.APP/Contents");
    tree.file("a/Notes.rtfd/TXT.rtf");
    EXPECT_EQ(FileSystem::getPackages(root, std::nullopt, true, false),
              (Paths{root / "Movie.fcpbundle", root / "a/Notes.rtfd", root / "a/Tool.APP"}));
    EXPECT_EQ(FileSystem::getPackages(root, std::nullopt, false, false),
              (Paths{root / "Movie.fcpbundle"}));
    // The package test ignores case, the filter does not.
    EXPECT_EQ(FileSystem::getPackages(root, "app", true, false), Paths{});
    EXPECT_EQ(FileSystem::getPackages(root, "APP", true, false), (Paths{root / "a/Tool.APP"}));
}

TEST_F(FileSystemTree, FileListingHonoursEveryOption) {
    // Links resolve to their targets: "linked.txt" is a/x.txt, already listed under "a".
    EXPECT_EQ(
        FileSystem::getFileURLs(root, with([](auto& o) { o.recursive = true; })),
        (Paths{root / ".dot.txt", root / ".hidden/h.txt", root / "Movie.fcpbundle/inner/media.mov",
               root / "a/x.txt", root / "a/x.txt", root / "top.txt"}));
    EXPECT_EQ(
        FileSystem::getFileURLs(root, with([](auto& o) {
                                    o.recursive = true;
                                    o.allowedPackageTypes = {"fcpbundle"};
                                    o.skipsHiddenFiles = o.skipsPackageDescendants = true;
                                })),
        (Paths{root / "Movie.fcpbundle", root / "a/x.txt", root / "a/x.txt", root / "top.txt"}));
    EXPECT_EQ(FileSystem::getFileURLs(root, with([](auto& o) {
                                          o.withExtension = "mov";
                                          o.recursive = true;
                                      })),
              (Paths{root / "Movie.fcpbundle/inner/media.mov"}));
    EXPECT_EQ(FileSystem::getFileURLs(root, with([](auto& o) { o.skipsHiddenFiles = true; })),
              (Paths{root / "a/x.txt", root / "top.txt"}));
}

TEST(FileSystem, SortedFilesFollowTheFileBrowserOrderAcrossFolders) {
    TestFolder tree;
    for (const auto* name : {"file10.txt", "sub/File2.txt", "file1.txt", "B.txt", "a.txt"}) {
        tree.file(name);
    }
    const auto& root = tree.path();
    EXPECT_EQ(FileSystem::getFileURLs(root, with([](auto& o) { o.recursive = o.sorted = true; })),
              (Paths{root / "a.txt", root / "B.txt", root / "file1.txt", root / "sub/File2.txt",
                     root / "file10.txt"}));

    // Names equal but for case or leading zeros fall back to byte order.
    const std::vector<std::string> ordered{"",     "0", "01",     "1",       "2",
                                           "A",    "a", "a2",     "a10",     "a010b",
                                           "a10c", "b", "file 9", "File 10", "file10"};
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        for (std::size_t j = 0; j < ordered.size(); ++j) {
            EXPECT_EQ(FileSystem::localizedStandardLess(ordered[i], ordered[j]), i < j)
                << '"' << ordered[i] << "\" vs \"" << ordered[j] << '"';
        }
    }
}

TEST(FileSystem, MissingFolderGivesNothingAndLogsThatItDoesNotExist) {
    TestFolder tree;
    const auto missing = tree.path() / "missing";
    ScopedLogCapture capture;
    EXPECT_THAT(FileSystem::getDirectories(missing, true, false), IsEmpty());
    EXPECT_THAT(FileSystem::getPackages(missing, std::nullopt, true, false), IsEmpty());
    EXPECT_THAT(FileSystem::getFileURLs(missing), IsEmpty());
    FileSystem::deleteEmptyDirectories(missing);
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_THAT(lines[0], StartsWith("🚩 FileSystem.cpp:getDirectories(in:recursive:skipHidden:):"));
    EXPECT_THAT(
        lines[1],
        StartsWith("🚩 FileSystem.cpp:getPackages(in:withExtension:recursive:skipHidden:):"));
    EXPECT_THAT(lines[2], StartsWith("🚩 FileSystem.cpp:getFileURLs(in:withExtension:"));
    for (const auto& line : lines) {
        EXPECT_THAT(line, EndsWith(":" + missing.string() + " doesn't exist"));
    }
}

TEST(FileSystem, EmptyFoldersGoToTheTrashInnermostFirst) {
    TestFolder tree;
    const auto& root = tree.path();
    tree.folder("A/B/C");
    tree.file("A/keep.txt", "x");
    tree.file("D/.DS_Store", "x");
    tree.file("E/.other", "x");
    tree.folder("Pkg.app/Contents/Resources");
    ScopedLogCapture capture;

    const auto trashed = FileSystem::deleteEmptyDirectories(root);

    EXPECT_EQ(trashed, (Paths{root / "A/B/C", root / "A/B", root / "D"}));
    EXPECT_TRUE(fs::exists(root / "A/keep.txt"));
    EXPECT_TRUE(fs::exists(root / "E/.other"));
    EXPECT_TRUE(fs::exists(root / "Pkg.app/Contents/Resources"));
    EXPECT_FALSE(fs::exists(root / "D"));
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_THAT(lines[i], StartsWith("FileSystem.cpp:deleteEmptyDirectories(in:):"));
        EXPECT_THAT(lines[i], EndsWith(":🗑 Deleted Empty Directory: " + trashed[i].string()));
    }
    // Moved, not deleted: each one has its record of where it came from.
    const auto trash = processRoot / "data/Trash";
    for (const auto* name : {"C", "B"}) {
        EXPECT_TRUE(fs::is_directory(trash / "files" / name)) << name;
    }
    EXPECT_FALSE(fs::exists(trash / "files/D/.DS_Store"));
    EXPECT_THAT(contentsOf(trash / "info/C.trashinfo"),
                HasSubstr("\nPath=" + (root / "A/B/C").string() + "\n"));
    EXPECT_THAT(contentsOf(trash / "info/B.trashinfo"),
                HasSubstr("\nPath=" + (root / "A/B").string() + "\n"));
}

TEST(FileSystem, NextAvailableURLCountsPastTakenNames) {
    TestFolder tree;
    const auto& root = tree.path();
    EXPECT_EQ(FileSystem::nextAvailableURL(root / "free.txt"), root / "free.txt");
    tree.file("a.txt");
    EXPECT_EQ(FileSystem::nextAvailableURL(root / "a.txt"), root / "a 1.txt");
    tree.file("a 1.txt");
    EXPECT_EQ(FileSystem::nextAvailableURL(root / "a.txt"), root / "a 2.txt");
    // A folder keeps its whole name, dots included; the suffix goes before the counter.
    tree.folder("Clips.v2");
    EXPECT_EQ(FileSystem::nextAvailableURL(root / "Clips.v2", "-", " copy"),
              root / "Clips.v2 copy-1");
    tree.file("archive.tar.gz");
    EXPECT_EQ(FileSystem::nextAvailableURL(root / "archive.tar.gz", "_"),
              root / "archive.tar_1.gz");
}

TEST(FileSystem, RequestDirectoryAsksForOneFolder) {
    TestFolder tree;
    platform::ScriptedOpenPanel chosen(std::vector<fs::path>{tree.path()});
    EXPECT_EQ(FileSystem::requestDirectory(std::nullopt, fs::path("/start"), &chosen), tree.path());
    ASSERT_EQ(chosen.requests().size(), 1u);
    EXPECT_EQ(chosen.requests()[0],
              (platform::OpenPanel::Configuration{.canChooseFiles = false,
                                                  .canChooseDirectories = true,
                                                  .allowsMultipleSelection = false,
                                                  .message = "Please select a directory",
                                                  .directoryURL = fs::path("/start")}));

    auto dismissed = std::make_shared<platform::ScriptedOpenPanel>(std::nullopt);
    platform::OpenPanel::setShared(dismissed);
    EXPECT_EQ(FileSystem::requestDirectory("Pick the media folder"), std::nullopt);
    EXPECT_EQ(dismissed->requests().at(0).message, "Pick the media folder");
    platform::OpenPanel::setShared(nullptr);
    EXPECT_EQ(FileSystem::requestDirectory(), std::nullopt);
}

TEST(FileSystem, ByteCountsReadBackFromTheirText) {
    const std::vector<std::pair<std::uint64_t, std::string>> table{
        {0, "0 bytes"},
        {1, "1 byte"},
        {999, "999 bytes"},
        {1000, "1 KB"},
        {12'345, "12 KB"},
        {999'499, "999 KB"},
        {999'500, "1 MB"},
        {1'500'000, "1.5 MB"},
        {2'250'000'000, "2.25 GB"},
        {1'000'000'000'000, "1 TB"},
        {18'446'744'073'709'551'615U, "18.45 EB"}};
    for (const auto& [count, text] : table) {
        EXPECT_EQ(FileSystem::byteCountToString(count), text) << count;
    }
    EXPECT_EQ(FileSystem::stringToByteCount("1.5 MB"), 1'500'000U);
    EXPECT_EQ(FileSystem::stringToByteCount("12kb"), 12'000U);
    EXPECT_EQ(FileSystem::stringToByteCount("2.25 GB"), 2'250'000'000U);
    EXPECT_EQ(FileSystem::stringToByteCount("7"), 7U);
    EXPECT_EQ(FileSystem::stringToByteCount("1 byte"), 1U);
    for (const auto* bad : {"", "MB", "-1 KB", "1.2.3 KB", "5 parsecs", "19 EB", "1  KB"}) {
        EXPECT_EQ(FileSystem::stringToByteCount(bad), std::nullopt) << bad;
    }
}

TEST(FileSystem, VolumesAndQueryParameters) {
    TestFolder tree;
    const auto nested = tree.folder("deep/er");
    const auto volume = FileSystem::volumeOf(nested);
    ASSERT_TRUE(volume.has_value());
    EXPECT_EQ(FileSystem::volumeOf(tree.path()), volume);
    EXPECT_EQ(fs::relative(nested, *volume).begin()->string().substr(0, 2) == "..", false);
    EXPECT_EQ(FileSystem::volumeOf(tree.path() / "missing"), std::nullopt);
    EXPECT_EQ(FileSystem::mountedVolumes().front(), fs::path("/"));
    const auto size = FileSystem::diskSize(nested);
    const auto free = FileSystem::diskFreeSpace(nested);
    ASSERT_TRUE(size && free);
    EXPECT_GT(*size, 0U);
    EXPECT_LE(*free, *size);
    EXPECT_EQ(FileSystem::diskSize(tree.path() / "missing"), std::nullopt);

    const std::optional<std::string> url = "korvane://open?path=%2Fa%20b&flag&path=second";
    EXPECT_EQ(FileSystem::getQueryStringParameter(url, "path"), "/a b");
    EXPECT_EQ(FileSystem::getQueryStringParameter(url, "flag"), std::nullopt);
    EXPECT_EQ(FileSystem::getQueryStringParameter(url, "other"), std::nullopt);
    EXPECT_EQ(FileSystem::getQueryStringParameter(std::nullopt, "path"), std::nullopt);
}

} // namespace
} // namespace koltutils
