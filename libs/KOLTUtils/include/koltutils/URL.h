#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace koltutils {

// A URL value (RFC 3986 URI reference) that behaves like Foundation's URL for the operations the
// system uses. The text is kept exactly as given or built; two URLs are equal when their texts
// are. Component accessors that say "decoded" undo percent-encoding.
class URL {
public:
    struct QueryItem {
        std::string name;
        std::optional<std::string> value; // none when the item has no "="

        bool operator==(const QueryItem&) const = default;
    };

    // A URL from its text, or none when the text is empty or not a valid URI reference (spaces
    // and other characters that need percent-encoding make it invalid).
    static std::optional<URL> fromString(std::string_view text);

    // A "file://" URL for a file-system path, percent-encoded as needed; a relative path is taken
    // from the current folder. A directory URL ends with "/": given explicitly, or when the path
    // ends with "/" or names an existing folder.
    static URL fileURL(const std::filesystem::path& path);
    static URL fileURL(const std::filesystem::path& path, bool isDirectory);

    const std::string& absoluteString() const noexcept { return text_; }
    std::string description() const { return text_; }

    std::optional<std::string> scheme() const;
    // Decoded; none when there is no authority or its host is empty. IPv6 without brackets.
    std::optional<std::string> host() const;
    // Decoded, without a trailing "/" unless the path is just "/".
    std::string path() const;
    // The raw (still encoded) query and fragment, without "?" and "#".
    std::optional<std::string> query() const;
    std::optional<std::string> fragment() const;
    // The query split at "&" and at the first "=" of each item, decoded ("+" stays "+"); none
    // when there is no query.
    std::optional<std::vector<QueryItem>> queryItems() const;

    bool isFileURL() const;
    bool hasDirectoryPath() const;

    // Decoded last component of the path ("/" for the root path).
    std::string lastPathComponent() const;
    // The text after the last "." of the last component; empty when there is none or the
    // component starts with its only ".".
    std::string pathExtension() const;

    // The URL without its last path component, ending with "/".
    URL deletingLastPathComponent() const;
    // Appends an (unencoded) component, encoding it. Without `isDirectory`, a file URL becomes a
    // directory URL when the result names an existing folder.
    URL appendingPathComponent(std::string_view component) const;
    URL appendingPathComponent(std::string_view component, bool isDirectory) const;
    URL deletingPathExtension() const;
    URL appendingPathExtension(std::string_view pathExtension) const;

    bool operator==(const URL&) const = default;

private:
    explicit URL(std::string text) : text_(std::move(text)) {}

    URL replacingPath(std::string_view encodedPath) const;

    std::string text_;
};

} // namespace koltutils

template <> struct std::hash<koltutils::URL> {
    std::size_t operator()(const koltutils::URL& url) const noexcept {
        return std::hash<std::string>{}(url.absoluteString());
    }
};
