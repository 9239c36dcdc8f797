#pragma once

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
            index_.insert(hash, items_.size());
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
        return entry ? *entry : index_.insert(hash, position);
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
                index_.insert(hash, position);
            } else if (firstDuplicate_ == npos) {
                firstDuplicate_ = position;
            }
        }
        indexedCount_ = items_.size();
    }

    // Open addressing with linear probing over 8-byte slots: no allocation per entry, eight
    // neighbouring probes in one cache line, and an index a small part of the list it serves
    // (a clip is hundreds of bytes, its slots 16). A slot keeps 31 bits of the hash, with the
    // top bit set to mark it used; the full hash is only ever compared through them.
    class PositionIndex {
    public:
        // The position of a matching entry among those stored with `hash`, or null.
        template <class Matches> std::uint32_t* find(std::size_t hash, Matches&& matches) {
            if (slots_.empty()) {
                return nullptr;
            }
            const std::uint32_t tag = tagOf(hash);
            for (std::size_t slot = tag & mask(); slots_[slot].tag != 0;
                 slot = (slot + 1) & mask()) {
                if (slots_[slot].tag == tag && matches(slots_[slot].position)) {
                    return &slots_[slot].position;
                }
            }
            return nullptr;
        }
        template <class Matches>
        const std::uint32_t* find(std::size_t hash, Matches&& matches) const {
            return const_cast<PositionIndex*>(this)->find(hash, std::forward<Matches>(matches));
        }

        std::uint32_t& insert(std::size_t hash, std::size_t position) {
            if (position >= std::numeric_limits<std::uint32_t>::max()) {
                throw std::length_error("UniqueList: more elements than an index can place");
            }
            if ((count_ + 1) * 2 > slots_.size()) {
                grow();
            }
            ++count_;
            return place({tagOf(hash), static_cast<std::uint32_t>(position)});
        }

    private:
        struct Slot {
            // 0 for an empty slot.
            std::uint32_t tag = 0;
            std::uint32_t position = 0;
        };

        static std::uint32_t tagOf(std::size_t hash) noexcept {
            return static_cast<std::uint32_t>(hash) | 0x8000'0000U;
        }

        std::size_t mask() const noexcept { return slots_.size() - 1; }

        std::uint32_t& place(const Slot& entry) {
            std::size_t slot = entry.tag & mask();
            while (slots_[slot].tag != 0) {
                slot = (slot + 1) & mask();
            }
            slots_[slot] = entry;
            return slots_[slot].position;
        }

        void grow() {
            std::vector<Slot> previous(slots_.empty() ? 32 : slots_.size() * 2);
            previous.swap(slots_);
            for (const Slot& entry : previous) {
                if (entry.tag != 0) {
                    place(entry);
                }
            }
        }

        std::vector<Slot> slots_;
        std::size_t count_ = 0;
    };

    std::vector<T> items_;
    // One entry per distinct value among the first `indexedCount_` elements: its hash and the
    // position of its first occurrence.
    PositionIndex index_;
    std::size_t indexedCount_ = 0;
    // The earliest indexed element that equals an earlier one, or npos when there is none.
    std::size_t firstDuplicate_ = npos;
};

} // namespace kvnfcpx::detail
