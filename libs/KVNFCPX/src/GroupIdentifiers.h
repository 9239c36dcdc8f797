#pragma once

// The identifiers that tag the clips flattened out of one compound, multicam or sync clip.

#include <cstdint>
#include <string>

namespace kvnfcpx::detail {

// While one lives on a thread, the identifiers made there (by the load that made it) are the
// stable ones, counted from 0; otherwise they are random. Scopes nest, the innermost counting.
class StableIdentifierScope {
public:
    explicit StableIdentifierScope(bool stable);
    ~StableIdentifierScope();
    StableIdentifierScope(const StableIdentifierScope&) = delete;
    StableIdentifierScope& operator=(const StableIdentifierScope&) = delete;

private:
    std::uint64_t next_ = 0;
    bool stable_;
    StableIdentifierScope* outer_;
    friend std::string newGroupIdentifier();
};

// Ten characters of the identifier alphabet: random, or the number of the identifier in the
// active stable scope.
std::string newGroupIdentifier();

// `n` in base 32 over the identifier alphabet, ten characters, most significant first (the
// number is taken modulo 32^10).
std::string stableIdentifier(std::uint64_t n);

} // namespace kvnfcpx::detail
