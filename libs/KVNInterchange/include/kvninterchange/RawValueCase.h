#pragma once

#include <string_view>

namespace kvninterchange {

// The table row of an enumeration whose cases carry nothing but a raw value.
template <class E> struct RawValueCase {
    E value;
    std::string_view rawValue;
};

} // namespace kvninterchange
