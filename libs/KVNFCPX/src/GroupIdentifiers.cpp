#include "GroupIdentifiers.h"

#include <koltutils/Entropy.h>

namespace kvnfcpx::detail {

namespace {

// The scope of the load running on this thread; a load runs on one thread from start to end.
thread_local StableIdentifierScope* activeScope = nullptr;

constexpr std::size_t identifierLength = 10;

} // namespace

StableIdentifierScope::StableIdentifierScope(bool stable) : stable_(stable), outer_(activeScope) {
    activeScope = this;
}

StableIdentifierScope::~StableIdentifierScope() {
    activeScope = outer_;
}

std::string newGroupIdentifier() {
    if (activeScope != nullptr && activeScope->stable_) {
        return stableIdentifier(activeScope->next_++);
    }
    return koltutils::Entropy::uniqueId();
}

std::string stableIdentifier(std::uint64_t n) {
    constexpr auto alphabet = koltutils::Entropy::uniqueIdAlphabet;
    static_assert(alphabet.size() == 32);
    std::string text(identifierLength, alphabet[0]);
    for (auto digit = text.rbegin(); digit != text.rend(); ++digit) {
        *digit = alphabet[n % 32];
        n /= 32;
    }
    return text;
}

} // namespace kvnfcpx::detail
