#include "platform/AppDefaults.h"

#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <plist/plist.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;
using Dictionary = std::map<std::string, AppDefaults::Value, std::less<>>;

std::optional<fs::path> configurationFolder() {
    if (const char* configured = std::getenv("XDG_CONFIG_HOME");
        configured != nullptr && fs::path(configured).is_absolute()) {
        return fs::path(configured);
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && fs::path(home).is_absolute()) {
        return fs::path(home) / ".config";
    }
    return std::nullopt;
}

// Owns a plist node tree.
struct PlistHolder {
    plist_t node = nullptr;
    PlistHolder() = default;
    explicit PlistHolder(plist_t value) : node(value) {}
    PlistHolder(const PlistHolder&) = delete;
    PlistHolder& operator=(const PlistHolder&) = delete;
    ~PlistHolder() { plist_free(node); }
};

std::optional<AppDefaults::Value> valueOf(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return AppDefaults::Value(flag != 0);
    }
    case PLIST_UINT: {
        std::uint64_t number = 0;
        plist_get_uint_val(node, &number);
        return AppDefaults::Value(static_cast<std::int64_t>(number));
    }
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return AppDefaults::Value(number);
    }
    case PLIST_STRING: {
        char* text = nullptr;
        plist_get_string_val(node, &text);
        if (text == nullptr) {
            return std::nullopt;
        }
        std::string value(text);
        std::free(text);
        return AppDefaults::Value(std::move(value));
    }
    default:
        return std::nullopt;
    }
}

plist_t nodeOf(const AppDefaults::Value& value) {
    return std::visit(
        [](const auto& content) -> plist_t {
            using T = std::decay_t<decltype(content)>;
            if constexpr (std::is_same_v<T, bool>) {
                return plist_new_bool(content ? 1 : 0);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                // The property-list integer keeps the two's-complement bits; reading turns them
                // back into the signed value.
                return plist_new_uint(static_cast<std::uint64_t>(content));
            } else if constexpr (std::is_same_v<T, double>) {
                return plist_new_real(content);
            } else {
                return plist_new_string(content.c_str());
            }
        },
        value);
}

Dictionary readDictionary(const fs::path& file) {
    Dictionary values;
    std::ifstream stream(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(stream),
                            std::istreambuf_iterator<char>()};
    if (bytes.empty() || bytes.size() > 0xFFFFFFFFu) {
        return values;
    }
    PlistHolder root;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root.node);
    if (root.node == nullptr || plist_get_node_type(root.node) != PLIST_DICT) {
        return values;
    }
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(root.node, &iterator);
    while (true) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(root.node, iterator, &key, &item);
        if (key == nullptr) {
            break;
        }
        if (auto value = valueOf(item)) {
            values.emplace(key, std::move(*value));
        }
        std::free(key);
    }
    std::free(iterator);
    return values;
}

// Reads the domain, lets `change` edit it and writes it back, all under the domain's lock.
bool modify(const fs::path& file, const std::function<void(Dictionary&)>& change) {
    const auto lockPath = file.string() + ".lock";
    const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) {
        return false;
    }
    while (::flock(lock, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(lock);
            return false;
        }
    }
    auto values = readDictionary(file);
    change(values);
    PlistHolder root(plist_new_dict());
    for (const auto& [key, value] : values) {
        plist_dict_set_item(root.node, key.c_str(), nodeOf(value));
    }
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.node, &xml, &length);
    const bool written = xml != nullptr && writeFileAtomically(file, std::string(xml, length));
    std::free(xml);
    ::close(lock);
    return written;
}

template <class T> std::optional<T> typed(const std::optional<AppDefaults::Value>& value) {
    if (value && std::holds_alternative<T>(*value)) {
        return std::get<T>(*value);
    }
    return std::nullopt;
}

} // namespace

std::optional<AppDefaults> AppDefaults::suite(std::string_view identifier) {
    if (identifier.empty() || identifier.find('/') != std::string_view::npos || identifier == "." ||
        identifier == "..") {
        return std::nullopt;
    }
    const auto configuration = configurationFolder();
    if (!configuration) {
        return std::nullopt;
    }
    const auto folder = *configuration / identifier;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder, error)) {
        return std::nullopt;
    }
    const std::string name(identifier);
    return AppDefaults(name, folder / (name + ".plist"));
}

std::optional<AppDefaults::Value> AppDefaults::object(std::string_view key) const {
    const auto values = readDictionary(file_);
    if (const auto found = values.find(key); found != values.end()) {
        return found->second;
    }
    return std::nullopt;
}

std::optional<std::string> AppDefaults::string(std::string_view key) const {
    return typed<std::string>(object(key));
}
std::optional<bool> AppDefaults::boolean(std::string_view key) const {
    return typed<bool>(object(key));
}
std::optional<std::int64_t> AppDefaults::integer(std::string_view key) const {
    return typed<std::int64_t>(object(key));
}
std::optional<double> AppDefaults::real(std::string_view key) const {
    return typed<double>(object(key));
}

std::map<std::string, AppDefaults::Value, std::less<>>
AppDefaults::dictionaryRepresentation() const {
    return readDictionary(file_);
}

bool AppDefaults::set(std::string_view key, Value value) const {
    return modify(file_, [&](Dictionary& values) { values[std::string(key)] = std::move(value); });
}

bool AppDefaults::remove(std::string_view key) const {
    return modify(file_, [&](Dictionary& values) {
        if (const auto found = values.find(key); found != values.end()) {
            values.erase(found);
        }
    });
}

} // namespace platform
