#pragma once
#include "UObject/Object.h"

class COREUOBJECT_API UField : public UObject {
    UE4HOST_DECLARE_CLASS(UField, UObject, CLASS_Abstract | CLASS_Native | CLASS_Intrinsic, TEXT("/Script/CoreUObject"), COREUOBJECT_API)
public:
    UField(const FObjectInitializer& X) : UObject(X) {}
};

class COREUOBJECT_API UStruct : public UField {
    UE4HOST_DECLARE_CLASS(UStruct, UField, CLASS_Native | CLASS_Intrinsic, TEXT("/Script/CoreUObject"), COREUOBJECT_API)
public:
    UStruct(const FObjectInitializer& X) : UField(X) {}
    UStruct* GetSuperStruct() const { return SuperStruct; }
    void SetSuperStruct(UStruct* InSuper) { SuperStruct = InSuper; }
    bool IsChildOf(const UStruct* SomeBase) const {
        for (const UStruct* S = this; S; S = S->SuperStruct) if (S == SomeBase) return true;
        return false;
    }
    template <class T> bool IsChildOf() const { return IsChildOf(T::StaticClass()); }
    void StaticLink(bool = false) {}

private:
    UStruct* SuperStruct = nullptr;
};

class COREUOBJECT_API UClass : public UStruct {
    UE4HOST_DECLARE_CLASS(UClass, UStruct, CLASS_Native | CLASS_Intrinsic, TEXT("/Script/CoreUObject"), COREUOBJECT_API)
public:
    UClass(const FObjectInitializer& X) : UStruct(X) {}

    UClass* GetSuperClass() const { return static_cast<UClass*>(GetSuperStruct()); }
    bool HasAnyClassFlags(uint32 Flags) const { return (ClassFlags & Flags) != 0; }
    bool HasAllClassFlags(uint32 Flags) const { return (ClassFlags & Flags) == Flags; }
    const TCHAR* GetPrefixCPP() const { return PrefixCPP; }
    FString GetNativeName() const { return FString(GetPrefixCPP()) + GetName(); }
    // Reports the references of an object of this class (the most derived reporter).
    void CallAddReferencedObjects(UObject* Object, FReferenceCollector& Collector) const { ClassAddReferencedObjects(Object, Collector); }

    void SetCppTypeInfo(ICppClassTypeInfo* InCppTypeInfo) { CppTypeInfo = InCppTypeInfo; }
    ICppClassTypeInfo* GetCppTypeInfo() const { return CppTypeInfo; }

    EClassFlags ClassFlags = CLASS_None;
    FName ClassConfigName;
    ICppClassTypeInfo* CppTypeInfo = nullptr;
    EClassCastFlags ClassCastFlags = CASTCLASS_None;
    UClass* ClassWithin = nullptr;
    uint32 PropertiesSize = 0;
    int32 ClassUnique = 0; // counter for MakeUniqueObjectName
    ClassConstructorType ClassConstructor = nullptr;
    ClassAddReferencedObjectsType ClassAddReferencedObjects = nullptr;
    const TCHAR* PrefixCPP = TEXT("U");
    FName OwningModule; // the module whose library registered the class; None for the engine
};

template <class T> T* Cast(UObject* Src) { return Src && Src->IsA(T::StaticClass()) ? static_cast<T*>(Src) : nullptr; }
template <class T> const T* Cast(const UObject* Src) { return Src && Src->IsA(T::StaticClass()) ? static_cast<const T*>(Src) : nullptr; }
template <class T> T* CastChecked(UObject* Src) { T* R = Cast<T>(Src); check(R); return R; }
template <class T> T* ExactCast(UObject* Src) { return Src && Src->GetClass() == T::StaticClass() ? static_cast<T*>(Src) : nullptr; }
