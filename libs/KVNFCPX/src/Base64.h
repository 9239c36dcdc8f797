#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kvnfcpx::detail {

// Strict base64 (RFC 4648 alphabet, padded to a multiple of four characters, no whitespace):
// the form in which FCPXML stores bookmarks and effect states. Nothing for any other text.
std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text);

} // namespace kvnfcpx::detail
