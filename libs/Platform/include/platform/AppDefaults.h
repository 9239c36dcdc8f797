#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace platform {

// A user-defaults domain: the key-value settings of one application, named by its bundle
// identifier and shared by every program that opens the same domain.
//
// The values live in an XML property list, "<config>/<identifier>/<identifier>.plist", where
// <config> is $XDG_CONFIG_HOME (or ~/.config). Nothing is cached: every read looks at the file,
// every write reads it, changes one key and replaces it whole (a temporary file renamed over
// it, under an exclusive lock), so two programs writing at once lose nothing and a crash never
// leaves a half-written file. A file that is missing or unreadable reads as an empty domain.
class AppDefaults {
public:
    using Value = std::variant<bool, std::int64_t, double, std::string>;

    // The domain named `identifier`; none when the name is empty or holds a "/", or when the
    // configuration folder is unknown or its domain folder cannot be created.
    static std::optional<AppDefaults> suite(std::string_view identifier);

    const std::string& identifier() const noexcept { return identifier_; }
    const std::filesystem::path& file() const noexcept { return file_; }

    std::optional<Value> object(std::string_view key) const;
    // The value when it has the asked type; none otherwise.
    std::optional<std::string> string(std::string_view key) const;
    std::optional<bool> boolean(std::string_view key) const;
    std::optional<std::int64_t> integer(std::string_view key) const;
    std::optional<double> real(std::string_view key) const;
    // Every key with its value (values of other property-list types are left out).
    std::map<std::string, Value, std::less<>> dictionaryRepresentation() const;

    // False when the domain could not be written; the old values then stay.
    bool set(std::string_view key, Value value) const;
    bool remove(std::string_view key) const;

    bool operator==(const AppDefaults&) const = default;

private:
    AppDefaults(std::string identifier, std::filesystem::path file)
        : identifier_(std::move(identifier)), file_(std::move(file)) {}

    std::string identifier_;
    std::filesystem::path file_;
};

} // namespace platform
