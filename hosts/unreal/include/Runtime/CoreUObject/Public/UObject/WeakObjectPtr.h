#pragma once
// Weak references to objects: an object-array index and the serial number of the object
// that held it, so a reused slot does not revive the reference.
#include "UObject/UObjectGlobals.h"
#include <type_traits>

struct COREUOBJECT_API FWeakObjectPtr {
    FWeakObjectPtr() {}
    FWeakObjectPtr(const UObject* Object) { *this = Object; }
    void operator=(const UObject* Object);
    bool operator==(const FWeakObjectPtr& Other) const {
        return ObjectIndex == Other.ObjectIndex && ObjectSerialNumber == Other.ObjectSerialNumber;
    }
    bool operator!=(const FWeakObjectPtr& Other) const { return !(*this == Other); }
    void Reset() {
        ObjectIndex = INDEX_NONE;
        ObjectSerialNumber = 0;
    }
    // Null when the object is gone, or pending kill unless bEvenIfPendingKill.
    UObject* Get(bool bEvenIfPendingKill) const;
    UObject* Get() const { return Get(false); }
    bool IsValid(bool bEvenIfPendingKill, bool bThreadsafeTest = false) const;
    bool IsValid() const { return IsValid(false); }
    // Pointed at an object once, and that object is gone (or pending kill, if asked).
    bool IsStale(bool bIncludingIfPendingKill = false, bool bThreadsafeTest = false) const;

private:
    int32 ObjectIndex = INDEX_NONE;
    int32 ObjectSerialNumber = 0;
};

template <class T = UObject, class TWeakObjectPtrBase = FWeakObjectPtr>
struct TWeakObjectPtr : private TWeakObjectPtrBase {
    static_assert(std::is_same<TWeakObjectPtrBase, FWeakObjectPtr>::value, "TWeakObjectPtrBase should not be overridden");

    TWeakObjectPtr() {}
    TWeakObjectPtr(const T* Object) : TWeakObjectPtrBase((const UObject*)Object) {
        static_assert(std::is_convertible<const T*, const volatile UObject*>::value, "TWeakObjectPtr can only be constructed with UObject types");
    }
    TWeakObjectPtr(const TWeakObjectPtr& Other) = default;
    // Derived-to-base conversions.
    template <typename OtherT>
    TWeakObjectPtr(const TWeakObjectPtr<OtherT, TWeakObjectPtrBase>& Other) : TWeakObjectPtrBase(*(const TWeakObjectPtrBase*)&Other) {
        static_assert(std::is_convertible<OtherT*, T*>::value, "Unable to convert TWeakObjectPtr - types are incompatible");
    }
    TWeakObjectPtr& operator=(const TWeakObjectPtr& Other) = default;
    template <class U>
    void operator=(const U* Object) {
        const T* TempObject = Object;
        TWeakObjectPtrBase::operator=((const UObject*)TempObject);
    }

    void Reset() { TWeakObjectPtrBase::Reset(); }
    T* Get(bool bEvenIfPendingKill) const { return (T*)TWeakObjectPtrBase::Get(bEvenIfPendingKill); }
    T* Get() const { return (T*)TWeakObjectPtrBase::Get(); }
    T& operator*() const { return *Get(); }
    T* operator->() const { return Get(); }
    bool IsValid(bool bEvenIfPendingKill, bool bThreadsafeTest = false) const { return TWeakObjectPtrBase::IsValid(bEvenIfPendingKill, bThreadsafeTest); }
    bool IsValid() const { return TWeakObjectPtrBase::IsValid(); }
    bool IsStale(bool bIncludingIfPendingKill = false, bool bThreadsafeTest = false) const {
        return TWeakObjectPtrBase::IsStale(bIncludingIfPendingKill, bThreadsafeTest);
    }
};

// The base is private: the C-style casts reach it as the engine's own operators do.
template <typename LhsT, typename RhsT, typename OtherBase>
bool operator==(const TWeakObjectPtr<LhsT, OtherBase>& Lhs, const TWeakObjectPtr<RhsT, OtherBase>& Rhs) {
    return (const OtherBase&)Lhs == (const OtherBase&)Rhs;
}
template <typename LhsT, typename RhsT, typename OtherBase>
bool operator!=(const TWeakObjectPtr<LhsT, OtherBase>& Lhs, const TWeakObjectPtr<RhsT, OtherBase>& Rhs) {
    return !(Lhs == Rhs);
}
template <typename LhsT, typename OtherBase>
bool operator==(const TWeakObjectPtr<LhsT, OtherBase>& Lhs, decltype(nullptr)) { return !Lhs.IsValid(); }
template <typename LhsT, typename OtherBase>
bool operator!=(const TWeakObjectPtr<LhsT, OtherBase>& Lhs, decltype(nullptr)) { return Lhs.IsValid(); }
