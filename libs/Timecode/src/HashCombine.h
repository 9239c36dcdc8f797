#pragma once

#include <cstddef>
#include <functional>

namespace timecode::detail {

/// Mixes the hash of `value` into `seed` (the boost recipe, widened to 64 bits).
template <class T> void hashCombine(std::size_t& seed, const T& value) noexcept {
    seed ^= std::hash<T>{}(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

} // namespace timecode::detail
