#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvnfcpx {

// One value read out of a keyed archive (the saved state of an audio effect): the property-list
// kinds and the collections such an archive holds, as plain values.
//
// Strings, data, arrays, sets and dictionaries come out as themselves; an archived object of any
// other class comes out as the dictionary of its own keys (an archived date, for instance, as
// "NS.time"). What a tree cannot hold reads as null: a reference back into an object that is
// still being read, and a dictionary with a key that is not text.
struct ArchivedValue {
    using Null = std::monostate;
    using Data = std::vector<std::uint8_t>;
    using Array = std::vector<ArchivedValue>;
    // A key and its value. A named type rather than std::pair, because a pair of a type that is
    // still being defined cannot be a member of the variant below (std::vector accepts one).
    struct Entry;
    // One entry per key, sorted by key.
    using Dictionary = std::vector<Entry>;
    using Storage =
        std::variant<Null, bool, std::int64_t, double, std::string, Data, Array, Dictionary>;

    Storage storage;

    [[nodiscard]] bool isNull() const noexcept { return std::holds_alternative<Null>(storage); }
    // The value when it is of kind T, else null.
    template <class T> [[nodiscard]] const T* as() const noexcept {
        return std::get_if<T>(&storage);
    }

    // The value stored under `key` in `dictionary`, or null.
    [[nodiscard]] static const ArchivedValue* find(const Dictionary& dictionary,
                                                   std::string_view key) noexcept;

    friend bool operator==(const ArchivedValue&, const ArchivedValue&) = default;
};

struct ArchivedValue::Entry {
    std::string first;
    ArchivedValue second;

    friend bool operator==(const Entry&, const Entry&) = default;
};

} // namespace kvnfcpx
