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
// The hash index is built lazily: lists appended as they are join it only when a question is
// next asked of the list, so a walk that merely passes its children's lists upwards never
// hashes them, and a list appended to an empty one is taken over whole. Most lists of a walk
// hold a handful of elements (the markers of one clip); those are scanned instead.
template <class T> class UniqueList {
public:
    bool empty() const noexcept { return items_.empty(); }

    void reserve(std::size_t capacity) { items_.reserve(capacity); }

    // Appends `item` unless an equal element is already in the list; whether it did.
    bool appendUnlessPresent(T&& item) {
        const bool scanned = !indexed() && items_.size() < linearScanLimit;
        if (scanned) {
            for (const T& existing : items_) {
                if (existing == item) {
                    return false;
                }
            }
        } else {
            indexAll();
            const std::size_t hash = hashOf(item);
            if (firstPosition(item, hash) != npos) {
                return false;
            }
            firstPositions_.emplace(hash, items_.size());
            ++indexedCount_;
        }
        items_.push_back(std::move(item));
        if (scanned && items_.size() == linearScanLimit) {
            indexAll();
        }
        return true;
    }

    // Appends every element as it is, duplicates included.
    void appendAll(std::vector<T>&& items) {
        if (items_.empty()) {
            items_ = std::move(items);
            return;
        }
        for (T& item : items) {
            items_.push_back(std::move(item));
        }
    }

    // Keeps only the first of several equal elements, in their order.
    void removeLaterDuplicates() {
        indexAll();
        if (firstDuplicate_ == npos) {
            return;
        }
        std::size_t kept = firstDuplicate_;
        for (std::size_t position = firstDuplicate_; position < items_.size(); ++position) {
            // Every distinct value has exactly one entry, at its first occurrence. Entries of
            // values already kept in this pass point at their new places below `kept`, so the
            // look-up never reads a moved-from element.
            std::size_t& first = entryFor(items_[position], position);
            if (first != position) {
                continue;
            }
            if (kept != position) {
                items_[kept] = std::move(items_[position]);
            }
            first = kept++;
        }
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(kept), items_.end());
        indexedCount_ = items_.size();
        firstDuplicate_ = npos;
    }

    std::vector<T> take() && { return std::move(items_); }

private:
    static constexpr std::size_t npos = std::numeric_limits<std::size_t>::max();
    static constexpr std::size_t linearScanLimit = 8;

    static std::size_t hashOf(const T& item) noexcept { return std::hash<T>{}(item); }

    bool indexed() const noexcept { return indexedCount_ > 0; }

    // The position of the first indexed element equal to `item`, or npos.
    std::size_t firstPosition(const T& item, std::size_t hash) const {
        const auto [begin, end] = firstPositions_.equal_range(hash);
        for (auto entry = begin; entry != end; ++entry) {
            if (items_[entry->second] == item) {
                return entry->second;
            }
        }
        return npos;
    }

    // The index entry of the value of the element at `position`.
    std::size_t& entryFor(const T& item, std::size_t position) {
        const auto [begin, end] = firstPositions_.equal_range(hashOf(item));
        for (auto entry = begin; entry != end; ++entry) {
            if (entry->second == position || items_[entry->second] == item) {
                return entry->second;
            }
        }
        // Unreachable once indexAll() has run: every element's value has an entry.
        return firstPositions_.emplace(hashOf(item), position)->second;
    }

    // Brings the elements appended as they are into the index, noting the first that repeats
    // an earlier one.
    void indexAll() {
        if (indexedCount_ == items_.size()) {
            return;
        }
        if (!indexed()) {
            firstPositions_.reserve(items_.size());
        }
        for (std::size_t position = indexedCount_; position < items_.size(); ++position) {
            const std::size_t hash = hashOf(items_[position]);
            if (firstPosition(items_[position], hash) == npos) {
                firstPositions_.emplace(hash, position);
            } else if (firstDuplicate_ == npos) {
                firstDuplicate_ = position;
            }
        }
        indexedCount_ = items_.size();
    }

    std::vector<T> items_;
    // One entry per distinct value among the first `indexedCount_` elements: its hash and the
    // position of its first occurrence.
    std::unordered_multimap<std::size_t, std::size_t> firstPositions_;
    std::size_t indexedCount_ = 0;
    // The earliest indexed element that equals an earlier one, or npos when there is none.
    std::size_t firstDuplicate_ = npos;
};

} // namespace kvnfcpx::detail
