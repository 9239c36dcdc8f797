#include "koltutils/URL.h"

#include <algorithm>
#include <system_error>
#include <uriparser/Uri.h>

namespace koltutils {
namespace {

namespace fs = std::filesystem;

// The five components of a URI reference, split as RFC 3986 (appendix B) splits one; the
// pieces are still percent-encoded and point into the split text.
struct Components {
    std::optional<std::string_view> scheme;
    std::optional<std::string_view> authority;
    std::string_view path;
    std::optional<std::string_view> query;
    std::optional<std::string_view> fragment;
};

Components split(std::string_view text) {
    Components components;
    const auto schemeEnd = text.find_first_of(":/?#");
    if (schemeEnd != std::string_view::npos && schemeEnd > 0 && text[schemeEnd] == ':') {
        components.scheme = text.substr(0, schemeEnd);
        text.remove_prefix(schemeEnd + 1);
    }
    if (text.starts_with("//")) {
        text.remove_prefix(2);
        components.authority = text.substr(0, text.find_first_of("/?#"));
        text.remove_prefix(components.authority->size());
    }
    components.path = text.substr(0, text.find_first_of("?#"));
    text.remove_prefix(components.path.size());
    if (text.starts_with('?')) {
        text.remove_prefix(1);
        components.query = text.substr(0, text.find('#'));
        text.remove_prefix(components.query->size());
    }
    if (text.starts_with('#')) {
        components.fragment = text.substr(1);
    }
    return components;
}

std::string compose(const Components& components) {
    std::string text;
    if (components.scheme) {
        text.append(*components.scheme).append(":");
    }
    if (components.authority) {
        text.append("//").append(*components.authority);
    }
    text.append(components.path);
    if (components.query) {
        text.append("?").append(*components.query);
    }
    if (components.fragment) {
        text.append("#").append(*components.fragment);
    }
    return text;
}

// The characters a path keeps unencoded: unreserved, sub-delimiters, ":", "@" and "/".
bool isPathCharacter(char character) {
    const bool isAlphanumeric = (character >= 'a' && character <= 'z') ||
                                (character >= 'A' && character <= 'Z') ||
                                (character >= '0' && character <= '9');
    return isAlphanumeric ||
           std::string_view("-._~!$&'()*+,;=:@/").find(character) != std::string_view::npos;
}

std::string encodePath(std::string_view text) {
    constexpr std::string_view hexDigits = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char character : text) {
        if (isPathCharacter(character)) {
            encoded += character;
        } else {
            const auto byte = static_cast<unsigned char>(character);
            encoded += '%';
            encoded += hexDigits[byte >> 4];
            encoded += hexDigits[byte & 0x0F];
        }
    }
    return encoded;
}

std::string decode(std::string_view encoded) {
    std::string text(encoded);
    const char* end = uriUnescapeInPlaceExA(text.data(), URI_FALSE, URI_BR_DONT_TOUCH);
    text.resize(static_cast<std::size_t>(end - text.data()));
    return text;
}

// A URI parsed by uriparser; the pointers in `uri` point into the parsed text.
class ParsedUri {
public:
    explicit ParsedUri(std::string_view text) {
        const char* errorPosition = nullptr;
        isValid_ = uriParseSingleUriExA(&uri_, text.data(), text.data() + text.size(),
                                        &errorPosition) == URI_SUCCESS;
    }
    ~ParsedUri() {
        if (isValid_) {
            uriFreeUriMembersA(&uri_);
        }
    }
    ParsedUri(const ParsedUri&) = delete;
    ParsedUri& operator=(const ParsedUri&) = delete;

    bool isValid() const noexcept { return isValid_; }
    const UriUriA& uri() const noexcept { return uri_; }

private:
    UriUriA uri_{};
    bool isValid_ = false;
};

std::string_view withoutTrailingSlash(std::string_view path) {
    if (path.size() > 1 && path.ends_with('/')) {
        path.remove_suffix(1);
    }
    return path;
}

// The last component of an encoded path, trailing "/" ignored; "/" for the root.
std::string_view lastEncodedComponent(std::string_view path) {
    if (path == "/") {
        return path;
    }
    path = withoutTrailingSlash(path);
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The position of the "." that starts the extension of `component`, if it has one.
std::optional<std::size_t> extensionDot(std::string_view component) {
    const auto dot = component.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == component.size()) {
        return std::nullopt;
    }
    return dot;
}

std::string currentFolder() {
    std::error_code error;
    auto folder = fs::current_path(error).string();
    return error ? std::string("/") : folder;
}

} // namespace

std::optional<URL> URL::fromString(std::string_view text) {
    if (text.empty() || !ParsedUri(text).isValid()) {
        return std::nullopt;
    }
    return URL(std::string(text));
}

URL URL::fileURL(const fs::path& path) {
    std::error_code error;
    return fileURL(path, path.string().ends_with('/') || fs::is_directory(path, error));
}

URL URL::fileURL(const fs::path& path, bool isDirectory) {
    std::string text = path.string();
    if (text.empty()) {
        text = currentFolder();
        isDirectory = true;
    } else if (!text.starts_with('/')) {
        auto folder = currentFolder();
        if (!folder.ends_with('/')) {
            folder += '/';
        }
        text = folder + text;
    }
    if (isDirectory && !text.ends_with('/')) {
        text += '/';
    }
    return URL("file://" + encodePath(text));
}

