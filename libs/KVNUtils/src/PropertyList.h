#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvnutils::detail {

// The entries of a property list (XML or binary) whose root is an array of strings; none when
// the bytes are not a property list or the root is anything else.
std::optional<std::vector<std::string>>
stringListPropertyList(const std::vector<std::uint8_t>& bytes);

// A property list read for a diagnostic line.
struct PropertyListDump {
    // The error's description when the bytes are not a property list.
    std::optional<std::string> error;
    // The dictionary written out ("[\"key\": value, ...]") when the root is a dictionary.
    std::optional<std::string> dictionary;
};
PropertyListDump dumpPropertyList(const std::vector<std::uint8_t>& bytes);

// A property list of the given strings (XML form), as a drop's file-name list is written.
std::vector<std::uint8_t> stringListPropertyListData(const std::vector<std::string>& strings);

} // namespace kvnutils::detail
