#pragma once

namespace CLI {
class App;
}

namespace velotrack::cli {

// Each subcommand registers itself on the tool's App; its callback throws CLI::RuntimeError(1)
// when any of its inputs failed, after printing one line per failure on stderr.
void addTimeCommand(CLI::App& app);
void addTimecodeCommand(CLI::App& app);
void addAppsCommand(CLI::App& app);
void addUrlCommand(CLI::App& app);
void addImportOptionsCommand(CLI::App& app);
void addDescribeCommand(CLI::App& app);
void addPictureCommand(CLI::App& app);
void addMarkersCommand(CLI::App& app);
void addCuesCommand(CLI::App& app);
void addWatchCommand(CLI::App& app);
void addFilesCommand(CLI::App& app);
void addTidyCommand(CLI::App& app);
void addNextNameCommand(CLI::App& app);
void addMusicalCommand(CLI::App& app);
void addRealtimeCommand(CLI::App& app);
void addTempoCommand(CLI::App& app);
void addTransportCommand(CLI::App& app);
void addShareCommand(CLI::App& app);
void addExecCommand(CLI::App& app);
void addExtensionsCommand(CLI::App& app);

} // namespace velotrack::cli
