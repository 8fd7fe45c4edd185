#pragma once
// TSharedRef, TSharedPtr, TWeakPtr and TSharedFromThis with the engine's interface, kept on
// std::shared_ptr. A TSharedRef is never null. As on the engine's x86-64 platforms,
// ESPMode::Fast is the not-thread-safe mode: a pointer of one mode does not convert to one
// of the other.
#include "Misc/AssertionMacros.h"
#include <memory>
#include <type_traits>
#include <utility>

enum class ESPMode { NotThreadSafe = 0, Fast = 0, ThreadSafe = 1 };

template <class ObjectType, ESPMode Mode = ESPMode::Fast> class TSharedRef;
template <class ObjectType, ESPMode Mode = ESPMode::Fast> class TSharedPtr;
template <class ObjectType, ESPMode Mode = ESPMode::Fast> class TWeakPtr;
template <class ObjectType, ESPMode Mode = ESPMode::Fast> class TSharedFromThis;

template <class CastToType, class CastFromType, ESPMode Mode>
TSharedRef<CastToType, Mode> StaticCastSharedRef(TSharedRef<CastFromType, Mode> const& InSharedRef);

namespace SharedPointerInternals {

// What MakeShareable returns: converts into a shared pointer or reference of a base type,
// owning the object as its most-derived type.
template <class ObjectType>
struct FRawPtrProxy {
    ObjectType* Object;
    FRawPtrProxy(ObjectType* InObject) : Object(InObject) {}
};

struct FStaticCastTag {};
struct FConstCastTag {};
struct FNullTag {};

template <class From, class To>
struct TIsConvertible {
    enum { Value = std::is_convertible<From*, To*>::value };
};

// Gives an object derived from TSharedFromThis its weak reference to itself, once the first
// shared owner exists; other objects ignore it.
template <class SharedType, class ObjectType, ESPMode Mode, class FromThisType>
void EnableSharedFromThis(const std::shared_ptr<SharedType>& Owner, const TSharedFromThis<FromThisType, Mode>* InObject, ObjectType* Object);
template <class SharedType>
inline void EnableSharedFromThis(const std::shared_ptr<SharedType>&, ...) {}

// The std::shared_ptr beneath a shared pointer, for the pointer classes and their friends.
struct FAccess {
    template <class T, ESPMode Mode> static const std::shared_ptr<T>& Get(const TSharedRef<T, Mode>& Ref) { return Ref.Ptr; }
    template <class T, ESPMode Mode> static const std::shared_ptr<T>& Get(const TSharedPtr<T, Mode>& Ptr) { return Ptr.Ptr; }
    template <class T, ESPMode Mode> static TSharedRef<T, Mode> MakeRef(std::shared_ptr<T> Ptr) { return TSharedRef<T, Mode>(std::move(Ptr)); }
    template <class T, ESPMode Mode> static TSharedPtr<T, Mode> MakePtr(std::shared_ptr<T> Ptr) {
        TSharedPtr<T, Mode> Result;
        Result.Ptr = std::move(Ptr);
        return Result;
    }
};

} // namespace SharedPointerInternals

template <class ObjectType, ESPMode Mode>
class TSharedRef {
public:
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    explicit TSharedRef(OtherType* InObject) : Ptr(std::shared_ptr<OtherType>(InObject)) {
        check(InObject != nullptr);
        SharedPointerInternals::EnableSharedFromThis(Ptr, InObject, InObject);
    }
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TSharedRef(SharedPointerInternals::FRawPtrProxy<OtherType> const& InRawPtrProxy) : Ptr(std::shared_ptr<OtherType>(InRawPtrProxy.Object)) {
        check(InRawPtrProxy.Object != nullptr);
        SharedPointerInternals::EnableSharedFromThis(Ptr, InRawPtrProxy.Object, InRawPtrProxy.Object);
    }
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TSharedRef(TSharedRef<OtherType, Mode> const& InSharedRef) : Ptr(InSharedRef.Ptr) {}
    template <typename OtherType>
    TSharedRef(TSharedRef<OtherType, Mode> const& InSharedRef, SharedPointerInternals::FStaticCastTag)
        : Ptr(std::static_pointer_cast<ObjectType>(InSharedRef.Ptr)) {}
    template <typename OtherType>
    TSharedRef(TSharedRef<OtherType, Mode> const& InSharedRef, SharedPointerInternals::FConstCastTag)
        : Ptr(std::const_pointer_cast<ObjectType>(InSharedRef.Ptr)) {}
    template <typename OtherType>
    TSharedRef(TSharedRef<OtherType, Mode> const& OtherSharedRef, ObjectType* InObject) : Ptr(OtherSharedRef.Ptr, InObject) {
        check(InObject != nullptr);
    }
    TSharedRef(TSharedRef const& InSharedRef) = default;
    // Moving leaves the source as it was: a shared reference is never null.
    TSharedRef(TSharedRef&& InSharedRef) : Ptr(InSharedRef.Ptr) {}
    TSharedRef& operator=(TSharedRef const& InSharedRef) = default;
    TSharedRef& operator=(TSharedRef&& InSharedRef) {
        Ptr.swap(InSharedRef.Ptr);
        return *this;
    }
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TSharedRef& operator=(SharedPointerInternals::FRawPtrProxy<OtherType> const& InRawPtrProxy) {
        return *this = TSharedRef(InRawPtrProxy);
    }

