#include "GroupIdentifiers.h"

#include <koltutils/Entropy.h>

namespace kvnfcpx::detail {

namespace {

constexpr std::size_t identifierLength = 10;

} // namespace

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
