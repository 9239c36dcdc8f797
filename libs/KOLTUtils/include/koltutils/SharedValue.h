#pragma once

#include "koltutils/SharedOptional.h"

#include <utility>

namespace koltutils {

// An immutable value that its copies share instead of duplicating: a large record that many
// others refer to (an asset behind every clip that plays it) is then held once. It behaves as a
// value: copies compare by the value they hold, and changing one means assigning a new value,
// which never affects the other copies. A default-constructed SharedValue holds T{} without
// allocating.
template <class T> class SharedValue {
public:
    SharedValue() noexcept = default;
    SharedValue(T value) // NOLINT(google-explicit-constructor): stands in for a T field
        : value_(std::move(value)) {}

    const T& get() const noexcept { return value_ ? *value_ : defaultValue(); }
    const T& operator*() const noexcept { return get(); }
    const T* operator->() const noexcept { return &get(); }
    operator const T&() const noexcept { return get(); } // NOLINT(google-explicit-constructor)

    // Copies of one value compare by identity first; the field-by-field comparison only runs
    // between values made separately.
    friend bool operator==(const SharedValue& lhs, const SharedValue& rhs) {
        return lhs.value_.shares(rhs.value_) || lhs.get() == rhs.get();
    }

private:
    static const T& defaultValue() noexcept {
        static const T value{};
        return value;
    }

    SharedOptional<T> value_;
};

} // namespace koltutils