    ObjectType& Get() const { return *Ptr; }
    ObjectType& operator*() const { return *Ptr; }
    ObjectType* operator->() const { return Ptr.get(); }
    int32 GetSharedReferenceCount() const { return int32(Ptr.use_count()); }
    bool IsUnique() const { return Ptr.use_count() == 1; }

private:
    template <class, ESPMode> friend class TSharedRef;
    template <class, ESPMode> friend class TSharedPtr;
    template <class, ESPMode> friend class TWeakPtr;
    friend struct SharedPointerInternals::FAccess;

    explicit TSharedRef(std::shared_ptr<ObjectType> InPtr) : Ptr(std::move(InPtr)) { check(Ptr); }
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    explicit TSharedRef(TSharedPtr<OtherType, Mode> const& InSharedPtr) : Ptr(InSharedPtr.Ptr) {
        check(Ptr);
    }

    std::shared_ptr<ObjectType> Ptr;
};

template <class ObjectType, ESPMode Mode>
class TSharedPtr {
public:
    TSharedPtr(SharedPointerInternals::FNullTag* = nullptr) {}
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    explicit TSharedPtr(OtherType* InObject) : Ptr(std::shared_ptr<OtherType>(InObject)) {
        SharedPointerInternals::EnableSharedFromThis(Ptr, InObject, InObject);
    }
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TSharedPtr(SharedPointerInternals::FRawPtrProxy<OtherType> const& InRawPtrProxy) {
        if (InRawPtrProxy.Object) {
            Ptr = std::shared_ptr<OtherType>(InRawPtrProxy.Object);
            SharedPointerInternals::EnableSharedFromThis(Ptr, InRawPtrProxy.Object, InRawPtrProxy.Object);
        }
    }
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TSharedPtr(TSharedPtr<OtherType, Mode> const& InSharedPtr) : Ptr(InSharedPtr.Ptr) {}
    TSharedPtr(TSharedPtr const& InSharedPtr) = default;
    TSharedPtr(TSharedPtr&& InSharedPtr) = default;
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TSharedPtr(TSharedRef<OtherType, Mode> const& InSharedRef) : Ptr(InSharedRef.Ptr) {}
    template <typename OtherType>
    TSharedPtr(TSharedPtr<OtherType, Mode> const& InSharedPtr, SharedPointerInternals::FStaticCastTag)
        : Ptr(std::static_pointer_cast<ObjectType>(InSharedPtr.Ptr)) {}
    template <typename OtherType>
    TSharedPtr(TSharedPtr<OtherType, Mode> const& InSharedPtr, SharedPointerInternals::FConstCastTag)
        : Ptr(std::const_pointer_cast<ObjectType>(InSharedPtr.Ptr)) {}
    template <typename OtherType>
    TSharedPtr(TSharedPtr<OtherType, Mode> const& OtherSharedPtr, ObjectType* InObject) : Ptr(OtherSharedPtr.Ptr, InObject) {}
    template <typename OtherType>
    TSharedPtr(TSharedRef<OtherType, Mode> const& OtherSharedRef, ObjectType* InObject) : Ptr(OtherSharedRef.Ptr, InObject) {}

    TSharedPtr& operator=(SharedPointerInternals::FNullTag*) {
        Reset();
        return *this;
    }
    TSharedPtr& operator=(TSharedPtr const& InSharedPtr) = default;
    TSharedPtr& operator=(TSharedPtr&& InSharedPtr) = default;
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TSharedPtr& operator=(SharedPointerInternals::FRawPtrProxy<OtherType> const& InRawPtrProxy) {
        return *this = TSharedPtr(InRawPtrProxy);
    }

