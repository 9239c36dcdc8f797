#pragma once

// koltutils::describe(value) turns a value into the plain text a log line shows for it:
//   - text (std::string, std::string_view, C strings) as it is; a null C string as "nil";
//   - bool as "true"/"false"; char as the character; other integers in decimal;
//   - double and float as the shortest text that reads back as the same number, "3.0" for whole
//     numbers and "1e-05" style below 0.0001 or above 2^54 (2^25 for float);
//   - std::optional as "nil" when empty, else its value; nullptr as "nil";
//   - std::filesystem::path as its text, without quotes;
//   - std::vector as "[a, b]" and std::map as "[k: v, ...]", text elements in double quotes;
//   - any type with a `description()` member returning text, else any type with operator<<.
// To give a type of your own a description, add a `description()` member, an operator<<, or a
// `describe(const YourType&)` function in your type's namespace (found by argument lookup).

#include <concepts>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace koltutils {

template <class T>
concept HasDescriptionMember = requires(const T& value) {
    { value.description() } -> std::convertible_to<std::string>;
};

template <class T>
concept Streamable = requires(std::ostream& stream, const T& value) {
    stream << value;
};

template <class T>
concept TextLike = std::is_convertible_v<const T&, std::string_view>;

template <class T>
concept PlainInteger = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char>;

inline std::string describe(std::string_view text) {
    return std::string(text);
}
inline std::string describe(const std::string& text) {
    return text;
}
inline std::string describe(const char* text) {
    return text ? std::string(text) : "nil";
}
inline std::string describe(char character) {
    return std::string(1, character);
}
inline std::string describe(bool value) {
    return value ? "true" : "false";
}
inline std::string describe(std::nullptr_t) {
    return "nil";
}
inline std::string describe(const std::filesystem::path& path) {
    return path.string();
}
std::string describe(double value);
std::string describe(float value);

template <PlainInteger T> std::string describe(T value) {
    return std::to_string(value);
}
template <class T> std::string describe(const std::optional<T>& value);
template <class T> std::string describe(const std::vector<T>& values);
template <class K, class V, class C, class A> std::string describe(const std::map<K, V, C, A>& map);

template <class T>
requires HasDescriptionMember<T> &&(!TextLike<T>)std::string describe(const T& value) {
    return std::string(value.description());
}

template <class T>
requires Streamable<T> &&(!HasDescriptionMember<T>)&&(!TextLike<T>)&&(!std::is_arithmetic_v<T>)&&(
    !std::is_pointer_v<T>)std::string describe(const T& value) {
    std::ostringstream stream;
    stream << value;
    return std::move(stream).str();
}

// How a value reads inside a collection: text quoted and escaped, optionals as "Optional(...)".
std::string quotedText(std::string_view text);
template <class T> std::string describeElement(const T& value);
template <class T> std::string describeElement(const std::optional<T>& value);

template <class T> std::string describeElement(const T& value) {
    if constexpr (TextLike<T> || std::same_as<T, std::filesystem::path>) {
        return koltutils::quotedText(describe(value));
    } else {
        return describe(value);
    }
}

template <class T> std::string describeElement(const std::optional<T>& value) {
    return value ? "Optional(" + describeElement(*value) + ")" : "nil";
}

template <class T> std::string describe(const std::optional<T>& value) {
    return value ? describe(*value) : std::string("nil");
}

template <class T> std::string describe(const std::vector<T>& values) {
    std::string text = "[";
    for (const auto& value : values) {
        if (text.size() > 1) {
            text += ", ";
        }
        text += describeElement(value);
    }
    return text + "]";
}

template <class K, class V, class C, class A>
std::string describe(const std::map<K, V, C, A>& map) {
    if (map.empty()) {
        return "[:]";
    }
    std::string text = "[";
    for (const auto& [key, value] : map) {
        if (text.size() > 1) {
            text += ", ";
        }
        text += describeElement(key) + ": " + describeElement(value);
    }
    return text + "]";
}

} // namespace koltutils
