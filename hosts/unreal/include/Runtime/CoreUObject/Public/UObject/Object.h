#pragma once
// UObject: every object has a class, a name unique within its outer, an outer (the package
// at the top) and flags; the object system owns its memory and frees it in garbage
// collection.
#include "UObject/ObjectMacros.h"

class UWorld;

// The object being constructed: class, outer, name, flags; constructors receive it.
class COREUOBJECT_API FObjectInitializer {
public:
    FObjectInitializer(UObject* InObj, UClass* InClass, UObject* InOuter, FName InName, EObjectFlags InFlags)
        : Obj(InObj), Class(InClass), Outer(InOuter), Name(InName), Flags(InFlags) {}
    UObject* GetObj() const { return Obj; }
    UClass* GetClass() const { return Class; }
    static FObjectInitializer& Get(); // the innermost construction in progress on this thread

    UObject* Obj;
    UClass* Class;
    UObject* Outer;
    FName Name;
    EObjectFlags Flags;
};

class COREUOBJECT_API UObjectBase {
public:
    UObjectBase(); // takes class, outer, name and flags from the object being constructed
    virtual ~UObjectBase();

    UClass* GetClass() const { return ClassPrivate; }
    UObject* GetOuter() const { return OuterPrivate; }
    FName GetFName() const { return NamePrivate; }
    int32 GetUniqueID() const { return InternalIndex; }

    // The object system sets these while it builds class objects.
    void SetClassPrivate(UClass* InClass) { ClassPrivate = InClass; }
    void SetOuterPrivate(UObject* InOuter) { OuterPrivate = InOuter; }

protected:
    EObjectFlags ObjectFlags = RF_NoFlags;
    int32 InternalIndex = -1;
    UClass* ClassPrivate = nullptr;
    FName NamePrivate;
    UObject* OuterPrivate = nullptr;
    friend struct FObjectSystem;
};

class COREUOBJECT_API UObject : public UObjectBase {
    DECLARE_CLASS(UObject, UObject, CLASS_Abstract | CLASS_Native | CLASS_Intrinsic, CASTCLASS_None, TEXT("/Script/CoreUObject"), COREUOBJECT_API)
    static void StaticRegisterNativesUObject() {}
    DEFINE_DEFAULT_OBJECT_INITIALIZER_CONSTRUCTOR_CALL(UObject)
    typedef UObject WithinClass;

public:
    UObject() = default;
    UObject(const FObjectInitializer&) {}
    ~UObject() override = default;

    FString GetName() const { return GetFName().ToString(); }
    FString GetPathName(const UObject* StopOuter = nullptr) const;
    FString GetFullName() const;
    UPackage* GetOutermost() const;
    bool IsA(const UClass* SomeBase) const;
    template <class T> bool IsA() const { return IsA(T::StaticClass()); }
    bool IsIn(const UObject* SomeOuter) const;

    void AddToRoot();
    void RemoveFromRoot();
    bool IsRooted() const;
    void MarkPendingKill();
    void ClearPendingKill();
    bool IsPendingKill() const;
    bool IsValidLowLevel() const;
    void SetFlags(EObjectFlags NewFlags) { ObjectFlags = ObjectFlags | NewFlags; }
    void ClearFlags(EObjectFlags Flags) { ObjectFlags = ObjectFlags & ~Flags; }
    bool HasAnyFlags(EObjectFlags Flags) const { return (ObjectFlags & Flags) != 0; }
    bool HasAllFlags(EObjectFlags Flags) const { return (ObjectFlags & Flags) == Flags; }
    EObjectFlags GetFlags() const { return ObjectFlags; }

    virtual UWorld* GetWorld() const { return nullptr; }
    virtual void PostInitProperties() {}
    virtual void PostLoad() {}
    // Garbage collection calls BeginDestroy and FinishDestroy before it frees the object.
    virtual void BeginDestroy() {}
    virtual void FinishDestroy() {}
    static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector);
};

// Reports the objects an object keeps alive, for garbage collection.
struct COREUOBJECT_API FReferenceCollector {
    virtual ~FReferenceCollector() = default;
    virtual void HandleObjectReference(UObject*& Object, const UObject* ReferencingObject) = 0;
    // Objects derive from UObject first, so any object pointer is a UObject pointer.
    template <class T> void AddReferencedObject(T*& Object, const UObject* ReferencingObject = nullptr) {
        HandleObjectReference(reinterpret_cast<UObject*&>(Object), ReferencingObject);
    }
    template <class T> void AddReferencedObjects(TArray<T*>& Objects, const UObject* ReferencingObject = nullptr) {
        for (T*& Obj : Objects) AddReferencedObject(Obj, ReferencingObject);
    }
};


