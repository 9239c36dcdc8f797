#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace kvnfcpx {

// Every enumeration of the document model that has raw values specialises this template with
// ONE constexpr array, `entries`, whose element i describes case i: its `value`, its
// `rawValue` and whatever per-case properties the enumeration has. rawValue(), fromRawValue()
// and allCases() below read that array, so a case's properties live in exactly one place.
template <typename E> struct RawValueTable;

template <typename E> constexpr const auto& tableEntry(E e) noexcept {
    return RawValueTable<E>::entries[static_cast<std::size_t>(e)];
}

template <typename E> constexpr auto rawValue(E e) noexcept {
    return tableEntry(e).rawValue;
}

// The case whose raw value equals `raw` exactly (case-sensitive for text), or nothing.
template <typename E, typename Raw>
constexpr std::optional<E> fromRawValue(const Raw& raw) noexcept {
    for (const auto& entry : RawValueTable<E>::entries) {
        if (entry.rawValue == raw) {
            return entry.value;
        }
    }
    return std::nullopt;
}

template <typename E> constexpr auto allCases() noexcept {
    constexpr auto& entries = RawValueTable<E>::entries;
    std::array<E, entries.size()> cases{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        cases[i] = entries[i].value;
    }
    return cases;
}

// Used in a static_assert beside each table: tableEntry() indexes by the case's position.
template <typename E> constexpr bool isInDeclarationOrder() noexcept {
    const auto& entries = RawValueTable<E>::entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (static_cast<std::size_t>(entries[i].value) != i) {
            return false;
        }
    }
    return true;
}

} // namespace kvnfcpx
