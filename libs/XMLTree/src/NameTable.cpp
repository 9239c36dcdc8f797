#include "NameTable.h"

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
    Table& shared = table();
    const std::lock_guard guard(shared.lock);
    if (const auto found = shared.names.find(name); found != shared.names.end()) {
        return &*found;
    }
    if (shared.names.size() >= mostSharedNames) {
        return nullptr;
    }
    return &*shared.names.emplace(name).first;
}

} // namespace xmltree::detail
