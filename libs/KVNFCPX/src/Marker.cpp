#include "kvnfcpx/Marker.h"

#include "HashCombine.h"

std::size_t std::hash<kvnfcpx::Marker>::operator()(const kvnfcpx::Marker& marker) const noexcept {
    using kvnfcpx::detail::hashCombine;
    std::size_t seed = 0;
    hashCombine(seed, marker.value);
    hashCombine(seed, marker.clipTime);
    return seed;
}
