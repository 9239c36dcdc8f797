#include "NameTable.h"

#include <array>
#include <cstddef>
#include <functional>
#include <mutex>
#include <unordered_set>

namespace xmltree::detail {

namespace {

constexpr std::size_t longestSharedName = 64;
constexpr std::size_t mostSharedNames = 4096;

struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept {
        return std::hash<std::string_view>{}(name);
    }
};

struct Table {
    std::mutex lock;
    // Nodes never move, so pointers to the names stay valid as the set grows.
    std::unordered_set<std::string, NameHash, std::equal_to<>> names;
};

// Never destroyed: elements released during static destruction may still point into it.
Table& table() {
    static Table* const shared = new Table;
    return *shared;
}

} // namespace

const std::string* sharedName(std::string_view name) {
    if (name.size() > longestSharedName) {
        return nullptr;
    }
    // A reader meets the same few names over and over: the last ones this thread used are found
    // without the lock. Shared names are never removed, so these pointers stay valid.
    constexpr std::size_t recentCount = 8;
    thread_local std::array<const std::string*, recentCount> recent{};
    thread_local std::size_t nextRecent = 0;
    for (const std::string* known : recent) {
        if (known != nullptr && *known == name) {
            return known;
        }
    }
    Table& shared = table();
    const std::string* found = nullptr;
    {
        const std::lock_guard guard(shared.lock);
        if (const auto existing = shared.names.find(name); existing != shared.names.end()) {
            found = &*existing;
        } else if (shared.names.size() < mostSharedNames) {
            found = &*shared.names.emplace(name).first;
        }
    }
    if (found != nullptr) {
        recent[nextRecent++ % recentCount] = found;
    }
    return found;
}

} // namespace xmltree::detail
