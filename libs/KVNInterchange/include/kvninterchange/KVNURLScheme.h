#pragma once

#include "koltutils/EnumTable.h"
#include "koltutils/URL.h"
#include "kvninterchange/RawValueCase.h"

#include <array>
#include <cstdint>
#include <string>

namespace kvninterchange {

// The URL schemes the maker's applications recognise (raw values through koltutils::rawValue
// and koltutils::fromRawValue).
enum class KVNURLScheme : std::uint8_t { korvane, epidemic };

} // namespace kvninterchange

template <> struct koltutils::EnumTable<kvninterchange::KVNURLScheme> {
    using Scheme = kvninterchange::KVNURLScheme;
    static constexpr std::array<kvninterchange::RawValueCase<Scheme>, 2> cases{{
        {Scheme::korvane, "korvane"},
        {Scheme::epidemic, "epidemic"},
    }};
};
static_assert(koltutils::isInDeclarationOrder<kvninterchange::KVNURLScheme>());

namespace kvninterchange {

// "korvane://", "epidemic://".
inline std::string urlPrefix(KVNURLScheme scheme) {
    return std::string(koltutils::rawValue(scheme)) + "://";
}

// Whether the URL's scheme, in small letters, is the scheme's raw value; false without a scheme.
bool hasScheme(const koltutils::URL& url, KVNURLScheme scheme);
inline bool isKorvane(const koltutils::URL& url) {
    return hasScheme(url, KVNURLScheme::korvane);
}
inline bool isEpidemic(const koltutils::URL& url) {
    return hasScheme(url, KVNURLScheme::epidemic);
}

} // namespace kvninterchange
