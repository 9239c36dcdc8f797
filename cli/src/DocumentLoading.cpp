#include "DocumentLoading.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <koltutils/Log.h>
#include <memory>
#include <platform/StderrLogSink.h>
#include <span>

namespace velotrack::cli {

namespace {

class DiscardingLogSink final : public platform::LogSink {
public:
    void write(const platform::LogRecord&) override {}
};

constexpr int unreadableInput = 1;
constexpr int documentRefused = 2;

std::string standardInputBytes() {
    std::string bytes;
    char buffer[1 << 16];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) {
        bytes.append(buffer, count);
    }
    if (std::ferror(stdin)) {
        throw kvnfcpx::LoadingError(kvnfcpx::LoadingError::Kind::unreadable,
                                    std::string("cannot be read (") + std::strerror(errno) + ")");
    }
    return bytes;
}

} // namespace

void installLogSink(const std::string& level) {
    if (level == "none") {
        koltutils::Log::setSink(std::make_shared<DiscardingLogSink>());
        return;
    }
    const auto minimum = level == "debug"  ? platform::LogLevel::debug
                         : level == "info" ? platform::LogLevel::info
                                           : platform::LogLevel::error;
    koltutils::Log::setSink(std::make_shared<platform::StderrLogSink>(minimum));
}

kvnfcpx::FCPXMLDescription loadDescription(const std::string& path,
                                           kvnfcpx::ParserOptions options) {
    // The commands read descriptions, never the tree behind them: letting the main timeline go
    // as it is walked keeps a large project's load near the size of its description.
    options.releaseMainTimeline = true;
    const bool fromStandardInput = path == "-";
    try {
        auto description = [&] {
            if (!fromStandardInput) {
                return kvnfcpx::FCPXMLDescription::loadFile(path, options);
            }
            const std::string bytes = standardInputBytes();
            return kvnfcpx::FCPXMLDescription::loadBytes(
                std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                options);
        }();
        const auto written = description.versionAsWritten();
        if (written && *written != kvnfcpx::stringValue(description.version)) {
            std::cerr << "warning: reading fcpxml " << *written << " as "
                      << kvnfcpx::stringValue(description.version) << '\n';
        }
        return description;
    } catch (const kvnfcpx::LoadingError& error) {
        std::cerr << (fromStandardInput ? "standard input" : path) << ": " << error.what() << '\n';
        throw CLI::RuntimeError(error.wasRead() ? documentRefused : unreadableInput);
    }
}

void addReadingOptions(CLI::App& command, kvnfcpx::ParserOptions& options) {
    command.add_flag("--validate-media", options.validateMedia,
                     "Leave out assets whose media file is missing");
    command.add_flag("--stable-ids", options.stableIdentifiers,
                     "Number the group identifiers of the load instead of drawing them at "
                     "random, so that two runs print the same");
    command.add_flag("--accept-newer", options.acceptNewerVersions,
                     "Read a document of a newer version 1.<n> as 1.13, with a warning");
}

void addLogLevelOption(CLI::App& command, std::string& level) {
    command
        .add_option("--log-level", level,
                    "Show the engine's log lines on stderr from this level up")
        ->check(CLI::IsMember({"debug", "info", "error", "none"}))
        ->default_str("error");
}

} // namespace velotrack::cli
