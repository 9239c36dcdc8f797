#pragma once

// How the file route prepares a file's bytes before they are parsed, shared by the plain and the
// diagnosing loaders so that both read a file alike.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kvnfcpx::detail {

// The extension without its dot, lower-cased ("FCPXML" -> "fcpxml").
std::string lowercasedExtension(const std::filesystem::path& path);

// Decodes `bytes` as UTF-8 and drops every control character (C0, DEL and C1, line breaks and
// tabs included). Nothing when not UTF-8.
std::optional<std::string> utf8WithoutControlCharacters(std::string_view bytes);

// The same in place, for a loader that no longer needs the bytes as read: false, with the bytes
// left as they were, when they are not UTF-8.
bool removeControlCharacters(std::string& bytes);

// The offset of the first byte that does not begin a well-formed UTF-8 sequence; nothing when
// every byte does.
std::optional<std::size_t> firstInvalidUTF8Offset(std::string_view bytes);

// A place in the bytes of a file, from the offset of a byte in the text that
// utf8WithoutControlCharacters made of them (the end of that text maps to the end of the file).
// Lines count from 1, "\n", "\r\n" and "\r" ending one; columns count characters from 0.
struct TextPosition {
    std::size_t line = 1;
    std::size_t column = 0;
};
TextPosition originalPosition(std::string_view bytes, std::size_t offsetWithoutControls);

} // namespace kvnfcpx::detail
