#include "NameTable.h"

#include <array>
#include <cstddef>
#include <functional>
#include <mutex>
#include <unordered_map>

namespace xmltree::detail {

namespace {

constexpr std::size_t longestSharedName = 64;
constexpr std::size_t mostSharedNames = 4096;
constexpr std::size_t tableCount = 2;

struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept {
        return std::hash<std::string_view>{}(name);
    }
};

struct Table {
    std::mutex lock;
    // Nodes never move, so pointers to the names stay valid as the map grows.
    std::unordered_map<std::string, std::uint32_t, NameHash, std::equal_to<>> indices;
    // Written once per number, before the number is handed out.
    std::array<const std::string*, mostSharedNames> names{};
};

// Never destroyed: elements released during static destruction may still refer to them.
Table& table(NameTable which) {
    static std::array<Table, tableCount>* const shared = new std::array<Table, tableCount>;
    return (*shared)[static_cast<std::size_t>(which)];
}

// A reader meets the same few dozen names over and over: each thread remembers the ones it
// met last in a small direct-mapped cache and finds them again without the lock. Shared names
// are never removed, so what it remembers stays valid.
struct Recent {
    const std::string* name;
    std::uint32_t index;
};
constexpr std::size_t recentSlots = 128;
thread_local constinit std::array<std::array<Recent, recentSlots>, tableCount> recent{};

std::size_t slotOf(std::string_view name) noexcept {
    if (name.empty()) {
        return 0;
    }
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(name[at]); };
    const std::size_t mix =
        name.size() * 37 ^ byte(0) * 31 ^ byte(name.size() / 2) * 7 ^ byte(name.size() - 1) * 131;
    return mix % recentSlots;
}

} // namespace

namespace {

// The remembered entry for `name`, after looking it up in the table if need be; null when the
// table does not take it.
const Recent* lookUp(NameTable which, std::string_view name) {
    if (name.size() > longestSharedName) {
        return nullptr;
    }
    Recent& remembered = recent[static_cast<std::size_t>(which)][slotOf(name)];
    if (remembered.name != nullptr && *remembered.name == name) {
        return &remembered;
    }
    Table& shared = table(which);
    const std::lock_guard guard(shared.lock);
    auto existing = shared.indices.find(name);
    if (existing == shared.indices.end()) {
        if (shared.indices.size() >= mostSharedNames) {
            return nullptr;
        }
        const auto index = static_cast<std::uint32_t>(shared.indices.size());
        existing = shared.indices.emplace(std::string(name), index).first;
        shared.names[index] = &existing->first;
    }
    remembered = {&existing->first, existing->second};
    return &remembered;
}

} // namespace

std::uint32_t sharedNameIndex(NameTable which, std::string_view name) {
    const Recent* const found = lookUp(which, name);
    return found != nullptr ? found->index : noSharedName;
}

const std::string& sharedNameAt(NameTable which, std::uint32_t index) noexcept {
    return *table(which).names[index];
}

const std::string* sharedName(std::string_view name) {
    const Recent* const found = lookUp(NameTable::elements, name);
    return found != nullptr ? found->name : nullptr;
}

} // namespace xmltree::detail
