#pragma once
// Weak references to objects: an object-array index and the serial number of the object
// that held it, so a reused slot does not revive the reference.
#include "UObject/UObjectGlobals.h"

struct COREUOBJECT_API FWeakObjectPtr {
    FWeakObjectPtr() = default;
    FWeakObjectPtr(const UObject* Object) { *this = Object; }
    FWeakObjectPtr& operator=(const UObject* Object);
    UObject* Get() const; // null when the object is gone or pending kill
    bool IsValid() const { return Get() != nullptr; }
    bool IsStale() const;
    void Reset() { ObjectIndex = INDEX_NONE; ObjectSerialNumber = 0; }
    bool operator==(const FWeakObjectPtr& O) const { return ObjectIndex == O.ObjectIndex && ObjectSerialNumber == O.ObjectSerialNumber; }

private:
    int32 ObjectIndex = INDEX_NONE;
    int32 ObjectSerialNumber = 0;
};

template <class T>
struct TWeakObjectPtr : private FWeakObjectPtr {
    TWeakObjectPtr() = default;
    TWeakObjectPtr(std::nullptr_t) {}
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TWeakObjectPtr(U* Object) : FWeakObjectPtr((const UObject*)(T*)Object) {}
    template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TWeakObjectPtr(const TWeakObjectPtr<U>& Other) : FWeakObjectPtr(Other.Base()) {}
    T* Get() const { return static_cast<T*>(FWeakObjectPtr::Get()); }
    T* operator->() const { return Get(); }
    T& operator*() const { return *Get(); }
    bool IsValid() const { return FWeakObjectPtr::IsValid(); }
    bool IsStale() const { return FWeakObjectPtr::IsStale(); }
    void Reset() { FWeakObjectPtr::Reset(); }
    bool operator==(const TWeakObjectPtr& O) const { return Base() == O.Base(); }
    const FWeakObjectPtr& Base() const { return *this; }
};
