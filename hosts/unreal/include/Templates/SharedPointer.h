#pragma once
// TSharedPtr, TSharedRef, TWeakPtr and TSharedFromThis with the engine's interface, kept on
// std::shared_ptr: a TSharedRef is never null.
#include "Misc/AssertionMacros.h"
#include <memory>
#include <type_traits>

enum class ESPMode { NotThreadSafe = 0, ThreadSafe = 1, Fast = ThreadSafe };

template <class T, ESPMode Mode = ESPMode::Fast> class TSharedPtr;
template <class T, ESPMode Mode = ESPMode::Fast> class TSharedRef;
template <class T, ESPMode Mode = ESPMode::Fast> class TWeakPtr;

// What MakeShareable returns: converts into a shared pointer or reference of a base type,
// owning the object as its most-derived type.
template <class T>
struct TRawPtrProxy {
    T* Object;
    explicit TRawPtrProxy(T* InObject) : Object(InObject) {}
};
template <class T> TRawPtrProxy<T> MakeShareable(T* Object) { return TRawPtrProxy<T>(Object); }

template <class T, ESPMode Mode>
class TSharedRef {
public:
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TSharedRef(TRawPtrProxy<U> Proxy) : Ptr(std::shared_ptr<U>(Proxy.Object)) { check(Ptr); }
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TSharedRef(const TSharedRef<U, Mode>& Other) : Ptr(Other.Ptr) {}
    explicit TSharedRef(std::shared_ptr<T> InPtr) : Ptr(std::move(InPtr)) { check(Ptr); }

    T& Get() const { return *Ptr; }
    T* operator->() const { return Ptr.get(); }
    T& operator*() const { return *Ptr; }
    bool IsValid() const { return true; }
    int32 GetSharedReferenceCount() const { return int32(Ptr.use_count()); }
    bool IsUnique() const { return Ptr.use_count() == 1; }
    TSharedPtr<T, Mode> ToSharedPtr() const { return TSharedPtr<T, Mode>(*this); }
    template <class U> bool operator==(const TSharedRef<U, Mode>& O) const { return Ptr == O.Ptr; }
    template <class U> bool operator!=(const TSharedRef<U, Mode>& O) const { return Ptr != O.Ptr; }
    const std::shared_ptr<T>& StdPtr() const { return Ptr; }

private:
    template <class, ESPMode> friend class TSharedRef;
    template <class, ESPMode> friend class TSharedPtr;
    std::shared_ptr<T> Ptr;
};

template <class T, ESPMode Mode>
class TSharedPtr {
public:
    TSharedPtr() = default;
    TSharedPtr(std::nullptr_t) {}
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TSharedPtr(TRawPtrProxy<U> Proxy) : Ptr(Proxy.Object ? std::shared_ptr<U>(Proxy.Object) : std::shared_ptr<U>()) {}
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TSharedPtr(const TSharedPtr<U, Mode>& Other) : Ptr(Other.Ptr) {}
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TSharedPtr(const TSharedRef<U, Mode>& Other) : Ptr(Other.Ptr) {}
    explicit TSharedPtr(std::shared_ptr<T> InPtr) : Ptr(std::move(InPtr)) {}

    T* Get() const { return Ptr.get(); }
    T* operator->() const { check(Ptr); return Ptr.get(); }
    T& operator*() const { check(Ptr); return *Ptr; }
    bool IsValid() const { return Ptr != nullptr; }
    explicit operator bool() const { return Ptr != nullptr; }
    void Reset() { Ptr.reset(); }
    TSharedRef<T, Mode> ToSharedRef() const { check(Ptr); return TSharedRef<T, Mode>(Ptr); }
    int32 GetSharedReferenceCount() const { return int32(Ptr.use_count()); }
    template <class U> bool operator==(const TSharedPtr<U, Mode>& O) const { return Ptr == O.Ptr; }
    template <class U> bool operator!=(const TSharedPtr<U, Mode>& O) const { return Ptr != O.Ptr; }
    bool operator==(std::nullptr_t) const { return !Ptr; }
    bool operator!=(std::nullptr_t) const { return Ptr != nullptr; }
    const std::shared_ptr<T>& StdPtr() const { return Ptr; }

private:
    template <class, ESPMode> friend class TSharedPtr;
    template <class, ESPMode> friend class TWeakPtr;
    std::shared_ptr<T> Ptr;
};

template <class T, ESPMode Mode>
class TWeakPtr {
public:
    TWeakPtr() = default;
    TWeakPtr(std::nullptr_t) {}
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TWeakPtr(const TSharedRef<U, Mode>& Ref) : Ptr(std::shared_ptr<T>(Ref.StdPtr())) {}
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TWeakPtr(const TSharedPtr<U, Mode>& Shared) : Ptr(std::shared_ptr<T>(Shared.StdPtr())) {}
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TWeakPtr(const TWeakPtr<U, Mode>& Other) : Ptr(Other.Ptr) {}

    TSharedPtr<T, Mode> Pin() const { return TSharedPtr<T, Mode>(Ptr.lock()); }
    bool IsValid() const { return !Ptr.expired(); }
    void Reset() { Ptr.reset(); }
    bool HasSameObject(const void* Other) const { return Pin().Get() == Other; }

private:
    template <class, ESPMode> friend class TWeakPtr;
    std::weak_ptr<T> Ptr;
};

template <class T, ESPMode Mode = ESPMode::Fast>
class TSharedFromThis : public std::enable_shared_from_this<T> {
public:
    TSharedRef<T, Mode> AsShared() { return TSharedRef<T, Mode>(this->shared_from_this()); }
    TSharedRef<const T, Mode> AsShared() const { return TSharedRef<const T, Mode>(this->shared_from_this()); }
    bool DoesSharedInstanceExist() const { return !this->weak_from_this().expired(); }

protected:
    template <class OtherType>
    static TSharedRef<OtherType, Mode> SharedThis(OtherType* ThisPtr) {
        return TSharedRef<OtherType, Mode>(std::static_pointer_cast<OtherType>(ThisPtr->shared_from_this()));
    }
};

template <class T, ESPMode Mode = ESPMode::Fast, class... Args>
TSharedRef<T, Mode> MakeShared(Args&&... InArgs) { return TSharedRef<T, Mode>(std::make_shared<T>(std::forward<Args>(InArgs)...)); }

template <class To, class From, ESPMode Mode>
TSharedRef<To, Mode> StaticCastSharedRef(const TSharedRef<From, Mode>& Ref) { return TSharedRef<To, Mode>(std::static_pointer_cast<To>(Ref.StdPtr())); }
template <class To, class From, ESPMode Mode>
TSharedPtr<To, Mode> StaticCastSharedPtr(const TSharedPtr<From, Mode>& Ptr) { return TSharedPtr<To, Mode>(std::static_pointer_cast<To>(Ptr.StdPtr())); }
