#include "Commands.h"
#include "PathLines.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <koltutils/FileSystem.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velotrack::cli {

namespace {

namespace fs = std::filesystem;
namespace FileSystem = koltutils::FileSystem;

struct FilesOptions {
    std::string folder;
    bool directories = false;
    bool packages = false;
    std::optional<std::string> extension;
    bool recursive = false;
    bool skipHidden = false;
    std::vector<std::string> packageTypes;
    bool skipPackageContents = false;
    bool sorted = false;
    bool json = false;
};

// The listing operations log a missing folder to the system log; the user of the tool sees the
// same words on standard error and a failing status.
bool existsOrSay(const fs::path& folder) {
    std::error_code error;
    if (fs::symlink_status(folder, error).type() != fs::file_type::not_found) {
        return true;
    }
    std::cerr << folder.string() << " doesn't exist\n";
    return false;
}

void runFiles(const FilesOptions& options) {
    const auto folder = absolutePath(options.folder);
    if (!existsOrSay(folder)) {
        throw CLI::RuntimeError(1);
    }
    std::vector<fs::path> paths;
    if (options.directories) {
        paths = FileSystem::getDirectories(folder, options.recursive, options.skipHidden);
    } else if (options.packages) {
        paths = FileSystem::getPackages(folder, options.extension, options.recursive,
                                        options.skipHidden);
    } else {
        FileSystem::FileURLOptions listing;
        listing.withExtension = options.extension;
        listing.recursive = options.recursive;
        listing.allowedPackageTypes = options.packageTypes;
        listing.skipsHiddenFiles = options.skipHidden;
        listing.skipsPackageDescendants = options.skipPackageContents;
        listing.sorted = options.sorted;
        paths = FileSystem::getFileURLs(folder, listing);
    }
    if (options.sorted && (options.directories || options.packages)) {
        std::stable_sort(paths.begin(), paths.end(), [](const fs::path& a, const fs::path& b) {
            return FileSystem::localizedStandardLess(a.filename().string(), b.filename().string());
        });
    }
    for (const auto& path : paths) {
        printPathLine(path, options.json);
    }
}

} // namespace

void addFilesCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "files", "Lists the files (or folders, or packages) in a folder, one absolute path per "
                 "line; exit 1 when the folder doesn't exist");
    auto options = std::make_shared<FilesOptions>();
    command->add_option("folder", options->folder, "The folder to list")->required();
    auto* directories =
        command->add_flag("--directories", options->directories, "List folders (not packages)");
    command->add_flag("--packages", options->packages, "List packages (app, bundle, ...)")
        ->excludes(directories);
    command->add_option("--extension", options->extension,
                        "Only items with this extension (case-sensitive)");
    command->add_flag("--recursive", options->recursive, "Descend into folders");
    command->add_flag("--skip-hidden", options->skipHidden, "Leave out names starting with '.'");
    command->add_option("--package-type", options->packageTypes,
                        "A package extension that counts as a file (repeatable)");
    command->add_flag("--skip-package-contents", options->skipPackageContents,
                      "Never list what is inside a package");
    command->add_flag("--sorted", options->sorted,
                      "Order by name as a file browser does (no case, numbers by value)");
    command->add_flag("--json", options->json, "Print each path as a JSON string");
    command->callback([options] { runFiles(*options); });
}

} // namespace velotrack::cli
