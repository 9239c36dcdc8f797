#pragma once

#include <cstddef>
#include <functional>
#include <koltutils/OptionalValue.h>

namespace kvnfcpx::detail {

// Mixes the hash of `value` into `seed` (the boost recipe, widened to 64 bits).
template <typename T> void hashCombine(std::size_t& seed, const T& value) noexcept {
    seed ^= std::hash<T>{}(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

template <koltutils::OptionalValue Optional>
void hashCombine(std::size_t& seed, const Optional& value) noexcept {
    hashCombine(seed, value.has_value());
    if (value) {
        hashCombine(seed, *value);
    }
}

} // namespace kvnfcpx::detail
