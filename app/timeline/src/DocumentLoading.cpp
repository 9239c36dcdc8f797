#include "timeline/DocumentLoading.h"

#include <koltutils/DescribedError.h>
#include <xmltree/XMLError.h>

namespace velotrack::timeline {

namespace {

LoadedDocument failed(LoadedDocument::Failure failure, std::string message) {
    return {std::nullopt, failure, std::move(message)};
}

template <class Load> LoadedDocument refusedOr(Load&& load, const std::string& prefix) {
    try {
        return {load(), LoadedDocument::Failure::none, {}};
    } catch (const koltutils::DescribedError& error) {
        return failed(LoadedDocument::Failure::refused, error.what());
    } catch (const xmltree::XMLError& error) {
        return failed(LoadedDocument::Failure::refused, prefix + error.what());
    }
}

} // namespace

LoadedDocument loadDocumentFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        return failed(LoadedDocument::Failure::unreadable,
                      path.string() + ": " +
                          (error ? error.message() : "no such file or directory"));
    }
    auto file = path;
    if (std::filesystem::is_directory(status)) {
        const auto xml = kvnfcpx::FCPXMLDescription::xmlFileInBundle(path);
        if (!xml) {
            return failed(LoadedDocument::Failure::unreadable,
                          path.string() + ": not an .fcpxmld bundle with an .fcpxml file");
        }
        file = *xml;
    }
    auto document = kvnfcpx::FCPXMLDescription::documentFromFile(file);
    if (!document) {
        return failed(LoadedDocument::Failure::unreadable,
                      file.string() +
                          ": not a readable .fcpxml document (extension, UTF-8 or XML)");
    }
    return refusedOr([&] { return kvnfcpx::FCPXMLDescription::fromDocument(std::move(document)); },
                     {});
}

LoadedDocument loadDocumentText(std::string_view text) {
    return refusedOr([&] { return kvnfcpx::FCPXMLDescription::fromText(text); }, "");
}

} // namespace velotrack::timeline
