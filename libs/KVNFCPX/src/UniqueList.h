#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kvnfcpx::detail {

// A list for the timeline walk's two rules, "append unless an equal element is already there"
// and "keep only the first of several equal elements", at a cost that stays linear in the
// number of elements: membership is answered through std::hash<T> (which must agree with ==;
// collisions are settled by ==), and dropping duplicates revisits only the elements appended
// since the list was last known to be free of them.
//
// Most lists of a walk hold a handful of elements (the markers of one clip), so the hash index
// is built only once a list outgrows a short linear scan.
template <class T> class UniqueList {
public:
    bool empty() const noexcept { return items_.empty(); }

    // Appends `item` unless an equal element is already in the list; whether it did.
    bool appendUnlessPresent(T item) {
        const std::size_t hash = hashOf(item);
        if (firstPosition(item, hash) != npos) {
            return false;
        }
        push(std::move(item), hash);
        return true;
    }

    // Appends every element as it is, duplicates included.
    void appendAll(std::vector<T>&& items) {
        for (T& item : items) {
            const std::size_t hash = hashOf(item);
            const bool seen = firstPosition(item, hash) != npos;
            if (seen && firstDuplicate_ == npos) {
                firstDuplicate_ = items_.size();
            }
            if (seen) {
                items_.push_back(std::move(item));
            } else {
                push(std::move(item), hash);
            }
        }
    }

    // Keeps only the first of several equal elements, in their order.
    void removeLaterDuplicates() {
        if (firstDuplicate_ == npos) {
            return;
        }
        std::size_t kept = firstDuplicate_;
        for (std::size_t position = firstDuplicate_; position < items_.size(); ++position) {
            // Every distinct value has exactly one entry, at its first occurrence. Entries of
            // values already kept in this pass point at their new places below `kept`, so the
            // look-up never reads a moved-from element.
            std::size_t* first = entryFor(items_[position], hashOf(items_[position]), position);
            if (*first != position) {
                continue;
            }
            if (kept != position) {
                items_[kept] = std::move(items_[position]);
            }
            *first = kept++;
        }
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(kept), items_.end());
        firstDuplicate_ = npos;
    }

    std::vector<T> take() && { return std::move(items_); }

private:
    static constexpr std::size_t npos = std::numeric_limits<std::size_t>::max();
    static constexpr std::size_t linearScanLimit = 8;

    static std::size_t hashOf(const T& item) noexcept { return std::hash<T>{}(item); }

    bool indexed() const noexcept { return !firstPositions_.empty(); }

    // The position of the first element equal to `item`, or npos.
    std::size_t firstPosition(const T& item, std::size_t hash) {
        if (!indexed() && items_.size() > linearScanLimit) {
            buildIndex();
        }
        if (!indexed()) {
            for (std::size_t position = 0; position < items_.size(); ++position) {
                if (items_[position] == item) {
                    return position;
                }
            }
            return npos;
        }
        const auto [begin, end] = firstPositions_.equal_range(hash);
        for (auto entry = begin; entry != end; ++entry) {
            if (items_[entry->second] == item) {
                return entry->second;
            }
        }
        return npos;
    }

    // The index entry of the value of the element at `position` (which must be in the list).
    std::size_t* entryFor(const T& item, std::size_t hash, std::size_t position) {
        if (!indexed()) {
            buildIndex();
        }
        const auto [begin, end] = firstPositions_.equal_range(hash);
        for (auto entry = begin; entry != end; ++entry) {
            if (entry->second == position || items_[entry->second] == item) {
                return &entry->second;
            }
        }
        // Unreachable while every element's value has an entry; keeping the element is safe.
        return &firstPositions_.emplace(hash, position)->second;
    }

    void push(T&& item, std::size_t hash) {
        if (indexed()) {
            firstPositions_.emplace(hash, items_.size());
        }
        items_.push_back(std::move(item));
    }

    void buildIndex() {
        firstPositions_.reserve(items_.size());
        for (std::size_t position = 0; position < items_.size(); ++position) {
            const std::size_t hash = hashOf(items_[position]);
            const auto [begin, end] = firstPositions_.equal_range(hash);
            bool seen = false;
            for (auto entry = begin; entry != end && !seen; ++entry) {
                seen = items_[entry->second] == items_[position];
            }
            if (!seen) {
                firstPositions_.emplace(hash, position);
            }
        }
    }

    std::vector<T> items_;
    // One entry per distinct value: its hash and the position of its first occurrence. Empty
    // while the list is short enough to scan.
    std::unordered_multimap<std::size_t, std::size_t> firstPositions_;
    // The earliest element that equals an earlier one, or npos when there is none.
    std::size_t firstDuplicate_ = npos;
};

} // namespace kvnfcpx::detail
