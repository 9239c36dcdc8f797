#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace koltutils {

// Enumerations with raw values keep everything about their cases in one constexpr table:
// specialise EnumTable<E> with `static constexpr std::array cases`, one row per case in
// declaration order. Each row has at least `value` (the case) and `rawValue` (its text); further
// fields hold per-case properties, read through caseOf(value).field.
template <class E> struct EnumTable;

// Whether the table lists the cases in declaration order, starting at zero; check it with
// static_assert next to each table.
template <class E> constexpr bool isInDeclarationOrder() noexcept {
    const auto& cases = EnumTable<E>::cases;
    for (std::size_t index = 0; index < cases.size(); ++index) {
        if (static_cast<std::size_t>(cases[index].value) != index) {
            return false;
        }
    }
    return true;
}

// The table row of a case. Throws std::out_of_range for a value that is not a case (possible
// only through a cast).
template <class E> constexpr const auto& caseOf(E value) {
    const auto& cases = EnumTable<E>::cases;
    const auto index = static_cast<std::size_t>(value);
    if (index >= cases.size()) {
        throw std::out_of_range("koltutils::caseOf: not a case of the enumeration");
    }
    return cases[index];
}

template <class E> constexpr std::string_view rawValue(E value) {
    return caseOf(value).rawValue;
}

// The case whose raw value equals `text` exactly (case-sensitive), or none.
template <class E> constexpr std::optional<E> fromRawValue(std::string_view text) noexcept {
    for (const auto& row : EnumTable<E>::cases) {
        if (row.rawValue == text) {
            return row.value;
        }
    }
    return std::nullopt;
}

// Every case, in declaration order.
template <class E> constexpr auto allCases() noexcept {
    constexpr auto& cases = EnumTable<E>::cases;
    std::array<E, cases.size()> values{};
    for (std::size_t index = 0; index < cases.size(); ++index) {
        values[index] = cases[index].value;
    }
    return values;
}

} // namespace koltutils