    TSharedRef<ObjectType, Mode> ToSharedRef() const {
        check(IsValid());
        return TSharedRef<ObjectType, Mode>(*this);
    }
    ObjectType* Get() const { return Ptr.get(); }
    bool IsValid() const { return Ptr != nullptr; }
    ObjectType& operator*() const {
        check(IsValid());
        return *Ptr;
    }
    ObjectType* operator->() const {
        check(IsValid());
        return Ptr.get();
    }
    void Reset() { Ptr.reset(); }
    int32 GetSharedReferenceCount() const { return int32(Ptr.use_count()); }
    bool IsUnique() const { return Ptr.use_count() == 1; }

private:
    template <class, ESPMode> friend class TSharedPtr;
    template <class, ESPMode> friend class TSharedRef;
    template <class, ESPMode> friend class TWeakPtr;
    friend struct SharedPointerInternals::FAccess;

    std::shared_ptr<ObjectType> Ptr;
};

template <class ObjectType, ESPMode Mode>
class TWeakPtr {
public:
    TWeakPtr(SharedPointerInternals::FNullTag* = nullptr) {}
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TWeakPtr(TSharedRef<OtherType, Mode> const& InSharedRef) : Ptr(std::shared_ptr<ObjectType>(InSharedRef.Ptr)) {}
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TWeakPtr(TSharedPtr<OtherType, Mode> const& InSharedPtr) : Ptr(std::shared_ptr<ObjectType>(InSharedPtr.Ptr)) {}
    template <typename OtherType, typename = typename std::enable_if<SharedPointerInternals::TIsConvertible<OtherType, ObjectType>::Value>::type>
    TWeakPtr(TWeakPtr<OtherType, Mode> const& InWeakPtr) : Ptr(InWeakPtr.Ptr) {}
    TWeakPtr(TWeakPtr const& InWeakPtr) = default;
    TWeakPtr(TWeakPtr&& InWeakPtr) = default;

    TWeakPtr& operator=(SharedPointerInternals::FNullTag*) {
        Reset();
        return *this;
    }
    TWeakPtr& operator=(TWeakPtr const& InWeakPtr) = default;
    TWeakPtr& operator=(TWeakPtr&& InWeakPtr) = default;

    TSharedPtr<ObjectType, Mode> Pin() const { return SharedPointerInternals::FAccess::MakePtr<ObjectType, Mode>(Ptr.lock()); }
    bool IsValid() const { return !Ptr.expired(); }
    void Reset() { Ptr.reset(); }
    bool HasSameObject(const void* InOtherPtr) const { return Pin().Get() == InOtherPtr; }

private:
    template <class, ESPMode> friend class TWeakPtr;
    std::weak_ptr<ObjectType> Ptr;
};

template <class ObjectType, ESPMode Mode>
class TSharedFromThis {
public:
    TSharedRef<ObjectType, Mode> AsShared() {
        TSharedPtr<ObjectType, Mode> SharedThis(WeakThis.Pin());
        // Only valid once a shared pointer owns the object, and not in its destructor.
        check(SharedThis.Get() == this);
        return SharedThis.ToSharedRef();
    }
    TSharedRef<ObjectType const, Mode> AsShared() const {
        TSharedPtr<ObjectType const, Mode> SharedThis(WeakThis.Pin());
        check(SharedThis.Get() == this);
        return SharedThis.ToSharedRef();
    }
    bool DoesSharedInstanceExist() const { return WeakThis.IsValid(); }

protected:
    template <class OtherType>
    static TSharedRef<OtherType, Mode> SharedThis(OtherType* ThisPtr) {
        return StaticCastSharedRef<OtherType>(ThisPtr->AsShared());
    }
    template <class OtherType>
    static TSharedRef<OtherType const, Mode> SharedThis(const OtherType* ThisPtr) {
        return StaticCastSharedRef<OtherType const>(ThisPtr->AsShared());
    }

    TSharedFromThis() {}
    TSharedFromThis(TSharedFromThis const&) {}
    TSharedFromThis& operator=(TSharedFromThis const&) { return *this; }
    ~TSharedFromThis() {}

private:
    template <class SharedType, class OtherType, ESPMode OtherMode, class FromThisType>
    friend void SharedPointerInternals::EnableSharedFromThis(const std::shared_ptr<SharedType>&, const TSharedFromThis<FromThisType, OtherMode>*, OtherType*);

    mutable TWeakPtr<ObjectType, Mode> WeakThis;
};

namespace SharedPointerInternals {
template <class SharedType, class ObjectType, ESPMode Mode, class FromThisType>
void EnableSharedFromThis(const std::shared_ptr<SharedType>& Owner, const TSharedFromThis<FromThisType, Mode>* InObject, ObjectType* Object) {
    if (InObject && !InObject->WeakThis.IsValid())
        InObject->WeakThis = FAccess::MakePtr<FromThisType, Mode>(std::shared_ptr<FromThisType>(Owner, static_cast<FromThisType*>(Object)));
}
} // namespace SharedPointerInternals

