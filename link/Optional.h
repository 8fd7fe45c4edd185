#pragma once
// A value that may be missing, for results such as "the block's offset, or nothing when
// the arena cannot grow". Both hosts build the link as C++14, which has no std::optional.

#include <type_traits>
#include <utility>

namespace kvt {

struct NoneType {
    constexpr NoneType() {}
};
constexpr NoneType none{};

template <class T> class Optional {
public:
    Optional() = default;
    Optional(NoneType) {}
    // Anything a T can be made from, as a present value.
    template <class U, class = std::enable_if_t<std::is_constructible<T, U&&>::value &&
                                                !std::is_same<std::decay_t<U>, Optional>::value &&
                                                !std::is_same<std::decay_t<U>, NoneType>::value>>
    Optional(U&& value) : value_(std::forward<U>(value)), present_(true)
    {
    }

    explicit operator bool() const { return present_; }
    bool hasValue() const { return present_; }

    T& operator*() { return value_; }
    const T& operator*() const { return value_; }
    T* operator->() { return &value_; }
    const T* operator->() const { return &value_; }

    T valueOr(T fallback) const { return present_ ? value_ : fallback; }

    friend bool operator==(const Optional& a, const Optional& b)
    {
        return a.present_ == b.present_ && (!a.present_ || a.value_ == b.value_);
    }
    friend bool operator!=(const Optional& a, const Optional& b) { return !(a == b); }

private:
    T value_{};
    bool present_ = false;
};

} // namespace kvt
