#include "Commands.h"
#include "PathLines.h"

#include <CLI/CLI.hpp>
#include <koltutils/FileSystem.h>
#include <memory>
#include <string>

namespace velotrack::cli {

void addNextNameCommand(CLI::App& app) {
    auto* command = app.add_subcommand(
        "next-name", "Prints the path itself when it is free, else the first free "
                     "\"<name><suffix><delimiter><n>.<ext>\" beside it");
    struct Options {
        std::string path;
        std::string delimiter = " ";
        std::string suffix;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    command->add_option("path", options->path, "The file or folder wanted")->required();
    command->add_option("--delimiter", options->delimiter, "Between the name and the counter")
        ->capture_default_str();
    command->add_option("--suffix", options->suffix, "Added to the name before the delimiter");
    command->add_flag("--json", options->json, "Print the path as a JSON string");
    command->callback([options] {
        printPathLine(koltutils::FileSystem::nextAvailableURL(absolutePath(options->path),
                                                              options->delimiter, options->suffix),
                      options->json);
    });
}

} // namespace velotrack::cli
