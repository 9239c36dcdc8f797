#include "DocumentText.h"
#include "kvnfcpx/FCPXMLDescription.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <koltutils/DescribedError.h>
#include <memory>
#include <xmltree/XMLDocument.h>
#include <xmltree/XMLError.h>

namespace kvnfcpx {

namespace {

using Kind = LoadingError::Kind;

struct FileClose {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

std::string cannotRead(int error) {
    return std::string("cannot be read (") + std::strerror(error) + ")";
}

std::string readFile(const std::filesystem::path& path) {
    errno = 0;
    const std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        throw LoadingError(Kind::unreadable, cannotRead(errno));
    }
    std::string bytes;
    // Sized once: the whole file is held, and growing by doubling would hold up to twice that.
    std::error_code sizeError;
    if (const auto size = std::filesystem::file_size(path, sizeError); !sizeError) {
        bytes.reserve(static_cast<std::size_t>(size));
    }
    char buffer[1 << 16];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        bytes.append(buffer, count);
    }
    if (std::ferror(file.get())) {
        throw LoadingError(Kind::unreadable, cannotRead(errno));
    }
    return bytes;
}

// The file itself, or the XML file inside a bundle folder.
std::filesystem::path documentFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        throw LoadingError(Kind::doesNotExist, "does not exist");
    }
    if (error) {
        throw LoadingError(Kind::unreadable, cannotRead(error.value()));
    }
    if (!std::filesystem::is_directory(status)) {
        return path;
    }
    auto xml = FCPXMLDescription::xmlFileInBundle(path);
    if (!xml) {
        throw LoadingError(Kind::folderWithoutDocument,
                           "is a folder without an .fcpxml file inside");
    }
    return std::move(*xml);
}

LoadingError notUTF8(std::size_t offset) {
    return LoadingError(Kind::notUTF8,
                        "is not UTF-8 (first bad byte at offset " + std::to_string(offset) + ")");
}

// Where the reader stopped, in the lines and columns of the file as written. The text it read
// had the control characters removed, so the position is mapped back onto the file's bytes,
// read again for this: a failing document need not stay in memory while it is read.
LoadingError notXML(const std::filesystem::path& file, const xmltree::XMLError& error) {
    if (!error.position()) {
        return LoadingError(Kind::notXML, error.reason());
    }
    std::string bytes;
    try {
        bytes = readFile(file);
    } catch (const LoadingError&) {
        return LoadingError(Kind::notXML, error.reason());
    }
    const auto at = detail::originalPosition(bytes, error.position()->byteOffset);
    return LoadingError(Kind::notXML,
                        error.problem() + " at line " + std::to_string(at.line) + ", column " +
                            std::to_string(at.column),
                        LoadingError::Position{at.line, at.column});
}

FCPXMLDescription described(std::shared_ptr<xmltree::XMLDocument> document,
                            const ParserOptions& options,
                            const BookmarkResolver& bookmarkResolver) {
    try {
        return FCPXMLDescription::fromDocument(std::move(document), options, bookmarkResolver);
    } catch (const koltutils::DescribedError& error) {
        throw LoadingError(Kind::notFCPXML, error.what());
    }
}

// The encoding the XML declaration names, when the bytes begin with one that names any.
std::string_view declaredEncoding(std::string_view bytes) {
    if (!bytes.starts_with("<?xml")) {
        return {};
    }
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    auto at = declaration.find("encoding");
    if (at == std::string_view::npos) {
        return {};
    }
    at = declaration.find_first_of("\"'", at);
    if (at == std::string_view::npos) {
        return {};
    }
    const auto end = declaration.find(declaration[at], at + 1);
    return end == std::string_view::npos ? std::string_view{}
                                         : declaration.substr(at + 1, end - at - 1);
}

bool meansUTF8(std::string_view encoding) {
    std::string lowered;
    for (const char c : encoding) {
        lowered += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return lowered.empty() || lowered == "utf-8" || lowered == "utf8";
}

} // namespace

FCPXMLDescription FCPXMLDescription::loadFile(const std::filesystem::path& path,
                                              const ParserOptions& options,
                                              const BookmarkResolver& bookmarkResolver) {
    const auto file = documentFile(path);
    if (!detail::lowercasedExtension(file).starts_with("fcpxml")) {
        throw LoadingError(Kind::notFCPXMLFile, "is not an .fcpxml file (by its extension)");
    }
    std::shared_ptr<xmltree::XMLDocument> document;
    {
        // The bytes become the parser's text in place and are gone before the walk: one copy
        // of the document's text is alive at a time, and none beside the tree and description.
        std::string text = readFile(file);
        if (!detail::removeControlCharacters(text)) {
            throw notUTF8(detail::firstInvalidUTF8Offset(text).value_or(0));
        }
        document = xmltree::XMLDocument::create(xmltree::XMLOptions::standard());
        try {
            // Known to be UTF-8 already, so read as bytes without checking it again.
            document->loadBytes(text);
        } catch (const xmltree::XMLError& error) {
            throw notXML(file, error);
        }
    }
    return described(std::move(document), options, bookmarkResolver);
}

FCPXMLDescription FCPXMLDescription::loadBytes(std::span<const std::uint8_t> bytes,
                                               const ParserOptions& options,
                                               const BookmarkResolver& bookmarkResolver) {
    auto document = xmltree::XMLDocument::create(xmltree::XMLOptions::standard());
    try {
        document->loadBytes(std::as_bytes(bytes));
    } catch (const xmltree::XMLError& error) {
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (meansUTF8(declaredEncoding(text))) {
            if (const auto offset = detail::firstInvalidUTF8Offset(text)) {
                throw notUTF8(*offset);
            }
        }
        std::optional<LoadingError::Position> position;
        if (error.position()) {
            position = LoadingError::Position{error.position()->line, error.position()->column};
        }
        throw LoadingError(Kind::notXML, error.reason(), position);
    }
    return described(std::move(document), options, bookmarkResolver);
}

} // namespace kvnfcpx