template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator==(TSharedRef<ObjectTypeA, Mode> const& A, TSharedRef<ObjectTypeB, Mode> const& B) { return &A.Get() == &B.Get(); }
template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator!=(TSharedRef<ObjectTypeA, Mode> const& A, TSharedRef<ObjectTypeB, Mode> const& B) { return &A.Get() != &B.Get(); }
template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator==(TSharedPtr<ObjectTypeA, Mode> const& A, TSharedPtr<ObjectTypeB, Mode> const& B) { return A.Get() == B.Get(); }
template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator!=(TSharedPtr<ObjectTypeA, Mode> const& A, TSharedPtr<ObjectTypeB, Mode> const& B) { return A.Get() != B.Get(); }
template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator==(TSharedRef<ObjectTypeA, Mode> const& A, TSharedPtr<ObjectTypeB, Mode> const& B) { return B.IsValid() && B.Get() == &A.Get(); }
template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator!=(TSharedRef<ObjectTypeA, Mode> const& A, TSharedPtr<ObjectTypeB, Mode> const& B) { return !(A == B); }
template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator==(TSharedPtr<ObjectTypeB, Mode> const& B, TSharedRef<ObjectTypeA, Mode> const& A) { return A == B; }
template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator!=(TSharedPtr<ObjectTypeB, Mode> const& B, TSharedRef<ObjectTypeA, Mode> const& A) { return !(A == B); }
template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator==(TWeakPtr<ObjectTypeA, Mode> const& A, TWeakPtr<ObjectTypeB, Mode> const& B) { return A.Pin().Get() == B.Pin().Get(); }
template <class ObjectTypeA, class ObjectTypeB, ESPMode Mode>
bool operator!=(TWeakPtr<ObjectTypeA, Mode> const& A, TWeakPtr<ObjectTypeB, Mode> const& B) { return A.Pin().Get() != B.Pin().Get(); }
template <class ObjectTypeA, ESPMode Mode>
bool operator==(TWeakPtr<ObjectTypeA, Mode> const& A, decltype(nullptr)) { return !A.IsValid(); }
template <class ObjectTypeA, ESPMode Mode>
bool operator!=(TWeakPtr<ObjectTypeA, Mode> const& A, decltype(nullptr)) { return A.IsValid(); }

template <class CastToType, class CastFromType, ESPMode Mode>
TSharedRef<CastToType, Mode> StaticCastSharedRef(TSharedRef<CastFromType, Mode> const& InSharedRef) {
    return TSharedRef<CastToType, Mode>(InSharedRef, SharedPointerInternals::FStaticCastTag());
}
template <class CastToType, class CastFromType, ESPMode Mode>
TSharedPtr<CastToType, Mode> StaticCastSharedPtr(TSharedPtr<CastFromType, Mode> const& InSharedPtr) {
    return TSharedPtr<CastToType, Mode>(InSharedPtr, SharedPointerInternals::FStaticCastTag());
}
template <class CastToType, class CastFromType, ESPMode Mode>
TSharedRef<CastToType, Mode> ConstCastSharedRef(TSharedRef<CastFromType, Mode> const& InSharedRef) {
    return TSharedRef<CastToType, Mode>(InSharedRef, SharedPointerInternals::FConstCastTag());
}
template <class CastToType, class CastFromType, ESPMode Mode>
TSharedPtr<CastToType, Mode> ConstCastSharedPtr(TSharedPtr<CastFromType, Mode> const& InSharedPtr) {
    return TSharedPtr<CastToType, Mode>(InSharedPtr, SharedPointerInternals::FConstCastTag());
}

template <class ObjectType>
SharedPointerInternals::FRawPtrProxy<ObjectType> MakeShareable(ObjectType* InObject) {
    return SharedPointerInternals::FRawPtrProxy<ObjectType>(InObject);
}

template <typename InObjectType, ESPMode InMode = ESPMode::Fast, typename... InArgTypes>
TSharedRef<InObjectType, InMode> MakeShared(InArgTypes&&... Args) {
    std::shared_ptr<InObjectType> Object = std::make_shared<InObjectType>(std::forward<InArgTypes>(Args)...);
    SharedPointerInternals::EnableSharedFromThis(Object, Object.get(), Object.get());
    return SharedPointerInternals::FAccess::MakeRef<InObjectType, InMode>(std::move(Object));
}
