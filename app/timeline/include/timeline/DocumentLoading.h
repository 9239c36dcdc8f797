#pragma once

// One way to open a document for the views: a file, a bundle or text in, a description or the
// reason out. Nothing here throws.

#include <filesystem>
#include <kvnfcpx/FCPXMLDescription.h>
#include <optional>
#include <string>
#include <string_view>

namespace velotrack::timeline {

struct LoadedDocument {
    enum class Failure {
        none,
        // The input could not be read as XML at all (missing file, wrong extension, not UTF-8).
        unreadable,
        // The engine refused the document; `message` is its own text.
        refused,
    };

    std::optional<kvnfcpx::FCPXMLDescription> description{};
    Failure failure = Failure::none;
    std::string message{};
};

// A ".fcpxml" file, or a ".fcpxmld" bundle through the XML file inside it.
LoadedDocument loadDocumentFile(const std::filesystem::path& path);
// FCPXML text (from the clipboard, a drop or standard input); an XML error counts as refused.
LoadedDocument loadDocumentText(std::string_view text);

} // namespace velotrack::timeline
