#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kvnfcpx {

// A file URL as scripting hands it around: a file-system path.
struct FileURL {
    std::filesystem::path path;

    // "file:///..." with the path percent-encoded.
    std::string absoluteString() const;
    bool operator==(const FileURL&) const = default;
};

// The raw bytes of a descriptor whose type has no richer reading.
using ScriptData = std::vector<std::uint8_t>;

// One value of the scripting layer's object world: text, a number, a Boolean, a file URL, raw
// bytes, a list or a dictionary with text keys. Dictionaries, lists and numbers are what the
// descriptor conversions produce and what the share objects keep as metadata and data options.
class ScriptValue {
public:
    using List = std::vector<ScriptValue>;
    using Dictionary = std::map<std::string, ScriptValue>;

    ScriptValue() : storage_(std::string()) {}
    ScriptValue(std::string text) : storage_(std::move(text)) {}
    ScriptValue(const char* text) : storage_(std::string(text)) {}
    ScriptValue(bool flag) : storage_(flag) {}
    ScriptValue(std::int64_t number) : storage_(number) {}
    ScriptValue(int number) : storage_(std::int64_t{number}) {}
    ScriptValue(double number) : storage_(number) {}
    ScriptValue(FileURL url) : storage_(std::move(url)) {}
    ScriptValue(ScriptData data) : storage_(std::move(data)) {}
    ScriptValue(List list) : storage_(std::move(list)) {}
    ScriptValue(Dictionary dictionary) : storage_(std::move(dictionary)) {}

    const std::string* text() const { return std::get_if<std::string>(&storage_); }
    const bool* boolean() const { return std::get_if<bool>(&storage_); }
    const std::int64_t* integer() const { return std::get_if<std::int64_t>(&storage_); }
    const double* real() const { return std::get_if<double>(&storage_); }
    const FileURL* fileURL() const { return std::get_if<FileURL>(&storage_); }
    const ScriptData* data() const { return std::get_if<ScriptData>(&storage_); }
    const List* list() const { return std::get_if<List>(&storage_); }
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&storage_); }

    // A Boolean reading as the platform's objects give it: numbers are true when not zero, text
    // when it starts (after spaces, an optional sign and zeros) with "Y", "y", "T", "t" or a digit
    // 1 to 9; anything else is false.
    bool boolValue() const;

    // The text the platform's `description` gives: text as it is, numbers in decimal, Booleans
    // as 1 or 0, URLs as their absolute text, bytes as "<0a1b...>", lists as "(a, b)" and
    // dictionaries as "{key = value; ...}".
    std::string description() const;

    bool operator==(const ScriptValue&) const = default;

private:
    std::variant<std::string, bool, std::int64_t, double, FileURL, ScriptData, List, Dictionary>
        storage_;
};

} // namespace kvnfcpx
