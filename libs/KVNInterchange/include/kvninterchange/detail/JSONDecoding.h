#pragma once

// Shared by the sources that read JSON stored forms; not part of any public interface (nlohmann
// stays out of the public headers).

#include "kvninterchange/DecodingError.h"

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace kvninterchange::detail {

// Throws DecodingError (dataCorrupted) when `text` is not one complete JSON value.
inline nlohmann::json parseJSON(std::string_view text) {
    auto value = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (value.is_discarded()) {
        throw DecodingError(DecodingError::Kind::dataCorrupted, {},
                            "The given data was not valid JSON.");
    }
    return value;
}

inline std::string jsonTypeDescription(const nlohmann::json& value) {
    switch (value.type()) {
    case nlohmann::json::value_t::null:
        return "null";
    case nlohmann::json::value_t::object:
        return "an object";
    case nlohmann::json::value_t::array:
        return "an array";
    case nlohmann::json::value_t::string:
        return "a string";
    case nlohmann::json::value_t::boolean:
        return "a boolean";
    default:
        return "a number";
    }
}

[[noreturn]] inline void throwTypeMismatch(std::string_view expected, const nlohmann::json& found,
                                           std::vector<std::string> codingPath) {
    throw DecodingError(DecodingError::Kind::typeMismatch, std::move(codingPath),
                        "Expected to decode " + std::string(expected) + " but found " +
                            jsonTypeDescription(found) + " instead.");
}

} // namespace kvninterchange::detail
