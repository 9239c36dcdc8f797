#pragma once

// The identifiers that tag the clips flattened out of one compound, multicam or sync clip.

#include <cstdint>
#include <string>

namespace kvnfcpx::detail {

// `n` in base 32 over the identifier alphabet, ten characters, most significant first (the
// number is taken modulo 32^10): the n-th group identifier of a load with stable identifiers.
std::string stableIdentifier(std::uint64_t n);

} // namespace kvnfcpx::detail
