#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
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

    // Room for `capacity` elements, in the list and in its index: a list known to grow long
    // then never hashes its elements again to grow the index.
    void reserve(std::size_t capacity) {
        items_.reserve(capacity);
        index_.reserve(capacity);
    }

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
            addToIndex(hash, items_.size());
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
            std::uint32_t& first = firstPositionEntry(items_[position], position);
            if (first != position) {
                continue;
            }
            if (kept != position) {
                items_[kept] = std::move(items_[position]);
            }
            // kept <= position, which the index took.
            first = static_cast<std::uint32_t>(kept++);
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
        const std::uint32_t* entry =
            index_.find(hash, [&](std::size_t position) { return items_[position] == item; });
        return entry ? *entry : npos;
    }

    // The index entry of the value of the element at `position`.
    std::uint32_t& firstPositionEntry(const T& item, std::size_t position) {
        const std::size_t hash = hashOf(item);
        std::uint32_t* entry = index_.find(hash, [&](std::size_t candidate) {
            return candidate == position || items_[candidate] == item;
        });
        // Always found once indexAll() has run: every element's value has an entry.
        return entry ? *entry : addToIndex(hash, position);
    }

    // Brings the elements appended as they are into the index, noting the first that repeats
    // an earlier one.
    void indexAll() {
        if (indexedCount_ == items_.size()) {
            return;
        }
        for (std::size_t position = indexedCount_; position < items_.size(); ++position) {
            const std::size_t hash = hashOf(items_[position]);
            if (firstPosition(items_[position], hash) == npos) {
                addToIndex(hash, position);
            } else if (firstDuplicate_ == npos) {
                firstDuplicate_ = position;
            }
        }
        indexedCount_ = items_.size();
    }

    // Open addressing with linear probing over 4-byte slots that hold positions: no allocation
    // per entry, sixteen neighbouring probes in one cache line, and an index a small part of the
    // list it serves (a clip is hundreds of bytes, its slots 8). Slots keep no hash: a probe
    // compares the element it finds, and growing hashes the elements again, which costs less
    // than the memory a stored hash would take for the whole life of the list.
    class PositionIndex {
    public:
        // The position of a matching entry among those stored with `hash`, or null.
        template <class Matches> std::uint32_t* find(std::size_t hash, Matches&& matches) {
            if (slots_.empty()) {
                return nullptr;
            }
            for (std::size_t slot = hash & mask(); slots_[slot] != emptySlot;
                 slot = (slot + 1) & mask()) {
                if (matches(slots_[slot])) {
                    return &slots_[slot];
                }
            }
            return nullptr;
        }
        template <class Matches>
        const std::uint32_t* find(std::size_t hash, Matches&& matches) const {
            return const_cast<PositionIndex*>(this)->find(hash, std::forward<Matches>(matches));
        }

        // `hashAt` gives the hash of the element at a position already in the index.
        template <class HashAt>
        std::uint32_t& insert(std::size_t hash, std::size_t position, HashAt&& hashAt) {
            if (position >= emptySlot) {
                throw std::length_error("UniqueList: more elements than an index can place");
            }
            if ((count_ + 1) * 2 > slots_.size()) {
                grow(hashAt);
            }
            ++count_;
            return place(hash, static_cast<std::uint32_t>(position));
        }

        void reserve(std::size_t entries) {
            const std::size_t slots =
                std::bit_ceil(std::max<std::size_t>(entries * 2, minimumSlots));
            if (count_ == 0 && slots > slots_.size()) {
                slots_.assign(slots, emptySlot);
            }
        }

    private:
        static constexpr std::size_t minimumSlots = 32;
        static constexpr std::uint32_t emptySlot = std::numeric_limits<std::uint32_t>::max();

        std::size_t mask() const noexcept { return slots_.size() - 1; }

        std::uint32_t& place(std::size_t hash, std::uint32_t position) {
            std::size_t slot = hash & mask();
            while (slots_[slot] != emptySlot) {
                slot = (slot + 1) & mask();
            }
            slots_[slot] = position;
            return slots_[slot];
        }

        template <class HashAt> void grow(HashAt& hashAt) {
            std::vector<std::uint32_t> previous(slots_.empty() ? minimumSlots : slots_.size() * 2,
                                                emptySlot);
            previous.swap(slots_);
            for (const std::uint32_t position : previous) {
                if (position != emptySlot) {
                    place(hashAt(position), position);
                }
            }
        }

        std::vector<std::uint32_t> slots_;
        std::size_t count_ = 0;
    };

    // Adds the entry of the element at `position`, whose hash is `hash`.
    std::uint32_t& addToIndex(std::size_t hash, std::size_t position) {
        return index_.insert(hash, position,
                             [this](std::size_t indexed) { return hashOf(items_[indexed]); });
    }

    std::vector<T> items_;
    // One entry per distinct value among the first `indexedCount_` elements: the position of its
    // first occurrence, placed by its hash.
    PositionIndex index_;
    std::size_t indexedCount_ = 0;
    // The earliest indexed element that equals an earlier one, or npos when there is none.
    std::size_t firstDuplicate_ = npos;
};

} // namespace kvnfcpx::detail
