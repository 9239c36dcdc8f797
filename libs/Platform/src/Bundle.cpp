#include "platform/Bundle.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <plist/plist.h>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

// Real information dictionaries are a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t maximumInfoPlistSize = 8 * 1024 * 1024;

struct PlistDeleter {
    void operator()(void* node) const noexcept { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(char* text) const noexcept { std::free(text); }
};
using MallocText = std::unique_ptr<char, MallocDeleter>;

std::optional<std::string> readSmallFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const auto size = fs::file_size(path, error);
    if (error || size > maximumInfoPlistSize) {
        return std::nullopt;
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    if (stream.bad()) {
        return std::nullopt;
    }
    return bytes;
}

// The text entries of the dictionary at the root of a property list (XML or binary).
std::optional<std::map<std::string, std::string, std::less<>>>
readInfoStrings(const fs::path& infoPlist) {
    const auto bytes = readSmallFile(infoPlist);
    if (!bytes || bytes->empty()) {
        return std::nullopt;
    }
    plist_t rootNode = nullptr;
    plist_from_memory(bytes->data(), static_cast<std::uint32_t>(bytes->size()), &rootNode);
    const PlistPtr root(rootNode);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) {
        return std::nullopt;
    }
    std::map<std::string, std::string, std::less<>> strings;
    plist_dict_iter iteratorHandle = nullptr;
    plist_dict_new_iter(root.get(), &iteratorHandle);
    const std::unique_ptr<void, decltype(&std::free)> iterator(iteratorHandle, &std::free);
    while (iterator) {
        char* keyText = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(root.get(), iterator.get(), &keyText, &value);
        const MallocText key(keyText);
        if (!value) {
            break;
        }
        if (!key || plist_get_node_type(value) != PLIST_STRING) {
            continue;
        }
        char* valueText = nullptr;
        plist_get_string_val(value, &valueText);
        const MallocText text(valueText);
        if (text) {
            strings.emplace(key.get(), text.get());
        }
    }
    return strings;
}

fs::path withoutTrailingSeparator(fs::path path) {
    path = path.lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) {
        path = path.parent_path();
    }
    return path;
}

} // namespace

std::optional<Bundle> Bundle::atPath(const fs::path& appFolder) {
    const auto bundlePath = withoutTrailingSeparator(appFolder);
    if (bundlePath.extension() != ".app" || bundlePath.stem().empty()) {
        return std::nullopt;
    }
    return anyAtPath(bundlePath);
}

std::optional<Bundle> Bundle::anyAtPath(const fs::path& folder) {
    auto bundlePath = withoutTrailingSeparator(folder);
    auto strings = readInfoStrings(bundlePath / "Contents" / "Info.plist");
    if (!strings) {
        return std::nullopt;
    }
    return Bundle(std::move(bundlePath), std::move(*strings));
}

std::optional<Bundle> Bundle::containingExecutable(const fs::path& executable) {
    const auto macOSFolder = withoutTrailingSeparator(executable).parent_path();
    const auto contentsFolder = macOSFolder.parent_path();
    if (macOSFolder.filename() != "MacOS" || contentsFolder.filename() != "Contents") {
        return std::nullopt;
    }
    return atPath(contentsFolder.parent_path());
}

std::optional<Bundle> Bundle::main() {
    static const std::optional<Bundle> mainBundle = [] {
        std::error_code error;
        const auto executable = fs::read_symlink("/proc/self/exe", error);
        return error ? std::nullopt : containingExecutable(executable);
    }();
    return mainBundle;
}

std::optional<fs::path> Bundle::executablePath() const {
    auto name = infoString("CFBundleExecutable");
    // A name, not a path: the executable never lies outside "Contents/MacOS".
    if (!name || name->empty() || name->find('/') != std::string::npos || *name == "." ||
        *name == "..") {
        return std::nullopt;
    }
    return contentsPath() / "MacOS" / *name;
}

std::optional<std::string> Bundle::infoString(std::string_view key) const {
    const auto found = infoStrings_.find(key);
    if (found == infoStrings_.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace platform
