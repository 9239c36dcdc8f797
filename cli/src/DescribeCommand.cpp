#include "Commands.h"
#include "DescriptionJSON.h"
#include "DescriptionReport.h"
#include "DocumentLoading.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

namespace velotrack::cli {

namespace {

struct DescribeOptions {
    std::string path;
    bool json = false;
    bool validateMedia = false;
    bool stableIds = false;
    bool acceptNewer = false;
    std::string logLevel = "error";
};

void describe(const DescribeOptions& options) {
    installLogSink(options.logLevel);
    const auto description =
        loadDescription(options.path, {.validateMedia = options.validateMedia,
                                       .stableIdentifiers = options.stableIds,
                                       .acceptNewerVersions = options.acceptNewer});
    if (options.json) {
        writeDescriptionJSON(description, std::cout);
    } else {
        writeDescriptionReport(description, std::cout);
    }
}

} // namespace

void addDescribeCommand(CLI::App& app) {
    auto options = std::make_shared<DescribeOptions>();
    auto* command = app.add_subcommand(
        "describe", "Loads an FCPXML document (.fcpxml, .fcpxmld or - for standard input) and "
                    "prints its flattened project");
    command->add_option("path", options->path, "The document, or - for standard input")->required();
    command->add_flag("--json", options->json, "Print the whole description as JSON");
    command->add_flag("--validate-media", options->validateMedia,
                      "Leave out assets whose media file is missing");
    command->add_flag("--stable-ids", options->stableIds,
                      "Number the group identifiers of the load instead of drawing them at "
                      "random, so that two runs print the same");
    command->add_flag("--accept-newer", options->acceptNewer,
                      "Read a document of a newer version 1.<n> as 1.13, with a warning");
    addLogLevelOption(*command, options->logLevel);
    command->callback([options] { describe(*options); });
}

} // namespace velotrack::cli
