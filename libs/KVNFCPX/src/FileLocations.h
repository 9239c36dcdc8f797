#pragma once

// The engine's few questions to the file system, in terms of URLs.

#include <filesystem>
#include <koltutils/URL.h>
#include <optional>
#include <string>
#include <string_view>

namespace kvnfcpx::detail {

// A URL from document text; nothing when the text is not a valid URL string.
std::optional<koltutils::URL> urlFromString(std::string_view text);
koltutils::URL fileURL(const std::filesystem::path& path);
// The URL's path, percent-decoded.
std::filesystem::path pathOf(const koltutils::URL& url);
std::string absoluteString(const koltutils::URL& url);
// Whether a file or folder exists at the URL's path.
bool somethingExists(const koltutils::URL& url);
// The URL made from `text`, kept only if something exists at its path.
std::optional<koltutils::URL> existingLocation(std::optional<std::string_view> text);

} // namespace kvnfcpx::detail
