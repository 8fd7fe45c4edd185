#pragma once
// Creating, finding and loading objects, and garbage collection.
#include "UObject/Package.h"

COREUOBJECT_API UPackage* GetTransientPackage();
COREUOBJECT_API UPackage* CreatePackage(UObject* InOuter, const TCHAR* PackageName);
COREUOBJECT_API UPackage* FindPackage(UObject* InOuter, const TCHAR* PackageName);

COREUOBJECT_API UObject* StaticConstructObject_Internal(UClass* Class, UObject* InOuter = (UObject*)GetTransientPackage(),
                                                        FName Name = NAME_None, EObjectFlags SetFlags = RF_NoFlags,
                                                        EInternalObjectFlags InternalSetFlags = EInternalObjectFlags::None,
                                                        UObject* Template = nullptr, bool bCopyTransientsFromClassDefaults = false,
                                                        struct FObjectInstancingGraph* InstanceGraph = nullptr,
                                                        bool bAssumeTemplateIsArchetype = false);

template <class T>
T* NewObject(UObject* Outer, UClass* Class, FName Name = NAME_None, EObjectFlags Flags = RF_NoFlags, UObject* Template = nullptr,
             bool bCopyTransientsFromClassDefaults = false, struct FObjectInstancingGraph* InInstanceGraph = nullptr) {
    check(Class && Class->IsChildOf(T::StaticClass()));
    return static_cast<T*>(StaticConstructObject_Internal(Class, Outer, Name, Flags, EInternalObjectFlags::None, Template,
                                                          bCopyTransientsFromClassDefaults, InInstanceGraph));
}
template <class T>
T* NewObject(UObject* Outer = (UObject*)GetTransientPackage()) {
    return static_cast<T*>(StaticConstructObject_Internal(T::StaticClass(), Outer));
}
template <class T>
T* NewObject(UObject* Outer, FName Name, EObjectFlags Flags = RF_NoFlags, UObject* Template = nullptr,
             bool bCopyTransientsFromClassDefaults = false, struct FObjectInstancingGraph* InInstanceGraph = nullptr) {
    return NewObject<T>(Outer, T::StaticClass(), Name, Flags, Template, bCopyTransientsFromClassDefaults, InInstanceGraph);
}

// A name not yet used in Parent: BaseName (or the class name) with "_N".
COREUOBJECT_API FName MakeUniqueObjectName(UObject* Parent, UClass* Class, FName BaseName = NAME_None);

#define ANY_PACKAGE ((UPackage*)-1)
COREUOBJECT_API UObject* StaticFindObjectFast(UClass* Class, UObject* InOuter, FName InName, bool ExactClass = false,
                                              bool AnyPackage = false, EObjectFlags ExclusiveFlags = RF_NoFlags,
                                              EInternalObjectFlags ExclusiveInternalFlags = EInternalObjectFlags::None);
// Name is an object path ("/Game/Dir/Pkg.Obj") or a name inside InOuter.
COREUOBJECT_API UObject* StaticFindObject(UClass* Class, UObject* InOuter, const TCHAR* Name, bool ExactClass = false);
template <class T> T* FindObject(UObject* Outer, const TCHAR* Name, bool ExactClass = false) {
    return static_cast<T*>(StaticFindObject(T::StaticClass(), Outer, Name, ExactClass));
}

COREUOBJECT_API UPackage* LoadPackage(UPackage* InOuter, const TCHAR* InLongPackageName, uint32 LoadFlags);
// Finds or loads an object by path; a package name alone names the asset of the same name
// inside it.
COREUOBJECT_API UObject* StaticLoadObject(UClass* Class, UObject* InOuter, const TCHAR* Name, const TCHAR* Filename = nullptr,
                                          uint32 LoadFlags = LOAD_None, void* Sandbox = nullptr, bool bAllowObjectReconciliation = true);
template <class T> T* LoadObject(UObject* Outer, const TCHAR* Name, const TCHAR* Filename = nullptr, uint32 LoadFlags = LOAD_None, void* Sandbox = nullptr) {
    return static_cast<T*>(StaticLoadObject(T::StaticClass(), Outer, Name, Filename, LoadFlags, Sandbox));
}

// Frees every object that is neither rooted, nor flagged with KeepFlags, nor reachable
// from those (through outers and reported references).
COREUOBJECT_API void CollectGarbage(EObjectFlags KeepFlags, bool bPerformFullPurge = true);
COREUOBJECT_API int32 GetNumObjects();
COREUOBJECT_API void UObjectForceRegistration(UObjectBase* Object);
// Constructs the classes registered by libraries loaded since the last call.
COREUOBJECT_API void ProcessNewlyLoadedUObjects();

extern COREUOBJECT_API bool GIsEditor;
