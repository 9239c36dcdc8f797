#pragma once

#include "timecode/Fraction.h"

#include <koltutils/EnumTable.h>
#include <optional>

namespace timecode::detail {

/// Equal pairs, or else equal double quotients: 1/24 matches 100/2400 and 2002/48000 matches
/// 1001/24000.
constexpr bool fractionsMatch(const Fraction& given, const Fraction& candidate) noexcept {
    return given.isIdentical(candidate) || given.doubleValue() == candidate.doubleValue();
}

/// A frame duration matches a rate's own duration or, for NTSC rates, the alternate one.
constexpr bool matchesFrameDuration(const Fraction& given, const Fraction& frameDuration,
                                    const std::optional<Fraction>& alternate) noexcept {
    return fractionsMatch(given, frameDuration) ||
           (alternate.has_value() && fractionsMatch(given, *alternate));
}

/// The first case in table order that `matches` and whose flag (drop-ness, interlacing) equals
/// `wanted`; the table order is what decides between 29.97 and 29.97d, 30 and 30d.
template <class E, class Matches, class FlagOf>
constexpr std::optional<E> firstCase(Matches matches, FlagOf flagOf, bool wanted) {
    for (const auto& row : koltutils::EnumTable<E>::cases) {
        if (flagOf(row) == wanted && matches(row)) {
            return row.value;
        }
    }
    return std::nullopt;
}

} // namespace timecode::detail
