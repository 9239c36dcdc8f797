#pragma once

#include <compare>
#include <string_view>

namespace velotrack {

// Orders application version texts the way update feeds mean them: runs of digits compare as
// numbers of any length ("1.10" is newer than "1.9"), runs of other letters compare as text, and
// a pre-release suffix makes a version older than the plain one ("1.0b2" before "1.0", which is
// before "1.0.1"). Punctuation only separates components.
std::strong_ordering compareBundleVersions(std::string_view left, std::string_view right) noexcept;

} // namespace velotrack
