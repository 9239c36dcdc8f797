#include "Commands.h"
#include "PathLines.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <koltutils/FileSystem.h>
#include <memory>
#include <string>

namespace velotrack::cli {

void addTidyCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "tidy", "Moves every empty folder below a folder to the Trash (a lone .DS_Store does not "
                "count), printing each one moved; exit 1 when the folder doesn't exist");
    struct Options {
        std::string folder;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    command->add_option("folder", options->folder, "The folder to tidy")->required();
    command->add_flag("--json", options->json, "Print each path as a JSON string");
    command->callback([options] {
        const auto folder = absolutePath(options->folder);
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error)) {
            std::cerr << folder.string() << " doesn't exist\n";
            throw CLI::RuntimeError(1);
        }
        for (const auto& trashed : koltutils::FileSystem::deleteEmptyDirectories(folder)) {
            printPathLine(trashed, options->json);
        }
    });
}

} // namespace velotrack::cli
