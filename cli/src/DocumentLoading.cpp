#include "DocumentLoading.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <koltutils/DescribedError.h>
#include <koltutils/Log.h>
#include <memory>
#include <platform/StderrLogSink.h>
#include <xmltree/XMLError.h>

namespace velotrack::cli {

namespace {

constexpr int unreadableInput = 1;
constexpr int documentRefused = 2;

class DiscardingLogSink final : public platform::LogSink {
public:
    void write(const platform::LogRecord&) override {}
};

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

kvnfcpx::FCPXMLDescription loadDescription(const std::string& path, bool validateMedia) {
    try {
        return path == "-" ? loadStandardInput(validateMedia) : loadFile(path, validateMedia);
    } catch (const koltutils::DescribedError& error) {
        fail(documentRefused, error.what());
    }
}

} // namespace velotrack::cli
