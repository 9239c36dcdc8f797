#include "Commands.h"
#include "DescriptionJSON.h"
#include "DescriptionReport.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <koltutils/DescribedError.h>
#include <koltutils/Log.h>
#include <kvnfcpx/FCPXMLDescription.h>
#include <memory>
#include <platform/StderrLogSink.h>
#include <string>
#include <xmltree/XMLError.h>

namespace velotrack::cli {

namespace {

constexpr int unreadableInput = 1;
constexpr int documentRefused = 2;

struct DescribeOptions {
    std::string path;
    bool json = false;
    bool validateMedia = false;
    std::string logLevel = "error";
};

class DiscardingLogSink final : public platform::LogSink {
public:
    void write(const platform::LogRecord&) override {}
};

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

[[noreturn]] void fail(int exitCode, const std::string& message) {
    std::cerr << message << '\n';
    throw CLI::RuntimeError(exitCode);
}

kvnfcpx::FCPXMLDescription loadStandardInput(bool validateMedia) {
    const std::string bytes{std::istreambuf_iterator<char>(std::cin),
                            std::istreambuf_iterator<char>()};
    if (std::cin.bad()) {
        fail(unreadableInput, "-: cannot read standard input");
    }
    try {
        return kvnfcpx::FCPXMLDescription::fromData(
            {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, validateMedia);
    } catch (const xmltree::XMLError& error) {
        fail(documentRefused, std::string("-: ") + error.what());
    }
}

// A bundle is read through the XML file inside it; a file is read as it is.
std::filesystem::path documentFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        fail(unreadableInput,
             path.string() + ": " + (error ? error.message() : "no such file or directory"));
    }
    if (!std::filesystem::is_directory(status)) {
        return path;
    }
    const auto xml = kvnfcpx::FCPXMLDescription::xmlFileInBundle(path);
    if (!xml) {
        fail(unreadableInput, path.string() + ": not an .fcpxmld bundle with an .fcpxml file");
    }
    return *xml;
}

kvnfcpx::FCPXMLDescription loadFile(const std::filesystem::path& path, bool validateMedia) {
    const auto file = documentFile(path);
    auto document = kvnfcpx::FCPXMLDescription::documentFromFile(file);
    if (!document) {
        fail(unreadableInput,
             file.string() + ": not a readable .fcpxml document (extension, UTF-8 or XML)");
    }
    return kvnfcpx::FCPXMLDescription::fromDocument(std::move(document), validateMedia);
}

void describe(const DescribeOptions& options) {
    installLogSink(options.logLevel);
    try {
        const auto description = options.path == "-"
                                     ? loadStandardInput(options.validateMedia)
                                     : loadFile(options.path, options.validateMedia);
        if (options.json) {
            writeDescriptionJSON(description, std::cout);
        } else {
            writeDescriptionReport(description, std::cout);
        }
    } catch (const koltutils::DescribedError& error) {
        fail(documentRefused, error.what());
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
    command
        ->add_option("--log-level", options->logLevel,
                     "Show the engine's log lines on stderr from this level up")
        ->check(CLI::IsMember({"debug", "info", "error", "none"}))
        ->default_str("error");
    command->callback([options] { describe(*options); });
}

} // namespace velotrack::cli
