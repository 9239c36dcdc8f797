#pragma once

#include <concepts>

namespace koltutils {

// std::optional and the boxed and shared optionals of the model's records alike, for code that
// only reads them (printing, hashing).
template <class Optional>
concept OptionalValue = requires(const Optional& optional) {
    typename Optional::value_type;
    { optional.has_value() } -> std::convertible_to<bool>;
    *optional;
};

} // namespace koltutils
