#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

namespace koltutils {

// An optional value kept on the heap: a large field that most records leave empty then costs
// them one pointer. A value like std::optional, whose interface it follows for what records
// need: copies are deep, equality compares the values, and std::nullopt means empty.
template <class T> class OptionalBox {
public:
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
    void reset() noexcept { value_.reset(); }

    friend bool operator==(const OptionalBox& lhs, const OptionalBox& rhs) {
        return lhs.has_value() == rhs.has_value() && (!lhs || *lhs == *rhs);
    }
    friend bool operator==(const OptionalBox& box, std::nullopt_t) noexcept { return !box; }

private:
    std::unique_ptr<T> value_;
};

} // namespace koltutils
