#pragma once

#include "koltutils/OptionalReading.h"

#include <atomic>
#include <cstddef>
#include <optional>
#include <utility>

namespace koltutils {

// An optional immutable value that its copies share: a field that many records hold alike (the
// group identifier of every clip flattened out of one compound clip) is then held once, and costs
// each record one pointer. A value like std::optional, whose read interface it follows: copies
// compare by the value they hold, and changing one means assigning a new value, which never
// affects the other copies. Copies may be made and dropped on several threads at once.
template <class T> class SharedOptional : public OptionalReading<SharedOptional<T>, T> {
public:
    SharedOptional() noexcept = default;
    SharedOptional(std::nullopt_t) noexcept {} // NOLINT(google-explicit-constructor)
    SharedOptional(T value)                    // NOLINT(google-explicit-constructor)
        : node_(new Node(std::move(value))) {}
    SharedOptional(std::optional<T> value) // NOLINT(google-explicit-constructor)
        : node_(value ? new Node(std::move(*value)) : nullptr) {}

    SharedOptional(const SharedOptional& other) noexcept : node_(other.node_) { retain(); }
    SharedOptional(SharedOptional&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}
    SharedOptional& operator=(const SharedOptional& other) noexcept {
        SharedOptional(other).swap(*this);
        return *this;
    }
    SharedOptional& operator=(SharedOptional&& other) noexcept {
        SharedOptional(std::move(other)).swap(*this);
        return *this;
    }
    ~SharedOptional() { release(); }

    bool has_value() const noexcept { return node_ != nullptr; }
    void reset() noexcept { SharedOptional().swap(*this); }
    void swap(SharedOptional& other) noexcept { std::swap(node_, other.node_); }

    // Whether both are copies of one value (or both empty): equal without comparing values.
    bool shares(const SharedOptional& other) const noexcept { return node_ == other.node_; }

    friend bool operator==(const SharedOptional& lhs, const SharedOptional& rhs) {
        return lhs.shares(rhs) || (lhs && rhs && *lhs == *rhs);
    }

private:
    friend class OptionalReading<SharedOptional<T>, T>;

    struct Node {
        explicit Node(T&& held) : value(std::move(held)) {}

        std::atomic<std::size_t> count{1};
        const T value;
    };

    const T* held() const noexcept { return node_ ? &node_->value : nullptr; }
    void retain() const noexcept {
        if (node_) {
            node_->count.fetch_add(1, std::memory_order_relaxed);
        }
    }
    void release() noexcept {
        // The last owner must see every other owner's last use before it deletes.
        if (node_ && node_->count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete node_;
        }
    }

    Node* node_ = nullptr;
};

} // namespace koltutils
