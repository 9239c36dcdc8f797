#pragma once

// The subcommands whose libraries are heavy to load (Qt for `picture`, FFmpeg for `share`) run
// in companion programs that lie beside the tool, named "velotrack-<subcommand>". The tool only
// hands them its arguments, so every other run starts without loading those libraries, while
// users still meet one `velotrack` command with the same help, output and exit statuses.

#include <string>
#include <string_view>

namespace CLI {
class App;
}

namespace velotrack::cli {

inline constexpr std::string_view toolDescription =
    "velotrack: reads FCPXML documents, the time values they hold and the applications around "
    "them";

// The one-line help of each companion's subcommand: the tool's list of subcommands shows it, and
// so does the companion's own help.
inline constexpr std::string_view pictureSummary =
    "Draws the timeline of an FCPXML document (.fcpxml, .fcpxmld or - for standard input) as "
    "SVG or PNG. Exit status 1: unreadable input or output; 2: the engine refused the document";
inline constexpr std::string_view shareSummary =
    "The editor's share destination and the scripting objects it fills";

// Registers `name` on the tool: every argument after it, options and --help included, goes
// unread to "velotrack-<name>" beside the tool's executable, which replaces the tool's process
// (same process, standard streams and exit status). When the companion cannot be started,
// prints why and exits 1.
void addCompanionCommand(CLI::App& app, std::string name, std::string_view summary);

// The main of a companion: the tool's own top-level App with the one subcommand `addCommand`
// registers, parsing the arguments the tool handed over.
int runCompanion(int argc, char** argv, void (*addCommand)(CLI::App&));

} // namespace velotrack::cli
