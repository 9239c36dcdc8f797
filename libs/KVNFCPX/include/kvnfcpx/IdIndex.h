#pragma once

#include <cstddef>
#include <functional>
#include <koltutils/SharedValue.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kvnfcpx {

namespace detail {
// The id of a list entry, whether the list holds it directly or shares it.
template <typename T> const std::string& idOf(const T& item) noexcept {
    return item.id;
}
template <typename T> const std::string& idOf(const koltutils::SharedValue<T>& item) noexcept {
    return item->id;
}
} // namespace detail

// A look-up from `id` to the position of the FIRST element of a list with that id, so that
// "the first resource whose id equals" costs O(1) instead of a scan per clip.
//
// The index is derived data: it takes no part in equality (any two indexes compare equal).
// It remembers the size of the list it was built for; asked about a list of another size (one
// built or changed by hand since the last rebuild) it scans the list instead, and every hit is
// checked against the list before it is returned. Only an id edited in place, with the size
// unchanged, can be missed: rebuild after such edits.
class IdIndex {
public:
    template <typename T> void rebuild(const std::vector<T>& items) {
        positions_.clear();
        positions_.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            positions_.try_emplace(detail::idOf(items[i]), i);
        }
        indexedCount_ = items.size();
    }

    template <typename T>
    [[nodiscard]] const T* find(const std::vector<T>& items, std::string_view id) const {
        if (indexedCount_ == items.size()) {
            const auto hit = positions_.find(id);
            if (hit == positions_.end()) {
                return nullptr;
            }
            if (hit->second < items.size() && detail::idOf(items[hit->second]) == id) {
                return &items[hit->second];
            }
        }
        for (const auto& item : items) {
            if (detail::idOf(item) == id) {
                return &item;
            }
        }
        return nullptr;
    }

    friend bool operator==(const IdIndex&, const IdIndex&) noexcept { return true; }

private:
    struct TransparentHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::unordered_map<std::string, std::size_t, TransparentHash, std::equal_to<>> positions_;
    std::size_t indexedCount_ = 0;
};

} // namespace kvnfcpx
