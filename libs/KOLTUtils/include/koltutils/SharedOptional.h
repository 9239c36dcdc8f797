#pragma once

#include <atomic>
#include <concepts>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace koltutils {

// An optional immutable value that its copies share: a field that many records hold alike (the
// group identifier of every clip flattened out of one compound clip) is then held once, and costs
// each record one pointer. A value like std::optional, whose read interface it follows: copies
// compare by the value they hold, and changing one means assigning a new value, which never
// affects the other copies. Copies may be made and dropped on several threads at once.
template <class T> class SharedOptional {
public:
    using value_type = T;

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
    explicit operator bool() const noexcept { return has_value(); }
    const T& operator*() const noexcept { return node_->value; }
    const T* operator->() const noexcept { return &node_->value; }
    const T& value() const {
        if (!node_) {
            throw std::bad_optional_access();
        }
        return node_->value;
    }
    template <class U> T value_or(U&& fallback) const {
        return node_ ? node_->value : static_cast<T>(std::forward<U>(fallback));
    }
    void reset() noexcept { SharedOptional().swap(*this); }
    void swap(SharedOptional& other) noexcept { std::swap(node_, other.node_); }

    // Whether both are copies of one value (or both empty): equal without comparing values.
    bool shares(const SharedOptional& other) const noexcept { return node_ == other.node_; }

    friend bool operator==(const SharedOptional& lhs, const SharedOptional& rhs) {
        return lhs.shares(rhs) || (lhs && rhs && *lhs == *rhs);
    }
    friend bool operator==(const SharedOptional& held, std::nullopt_t) noexcept { return !held; }
    friend bool operator==(const SharedOptional& held, const std::optional<T>& value) {
        return held.has_value() == value.has_value() && (!held || *held == *value);
    }
    // Like std::optional: equal to a value when it holds one equal to it. `Self` is deduced, not
    // converted to: a T would otherwise become a SharedOptional to compare with anything whose
    // class names this one (the iterators of a list of them), and the check would recurse.
    template <std::same_as<SharedOptional> Self, class U>
    requires(!std::is_same_v<U, SharedOptional> && !std::is_same_v<U, std::nullopt_t> &&
             requires(const T& held, const U& value) {
                 { held == value } -> std::convertible_to<bool>;
             }) friend bool
    operator==(const Self& held, const U& value) {
        return held.has_value() && *held == value;
    }

private:
    struct Node {
        explicit Node(T&& held) : value(std::move(held)) {}

        std::atomic<std::size_t> count{1};
        const T value;
    };

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
