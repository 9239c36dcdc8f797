#pragma once

// Folder utilities: listing subfolders, packages and files, clearing away empty folders, finding
// a free name, asking the user for a folder, and the byte-count, disk and volume helpers.
//
// Error policy: nothing here throws. A folder that does not exist gives an empty result and one
// error-level log line "<path> doesn't exist"; entries that cannot be read are skipped; look-ups
// that cannot answer return std::nullopt.
//
// Listing rules shared by the three listing operations:
// - Results are absolute paths in depth-first order, each folder right before what lies in it.
// - A package is a folder whose extension is one of `packageExtensions` (compared without case);
//   it is one item, not a folder to list.
// - Symbolic links are followed the way the editor's platform follows alias files: the entry is
//   replaced by the location it resolves to, and a link that cannot be resolved is skipped. A
//   folder reached a second time (through a link, or a link to one of its parents) is neither
//   listed nor entered again, so links never loop.
// - A hidden entry is one whose name starts with ".".
// - Extension filters compare case-sensitively, as the package-type test does.

#include "platform/OpenPanel.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace koltutils {

namespace FileSystem {

using Path = std::filesystem::path;

inline constexpr std::array<std::string_view, 10> packageExtensions{
    "app",  "appex",     "bundle",  "framework", "plugin",
    "kext", "fcpbundle", "fcpxmld", "logicx",    "rtfd"};

// Whether `path` names a folder that counts as a package (see above).
bool isPackage(const Path& path);

// The folders in `in` (not packages), and with `recursive` the folders inside them.
std::vector<Path> getDirectories(const Path& in, bool recursive, bool skipHidden);

// The packages in `in`, only those with the extension `withExtension` when one is given; with
// `recursive` also those inside the (non-package) folders below.
std::vector<Path> getPackages(const Path& in, const std::optional<std::string>& withExtension,
                              bool recursive, bool skipHidden);

// The options of getFileURLs, by name rather than as a row of Booleans.
struct FileURLOptions {
    // Keep only files with this extension.
    std::optional<std::string> withExtension;
    // Descend into folders.
    bool recursive = false;
    // Packages whose extension is exactly one of these are files, not folders.
    std::vector<std::string> allowedPackageTypes;
    bool skipsHiddenFiles = false;
    // Never look inside a package, even when recursive.
    bool skipsPackageDescendants = false;
    // Order the whole result by file name with localizedStandardLess.
    bool sorted = false;
};

// The files in `in` (regular files, and packages of the allowed types).
std::vector<Path> getFileURLs(const Path& in, const FileURLOptions& options = {});

// Moves every empty folder below `in` (packages excepted) to the Trash, deepest first, so that a
// folder emptied by that counts as empty too. A ".DS_Store" file alone does not keep a folder;
// it is deleted first. Folders that cannot be listed or moved stay. Returns the folders moved, in
// the order they were moved, so a caller can report them.
std::vector<Path> deleteEmptyDirectories(const Path& in);

// `url` when nothing exists there; otherwise the first free "<stem><suffix><delimiter><n>[.ext]"
// beside it, n from 1 to 100,000 (a folder keeps its whole name as the stem), or `url` again when
// all of those are taken.
Path nextAvailableURL(const Path& url, std::string_view delimiter = " ",
                      std::string_view suffix = "");

// Asks the user for a folder through `panel` (the process's shared OpenPanel when null): folders
// only, one of them, titled `message` or "Please select a directory", opening in `directoryURL`.
// None when the user cancels or no panel is installed.
std::optional<Path> requestDirectory(const std::optional<std::string>& message = std::nullopt,
                                     const std::optional<Path>& directoryURL = std::nullopt,
                                     platform::OpenPanel* panel = nullptr);

// The order a file browser shows names in: letters compared without case, runs of digits
// compared as numbers ("file 2" before "file 10"); names equal by that rule fall back to a plain
// byte comparison so the order is total.
bool localizedStandardLess(std::string_view lhs, std::string_view rhs);

// A byte count as the platform shows file sizes, in decimal units: "0 bytes", "1 byte",
// "999 bytes", "12 KB" (whole kilobytes), "1.5 MB" (one decimal), "2.25 GB", "1 TB", "3.1 PB"
// (two decimals from gigabytes up); decimals that are zero are left out. Rounded to nearest.
std::string byteCountToString(std::uint64_t byteCount);

// Reads "<number>[ ]<unit>" back, unit one of bytes/byte/B/KB/MB/GB/TB/PB in any case, decimal
// multiples; a bare number is bytes. None for anything else, negatives, and counts that do not
// fit in 64 bits.
std::optional<std::uint64_t> stringToByteCount(std::string_view text);

// Size and free space (available to this user) of the volume holding `path`; none when the path
// cannot be examined.
std::optional<std::uint64_t> diskSize(const Path& path);
std::optional<std::uint64_t> diskFreeSpace(const Path& path);

// Mount points of the volumes a user sees: "/" and every mounted block device ("/dev/..."), in
// mount order, without duplicates.
std::vector<Path> mountedVolumes();

// The mount point of the volume holding `path` (the highest folder above it on the same device);
// none when the path does not exist.
std::optional<Path> volumeOf(const Path& path);

// The decoded value of the first query item named `parameter` in the URL `url`; none when the
// URL is absent or invalid, has no such item, or the item has no "=".
std::optional<std::string> getQueryStringParameter(const std::optional<std::string>& url,
                                                   std::string_view parameter);

// The first folder named `name` below `in`, hidden folders included, in listing order.
std::optional<Path> searchRecursivelyForFolder(std::string_view name, const Path& in);

} // namespace FileSystem

} // namespace koltutils
