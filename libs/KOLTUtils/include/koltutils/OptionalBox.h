#pragma once

#include <concepts>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace koltutils {

// An optional value kept on the heap: a large field that most records leave empty then costs
// them one pointer. A value like std::optional, whose interface it follows for what records
// need: copies are deep, equality compares the values, and std::nullopt means empty.
template <class T> class OptionalBox {
public:
    using value_type = T;

    OptionalBox() noexcept = default;
    OptionalBox(std::nullopt_t) noexcept {} // NOLINT(google-explicit-constructor)
    OptionalBox(T value)                    // NOLINT(google-explicit-constructor)
        : value_(std::make_unique<T>(std::move(value))) {}
    OptionalBox(std::optional<T> value) // NOLINT(google-explicit-constructor)
        : value_(value ? std::make_unique<T>(std::move(*value)) : nullptr) {}

    OptionalBox(const OptionalBox& other)
        : value_(other.value_ ? std::make_unique<T>(*other.value_) : nullptr) {}
    OptionalBox(OptionalBox&&) noexcept = default;
    OptionalBox& operator=(const OptionalBox& other) {
        if (this != &other) {
            value_ = other.value_ ? std::make_unique<T>(*other.value_) : nullptr;
        }
        return *this;
    }
    OptionalBox& operator=(OptionalBox&&) noexcept = default;
    ~OptionalBox() = default;

    bool has_value() const noexcept { return value_ != nullptr; }
    explicit operator bool() const noexcept { return has_value(); }
    const T& operator*() const noexcept { return *value_; }
    T& operator*() noexcept { return *value_; }
    const T* operator->() const noexcept { return value_.get(); }
    T* operator->() noexcept { return value_.get(); }
    const T& value() const {
        if (!value_) {
            throw std::bad_optional_access();
        }
        return *value_;
    }
    template <class U> T value_or(U&& fallback) const {
        return value_ ? *value_ : static_cast<T>(std::forward<U>(fallback));
    }
    void reset() noexcept { value_.reset(); }

    friend bool operator==(const OptionalBox& lhs, const OptionalBox& rhs) {
        return lhs.has_value() == rhs.has_value() && (!lhs || *lhs == *rhs);
    }
    friend bool operator==(const OptionalBox& box, std::nullopt_t) noexcept { return !box; }
    // Like std::optional: equal to a value when it holds one equal to it.
    template <class U>
    requires(!std::is_same_v<U, OptionalBox> && !std::is_same_v<U, std::nullopt_t> &&
             requires(const T& held, const U& value) {
                 { held == value } -> std::convertible_to<bool>;
             }) friend bool
    operator==(const OptionalBox& box, const U& value) {
        return box.has_value() && *box == value;
    }

private:
    std::unique_ptr<T> value_;
};

} // namespace koltutils
