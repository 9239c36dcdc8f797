#pragma once

// How the engine reads attribute text of FCPXML elements: exactly, case-sensitive, untrimmed,
// numbers filling the whole text. Shared by every reader of the engine.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <timecode/CMTime.h>
#include <xmltree/XMLElement.h>

namespace kvnfcpx::detail {

// Decimal digits with an optional leading "+" or "-"; nothing on any other character, on empty
// text and on overflow.
std::optional<std::int64_t> readInteger(std::string_view text) noexcept;
// The whole text must be a number: an optional sign, digits with an optional point and
// exponent, or "inf"/"nan"; no whitespace, nothing left over, nothing out of range.
std::optional<double> readDouble(std::string_view text) noexcept;
std::optional<float> readFloat(std::string_view text) noexcept;
// An FCPXML time value ("0s", "1001/24000s", "3600s"); nothing when unreadable.
std::optional<timecode::CMTime> readTime(std::string_view text);

std::optional<std::string> textAttribute(const xmltree::XMLElement& element, std::string_view name);
std::optional<std::int64_t> integerAttribute(const xmltree::XMLElement& element,
                                             std::string_view name);
std::optional<double> doubleAttribute(const xmltree::XMLElement& element, std::string_view name);
std::optional<float> floatAttribute(const xmltree::XMLElement& element, std::string_view name);
std::optional<timecode::CMTime> timeAttribute(const xmltree::XMLElement& element,
                                              std::string_view name);
// True exactly when the attribute's text is "1".
bool flagAttribute(const xmltree::XMLElement& element, std::string_view name);

} // namespace kvnfcpx::detail
