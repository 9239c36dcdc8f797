#include "DecimalInteger.h"
#include "timecode/CMTimeString.h"

#include <string>
#include <vector>

namespace timecode {
namespace {

std::string withoutSeconds(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (const char character : text) {
        if (character != 's') {
            kept.push_back(character);
        }
    }
    return kept;
}

// The non-empty pieces between slashes; only the first and the last are ever used.
struct OuterPieces {
    std::string_view first;
    std::string_view last;
};

std::optional<OuterPieces> outerPieces(std::string_view text) {
    std::optional<OuterPieces> pieces;
    while (!text.empty()) {
        const std::size_t slash = text.find('/');
        const std::string_view piece = text.substr(0, slash);
        if (!piece.empty()) {
            pieces = pieces ? OuterPieces{pieces->first, piece} : OuterPieces{piece, piece};
        }
        text = slash == std::string_view::npos ? std::string_view{} : text.substr(slash + 1);
    }
    return pieces;
}

} // namespace

std::optional<CMTime> CMTimeString::parse(std::string_view string) {
    using detail::LeadingSign;
    using detail::parseDecimalInteger;
    if (string == "0s") {
        return CMTime::zero;
    }
    const std::string remainder = withoutSeconds(string);
    if (remainder.find('/') == std::string::npos) {
        const auto value = parseDecimalInteger<std::int64_t>(remainder, LeadingSign::plusOrMinus);
        return value ? std::optional(CMTime::make(*value, 1)) : std::nullopt;
    }
    const auto pieces = outerPieces(remainder);
    if (!pieces) {
        return std::nullopt;
    }
    const auto value = parseDecimalInteger<std::int64_t>(pieces->first, LeadingSign::plusOrMinus);
    const auto timescale =
        parseDecimalInteger<std::int32_t>(pieces->last, LeadingSign::plusOrMinus);
    if (!value || !timescale || *timescale <= 0) {
        return std::nullopt;
    }
    return CMTime::make(*value, *timescale);
}

} // namespace timecode
