#include "Commands.h"
#include "Companion.h"

#include <CLI/CLI.hpp>
#include <platform/Memory.h>

int main(int argc, char** argv) {
    // A document's load frees large blocks as it goes (its text, the items of its timeline): the
    // peak of a long report then stays what the description needs.
    platform::Memory::returnLargeBlocksPromptly();
    CLI::App app{std::string(velotrack::cli::toolDescription)};
    // The same version the application bundle carries as its CFBundleShortVersionString.
    app.set_version_flag("--version", "velotrack " VELOTRACK_VERSION);
    app.require_subcommand(1);
    velotrack::cli::addTimeCommand(app);
    velotrack::cli::addTimecodeCommand(app);
    velotrack::cli::addAppsCommand(app);
    velotrack::cli::addUrlCommand(app);
    velotrack::cli::addImportOptionsCommand(app);
    velotrack::cli::addDescribeCommand(app);
    velotrack::cli::addCompanionCommand(app, "picture", velotrack::cli::pictureSummary);
    velotrack::cli::addMarkersCommand(app);
    velotrack::cli::addCuesCommand(app);
    velotrack::cli::addWatchCommand(app);
    velotrack::cli::addFilesCommand(app);
    velotrack::cli::addTidyCommand(app);
    velotrack::cli::addNextNameCommand(app);
    velotrack::cli::addMusicalCommand(app);
    velotrack::cli::addRealtimeCommand(app);
    velotrack::cli::addTempoCommand(app);
    velotrack::cli::addTransportCommand(app);
    velotrack::cli::addCompanionCommand(app, "share", velotrack::cli::shareSummary);
    velotrack::cli::addExecCommand(app);
    velotrack::cli::addExtensionsCommand(app);
    CLI11_PARSE(app, argc, argv);
    return 0;
}
