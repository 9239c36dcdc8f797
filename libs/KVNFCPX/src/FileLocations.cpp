#include "FileLocations.h"

#include <system_error>

namespace kvnfcpx::detail {

std::optional<koltutils::URL> urlFromString(std::string_view text) {
    return koltutils::URL::fromString(text);
}

koltutils::URL fileURL(const std::filesystem::path& path) {
    return koltutils::URL::fileURL(path);
}

std::filesystem::path pathOf(const koltutils::URL& url) {
    return url.path();
}

std::string absoluteString(const koltutils::URL& url) {
    return url.absoluteString();
}

bool somethingExists(const koltutils::URL& url) {
    // A document may name media by relative reference (no scheme); anything but a file or a
    // relative reference is not on this disk.
    if (url.scheme() && !url.isFileURL()) {
        return false;
    }
    const auto path = url.path();
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

std::optional<koltutils::URL> existingLocation(std::optional<std::string_view> text) {
    auto url = text ? urlFromString(*text) : std::nullopt;
    if (url && somethingExists(*url)) {
        return url;
    }
    return std::nullopt;
}

} // namespace kvnfcpx::detail
