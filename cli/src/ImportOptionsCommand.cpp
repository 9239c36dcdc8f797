#include "Commands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <kvninterchange/DecodingError.h>
#include <kvninterchange/TimelineImporterOptions.h>
#include <memory>
#include <string>
#include <system_error>

namespace velotrack::cli {

namespace {

using Options = kvninterchange::TimelineImporterOptions;

// Stored option sets are tiny; a larger file is not one and is not read into memory.
constexpr std::uintmax_t maximumFileSize = 1024 * 1024;

[[noreturn]] void fail(const std::string& path, const std::string& message) {
    std::cerr << "import-options: " << path << ": " << message << '\n';
    throw CLI::RuntimeError(1);
}

std::string readFile(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        fail(path, error.message());
    }
    if (size > maximumFileSize) {
        fail(path, "too large for stored import options");
    }
    std::ifstream stream(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    if (!stream) {
        fail(path, "cannot be read");
    }
    return bytes;
}

std::string joinedRawValues(const std::vector<Options::ProjectImportOption>& options) {
    std::string text;
    for (const auto option : options) {
        text += (text.empty() ? "" : ", ") + std::string(koltutils::rawValue(option));
    }
    return text.empty() ? "none" : text;
}

void printOptions(const Options& options) {
    std::cout << "Project import options: " << joinedRawValues(options.projectImportOptions) << '\n'
              << "Marker import mode:     " << koltutils::rawValue(options.markerImportMode) << '\n'
              << "Audio import mode:      " << koltutils::rawValue(options.audioImportMode) << '\n'
              << "Empty:                  " << (options.isEmpty() ? "yes" : "no") << '\n';
}

} // namespace

void addImportOptionsCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "import-options", "Prints the timeline import options stored in a property list (XML or "
                          "binary) and whether they import anything");
    auto path = std::make_shared<std::string>();
    command->add_option("file", *path, "The property list")->required();
    command->callback([path] {
        const auto data = readFile(*path);
        try {
            printOptions(Options::fromPropertyList(data));
        } catch (const kvninterchange::DecodingError& error) {
            fail(*path, error.what());
        }
    });
}

} // namespace velotrack::cli
