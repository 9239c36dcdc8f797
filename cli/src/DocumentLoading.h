#pragma once

#include <kvnfcpx/FCPXMLDescription.h>
#include <string>

namespace CLI {
class App;
} // namespace CLI

namespace velotrack::cli {

// The document at `path` (a .fcpxml file or a .fcpxmld bundle), or standard input for "-", as
// every command that reads a document loads it. When it cannot be loaded, prints
// "<path or standard input>: <reason>" on stderr and throws CLI::RuntimeError with exit status 1
// (the input could not be read) or 2 (it was read and refused). A newer document read as 1.13
// (`acceptNewerVersions`) is announced by "warning: reading fcpxml <version> as 1.13" on stderr.
// The load lets go of the main timeline as it walks it (`releaseMainTimeline`, whatever
// `options` say): the description's document lacks those items.
kvnfcpx::FCPXMLDescription loadDescription(const std::string& path, kvnfcpx::ParserOptions options);

// The options of the commands that read a document which say how to read it, stored in
// `options` (which outlives the command): "--validate-media", "--stable-ids", "--accept-newer".
void addReadingOptions(CLI::App& command, kvnfcpx::ParserOptions& options);

// The engine's log lines on stderr from `level` up ("debug", "info", "error"), or none ("none").
void installLogSink(const std::string& level);

// The "--log-level" option of the commands that read a document, stored in `level` (which
// outlives the command), for installLogSink.
void addLogLevelOption(CLI::App& command, std::string& level);

} // namespace velotrack::cli
