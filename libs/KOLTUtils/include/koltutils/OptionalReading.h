#pragma once

#include <concepts>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace koltutils {

// What the house's optionals (OptionalBox, SharedOptional) offer to read them, as std::optional
// does, built on the two things each answers in its own way: `has_value()` and `held()`, the
// address of the value it holds. Equality with another of the same kind is each one's own.
template <class Derived, class T> class OptionalReading {
public:
    using value_type = T;

    explicit operator bool() const noexcept { return self().has_value(); }
    const T& operator*() const noexcept { return *self().held(); }
    const T* operator->() const noexcept { return self().held(); }
    const T& value() const {
        if (!self().has_value()) {
            throw std::bad_optional_access();
        }
        return *self().held();
    }
    template <class U> T value_or(U&& fallback) const {
        return self().has_value() ? *self().held() : static_cast<T>(std::forward<U>(fallback));
    }

    friend bool operator==(const Derived& held, std::nullopt_t) noexcept {
        return !held.has_value();
    }
    friend bool operator==(const Derived& held, const std::optional<T>& value) {
        return held.has_value() == value.has_value() && (!held.has_value() || *held == *value);
    }
    // Like std::optional: equal to a value when it holds one equal to it. `Self` is deduced, not
    // converted to: a T would otherwise become a Derived to compare with anything whose class
    // names Derived (the iterators of a list of them), and the check would recurse.
    template <std::same_as<Derived> Self, class U>
    requires(!std::is_same_v<U, Derived> && !std::is_same_v<U, std::nullopt_t> &&
             !std::is_same_v<U, std::optional<T>> &&
             requires(const T& held, const U& value) {
                 { held == value } -> std::convertible_to<bool>;
             }) friend bool
    operator==(const Self& held, const U& value) {
        return held.has_value() && *held == value;
    }

private:
    const Derived& self() const noexcept { return static_cast<const Derived&>(*this); }
};

} // namespace koltutils
