#pragma once
// TRefCountPtr: an owning pointer to an object with AddRef and Release (the RHI's resources).
#include "HAL/Platform.h"
#include <utility>

template <typename ReferencedType>
class TRefCountPtr {
    typedef ReferencedType* ReferenceType;

public:
    FORCEINLINE TRefCountPtr() : Reference(nullptr) {}
    TRefCountPtr(ReferencedType* InReference, bool bAddRef = true) : Reference(InReference) {
        if (Reference && bAddRef) Reference->AddRef();
    }
    TRefCountPtr(const TRefCountPtr& Copy) : Reference(Copy.Reference) {
        if (Reference) Reference->AddRef();
    }
    FORCEINLINE TRefCountPtr(TRefCountPtr&& Copy) : Reference(Copy.Reference) { Copy.Reference = nullptr; }
    ~TRefCountPtr() {
        if (Reference) Reference->Release();
    }
    TRefCountPtr& operator=(ReferencedType* InReference) {
        ReferencedType* Old = Reference;
        Reference = InReference;
        if (Reference) Reference->AddRef();
        if (Old) Old->Release();
        return *this;
    }
    FORCEINLINE TRefCountPtr& operator=(const TRefCountPtr& InPtr) { return *this = InPtr.Reference; }
    TRefCountPtr& operator=(TRefCountPtr&& InPtr) {
        if (this != &InPtr) {
            ReferencedType* Old = Reference;
            Reference = InPtr.Reference;
            InPtr.Reference = nullptr;
            if (Old) Old->Release();
        }
        return *this;
    }
    FORCEINLINE ReferencedType* operator->() const { return Reference; }
    FORCEINLINE operator ReferenceType() const { return Reference; }
    FORCEINLINE ReferencedType** GetInitReference() {
        *this = nullptr;
        return &Reference;
    }
    FORCEINLINE ReferencedType* GetReference() const { return Reference; }
    FORCEINLINE friend bool IsValidRef(const TRefCountPtr& InReference) { return InReference.Reference != nullptr; }
    FORCEINLINE bool IsValid() const { return Reference != nullptr; }
    FORCEINLINE void SafeRelease() { *this = nullptr; }
    uint32 GetRefCount() {
        uint32 Result = 0;
        if (Reference) {
            Result = Reference->AddRef();
            Reference->Release();
            --Result;
        }
        return Result;
    }
    FORCEINLINE void Swap(TRefCountPtr& InPtr) { std::swap(Reference, InPtr.Reference); }

private:
    ReferencedType* Reference;
};

template <typename ReferencedType>
FORCEINLINE bool operator==(const TRefCountPtr<ReferencedType>& A, const TRefCountPtr<ReferencedType>& B) {
    return A.GetReference() == B.GetReference();
}
template <typename ReferencedType>
FORCEINLINE bool operator==(const TRefCountPtr<ReferencedType>& A, ReferencedType* B) {
    return A.GetReference() == B;
}
template <typename ReferencedType>
FORCEINLINE bool operator==(ReferencedType* A, const TRefCountPtr<ReferencedType>& B) {
    return A == B.GetReference();
}