std::optional<std::string> URL::scheme() const {
    const auto scheme = split(text_).scheme;
    return scheme ? std::optional<std::string>(*scheme) : std::nullopt;
}

std::optional<std::string> URL::host() const {
    const ParsedUri parsed(text_);
    const auto& range = parsed.uri().hostText;
    if (!parsed.isValid() || range.first == nullptr || range.first == range.afterLast) {
        return std::nullopt;
    }
    return decode(
        std::string_view(range.first, static_cast<std::size_t>(range.afterLast - range.first)));
}

std::string URL::path() const {
    return decode(withoutTrailingSlash(split(text_).path));
}

std::optional<std::string> URL::query() const {
    const auto query = split(text_).query;
    return query ? std::optional<std::string>(*query) : std::nullopt;
}

std::optional<std::string> URL::fragment() const {
    const auto fragment = split(text_).fragment;
    return fragment ? std::optional<std::string>(*fragment) : std::nullopt;
}

std::optional<std::vector<URL::QueryItem>> URL::queryItems() const {
    const auto query = split(text_).query;
    if (!query) {
        return std::nullopt;
    }
    std::vector<QueryItem> items;
    if (query->empty()) {
        return items;
    }
    std::string_view rest = *query;
    while (true) {
        const auto ampersand = rest.find('&');
        const auto item = rest.substr(0, ampersand);
        const auto equals = item.find('=');
        if (equals == std::string_view::npos) {
            items.push_back({decode(item), std::nullopt});
        } else {
            items.push_back({decode(item.substr(0, equals)), decode(item.substr(equals + 1))});
        }
        if (ampersand == std::string_view::npos) {
            return items;
        }
        rest.remove_prefix(ampersand + 1);
    }
}

bool URL::isFileURL() const {
    const auto scheme = split(text_).scheme;
    return scheme && std::ranges::equal(*scheme, std::string_view("file"), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
           });
}

bool URL::hasDirectoryPath() const {
    return split(text_).path.ends_with('/');
}

std::string URL::lastPathComponent() const {
    return decode(lastEncodedComponent(split(text_).path));
}

std::string URL::pathExtension() const {
    const auto component = lastPathComponent();
    const auto dot = extensionDot(component);
    return dot ? component.substr(*dot + 1) : std::string();
}

URL URL::replacingPath(std::string_view encodedPath) const {
    auto components = split(text_);
    std::string path(encodedPath);
    // Keep the new path from reading as something else: without an authority, a leading "//"
    // would start one, and in a reference without a scheme a ":" in the first segment would
    // make that segment a scheme.
    if (!components.authority && path.starts_with("//")) {
        path.insert(0, "/.");
    } else if (!components.scheme && !components.authority && path.find(':') < path.find('/')) {
        path.insert(0, "./");
    }
    components.path = path;
    return URL(compose(components));
}

URL URL::deletingLastPathComponent() const {
    const auto path = split(text_).path;
    if (path.empty()) {
        return *this;
    }
    if (path == "/") {
        return replacingPath("/../");
    }
    const auto trimmed = withoutTrailingSlash(path);
    const auto slash = trimmed.rfind('/');
    return slash == std::string_view::npos ? replacingPath("./")
                                           : replacingPath(trimmed.substr(0, slash + 1));
}

URL URL::appendingPathComponent(std::string_view component) const {
    auto appended = appendingPathComponent(component, false);
    std::error_code error;
    if (isFileURL() && !appended.hasDirectoryPath() && fs::is_directory(appended.path(), error)) {
        return appendingPathComponent(component, true);
    }
    return appended;
}

URL URL::appendingPathComponent(std::string_view component, bool isDirectory) const {
    const auto components = split(text_);
    std::string path(components.path);
    if (!path.ends_with('/') && (!path.empty() || components.authority)) {
        path += '/';
    }
    std::string encoded = encodePath(component);
    const auto firstKept = encoded.find_first_not_of('/');
    encoded.erase(0, path.ends_with('/') ? std::min(firstKept, encoded.size()) : 0);
    path += encoded;
    if (isDirectory && !path.ends_with('/')) {
        path += '/';
    }
    return replacingPath(path);
}

URL URL::deletingPathExtension() const {
    const auto path = split(text_).path;
    const auto trimmed = withoutTrailingSlash(path);
    const auto component = lastEncodedComponent(path);
    const auto dot = extensionDot(component);
    if (!dot || component == "/") {
        return *this;
    }
    const auto componentStart = trimmed.size() - component.size();
    std::string newPath(trimmed.substr(0, componentStart + *dot));
    if (trimmed.size() != path.size()) {
        newPath += '/';
    }
    return replacingPath(newPath);
}

URL URL::appendingPathExtension(std::string_view pathExtension) const {
    const auto path = split(text_).path;
    if (pathExtension.empty() || path.empty() || path == "/") {
        return *this;
    }
    const auto trimmed = withoutTrailingSlash(path);
    std::string newPath(trimmed);
    newPath += '.';
    newPath += encodePath(pathExtension);
    if (trimmed.size() != path.size()) {
        newPath += '/';
    }
    return replacingPath(newPath);
}

} // namespace koltutils
