#include "Commands.h"

#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
    CLI::App app{"velotrack-fcpxml: reads FCPXML documents and the time values they hold"};
    app.require_subcommand(1);
    velotrack::cli::addTimeCommand(app);
    velotrack::cli::addTimecodeCommand(app);
    velotrack::cli::addAppsCommand(app);
    velotrack::cli::addUrlCommand(app);
    velotrack::cli::addImportOptionsCommand(app);
    velotrack::cli::addDescribeCommand(app);
    CLI11_PARSE(app, argc, argv);
    return 0;
}
