#include "DocumentText.h"

#include <algorithm>
#include <koltutils/UTF8.h>

namespace kvnfcpx::detail {

namespace {

// Whether the well-formed sequence of `length` bytes at `bytes[i]` is a control character: C0,
// DEL or C1.
bool isControlCharacter(std::string_view bytes, std::size_t i, std::size_t length) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const bool c0OrDelete = length == 1 && (lead < 0x20 || lead == 0x7F);
    const bool c1 = length == 2 && lead == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0;
    return c0OrDelete || c1;
}

} // namespace

std::string lowercasedExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return extension;
}

std::optional<std::string> utf8WithoutControlCharacters(std::string_view bytes) {
    std::string text(bytes);
    if (!removeControlCharacters(text)) {
        return std::nullopt;
    }
    return text;
}

bool removeControlCharacters(std::string& bytes) {
    if (!koltutils::UTF8::isValid(bytes)) {
        return false;
    }
    // Well-formed from here on: a sequence's length follows from its lead byte. The kept text
    // moves down over the removed characters; it is never longer than what was read.
    char* const data = bytes.data();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(data[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (!isControlCharacter(bytes, i, length)) {
            for (std::size_t k = 0; k < length; ++k) {
                data[kept++] = data[i + k];
            }
        }
        i += length;
    }
    bytes.resize(kept);
    return true;
}

std::optional<std::size_t> firstInvalidUTF8Offset(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = koltutils::UTF8::sequenceLength(bytes, i);
        if (length == 0) {
            return i;
        }
        i += length;
    }
    return std::nullopt;
}

TextPosition originalPosition(std::string_view bytes, std::size_t offsetWithoutControls) {
    TextPosition position;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length =
            std::max<std::size_t>(koltutils::UTF8::sequenceLength(bytes, i), 1);
        const bool control = isControlCharacter(bytes, i, length);
        if (!control && kept == offsetWithoutControls) {
            break;
        }
        if (!control) {
            kept += length;
        }
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) {
            ++position.line;
            position.column = 0;
        } else if (bytes[i] != '\r') {
            ++position.column;
        }
        i += length;
    }
    return position;
}

} // namespace kvnfcpx::detail
