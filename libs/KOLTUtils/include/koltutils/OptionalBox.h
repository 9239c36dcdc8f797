#pragma once

#include "koltutils/OptionalReading.h"

#include <memory>
#include <optional>
#include <utility>

namespace koltutils {

// An optional value kept on the heap: a large field that most records leave empty then costs
// them one pointer. A value like std::optional, whose interface it follows for what records
// need: copies are deep, equality compares the values, and std::nullopt means empty.
template <class T> class OptionalBox : public OptionalReading<OptionalBox<T>, T> {
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
    using OptionalReading<OptionalBox<T>, T>::operator*;
    using OptionalReading<OptionalBox<T>, T>::operator->;
    T& operator*() noexcept { return *value_; }
    T* operator->() noexcept { return value_.get(); }
    void reset() noexcept { value_.reset(); }

    friend bool operator==(const OptionalBox& lhs, const OptionalBox& rhs) {
        return lhs.has_value() == rhs.has_value() && (!lhs || *lhs == *rhs);
    }

private:
    friend class OptionalReading<OptionalBox<T>, T>;

    const T* held() const noexcept { return value_.get(); }

    std::unique_ptr<T> value_;
};

} // namespace koltutils
