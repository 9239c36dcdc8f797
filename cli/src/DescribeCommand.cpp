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
    kvnfcpx::ParserOptions reading{};
    std::string logLevel = "error";
};

void describe(const DescribeOptions& options) {
    installLogSink(options.logLevel);
    const auto description = loadDescription(options.path, options.reading);
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
    addReadingOptions(*command, options->reading);
    addLogLevelOption(*command, options->logLevel);
    command->callback([options] { describe(*options); });
}

} // namespace velotrack::cli
