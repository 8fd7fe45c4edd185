// The object system: the object array with serial numbers for weak pointers, the name
// hash, construction, class registration of compiled-in classes, finding, and garbage
// collection by reachability from the root set.
#include "UObject/UObjectGlobals.h"
#include "UObject/MetaData.h"
#include "UObject/WeakObjectPtr.h"
#include "UE4Host/ObjectSystem.h"
#include "ContentLoader.h"
#include "RenderingThread.h"
#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

bool GIsEditor = true;

struct FObjectSystem {
    struct FItem {
        UObjectBase* Object = nullptr;
        int32 Serial = 0;
        int32 Flags = 0; // EInternalObjectFlags
    };
    struct FDeferredClass {
        FFieldCompiledInInfo* Info;
        FName Module;
    };
    struct FDeferredConstruct {
        UClass* (*Register)();
        FName Module;
    };

    std::vector<FItem> Items;
    std::vector<int32> FreeSlots;
    int32 NextSerial = 1;
    std::unordered_map<int32, std::vector<UObjectBase*>> Hash; // by name
    std::vector<FDeferredClass> DeferredClasses;
    std::vector<FDeferredConstruct> DeferredConstructs;
    std::vector<UObjectBase*> Abandoned;
    FName LoadingModule;

    static FObjectSystem& Get() {
        static FObjectSystem* S = new FObjectSystem; // lives to the end of the process
        return *S;
    }
    static thread_local std::vector<FObjectInitializer*> InitializerStack;

    void Add(UObjectBase* Object) {
        int32 Index;
        if (!FreeSlots.empty()) {
            Index = FreeSlots.back();
            FreeSlots.pop_back();
        } else {
            Index = int32(Items.size());
            Items.emplace_back();
        }
        Items[Index] = FItem{Object, NextSerial++, 0};
        Object->InternalIndex = Index;
        Hash[Object->NamePrivate.GetComparisonIndex()].push_back(Object);
    }
    void Unhash(UObjectBase* Object) {
        auto It = Hash.find(Object->NamePrivate.GetComparisonIndex());
        if (It == Hash.end()) return;
        auto& V = It->second;
        for (size_t I = 0; I < V.size(); ++I)
            if (V[I] == Object) { V.erase(V.begin() + I); break; }
    }
    void Remove(UObjectBase* Object) {
        Unhash(Object);
        FItem& Item = Items[Object->InternalIndex];
        Item.Object = nullptr;
        Item.Flags = 0;
        FreeSlots.push_back(Object->InternalIndex);
    }
    FItem& ItemOf(const UObjectBase* Object) { return Items[Object->InternalIndex]; }

    // Frees objects: BeginDestroy on all first, then FinishDestroy, then the memory.
    void Destroy(const std::vector<UObjectBase*>& Doomed) {
        for (UObjectBase* O : Doomed) {
            UObject* Obj = static_cast<UObject*>(O);
            Obj->SetFlags(RF_BeginDestroyed);
            Obj->BeginDestroy();
        }
        // Render commands enqueued before may still read these objects (scene proxies read
        // their components): they finish before the memory goes.
        if (!Doomed.empty()) FlushRenderingCommands();
        for (UObjectBase* O : Doomed) {
            UObject* Obj = static_cast<UObject*>(O);
            Obj->SetFlags(RF_FinishDestroyed);
            Obj->FinishDestroy();
        }
        for (UObjectBase* O : Doomed) {
            Remove(O);
            O->~UObjectBase();
            ::operator delete(static_cast<void*>(O), std::align_val_t(16));
        }
    }
};

thread_local std::vector<FObjectInitializer*> FObjectSystem::InitializerStack;

namespace {

bool HasInternal(const UObjectBase* Object, EInternalObjectFlags Flag) {
    return (FObjectSystem::Get().ItemOf(Object).Flags & int32(Flag)) != 0;
}
void SetInternal(const UObjectBase* Object, EInternalObjectFlags Flag, bool bOn) {
    int32& Flags = FObjectSystem::Get().ItemOf(Object).Flags;
    Flags = bOn ? (Flags | int32(Flag)) : (Flags & ~int32(Flag));
}

bool OwnedByModule(const UClass* Class, FName Module) {
    for (const UClass* C = Class; C; C = C->GetSuperClass())
        if (C->OwningModule == Module) return true;
    return false;
}

struct FInitializerScope {
    explicit FInitializerScope(FObjectInitializer* Init) { FObjectSystem::InitializerStack.push_back(Init); }
    ~FInitializerScope() { FObjectSystem::InitializerStack.pop_back(); }
};

void* AllocateObjectMemory(uint32 Size) {
    void* Mem = ::operator new(Size, std::align_val_t(16));
    std::memset(Mem, 0, Size); // objects start zeroed, as the engine's do
    return Mem;
}

} // namespace

FObjectInitializer& FObjectInitializer::Get() {
    check(!FObjectSystem::InitializerStack.empty());
    return *FObjectSystem::InitializerStack.back();
}

UObjectBase::UObjectBase() {
    FObjectInitializer& Init = FObjectInitializer::Get();
    ClassPrivate = Init.Class;
    OuterPrivate = Init.Outer;
    NamePrivate = Init.Name;
    ObjectFlags = Init.Flags & ~RF_MarkAsRootSet;
    FObjectSystem::Get().Add(this);
}

UObjectBase::~UObjectBase() = default;

// --- UObject -------------------------------------------------------------------------------

IMPLEMENT_CLASS(UObject, 0)
UE4HOST_IMPLEMENT_CLASS(UField)
UE4HOST_IMPLEMENT_CLASS(UStruct)
UE4HOST_IMPLEMENT_CLASS(UClass)
UE4HOST_IMPLEMENT_CLASS(UPackage)
UE4HOST_IMPLEMENT_CLASS(UMetaData)
UClass* Z_Construct_UClass_UObject() { return UObject::StaticClass(); }

void UObject::AddReferencedObjects(UObject*, FReferenceCollector&) {}

FString UObject::GetPathName(const UObject* StopOuter) const {
    if (this == StopOuter) return FString(TEXT("None"));
    UObject* Outer = GetOuter();
    if (!Outer || Outer == StopOuter) return GetName();
    // A subobject of something that lives directly in a package is written with ':'.
    const bool bSubobject = !Outer->IsA(UPackage::StaticClass()) && Outer->GetOuter() && Outer->GetOuter()->IsA(UPackage::StaticClass());
    return Outer->GetPathName(StopOuter) + (bSubobject ? TEXT(":") : TEXT(".")) + GetName();
}
FString UObject::GetFullName() const { return GetClass()->GetName() + TEXT(" ") + GetPathName(); }
UPackage* UObject::GetOutermost() const {
    const UObject* Top = this;
    while (Top->GetOuter()) Top = Top->GetOuter();
    return static_cast<UPackage*>(const_cast<UObject*>(Top));
}
bool UObject::IsA(const UClass* SomeBase) const { return GetClass() && GetClass()->IsChildOf(SomeBase); }
bool UObject::IsIn(const UObject* SomeOuter) const {
    for (UObject* O = GetOuter(); O; O = O->GetOuter()) if (O == SomeOuter) return true;
    return false;
}
void UObject::AddToRoot() { SetInternal(this, EInternalObjectFlags::RootSet, true); }
void UObject::RemoveFromRoot() { SetInternal(this, EInternalObjectFlags::RootSet, false); }
bool UObject::IsRooted() const { return HasInternal(this, EInternalObjectFlags::RootSet); }
void UObject::MarkPendingKill() { SetInternal(this, EInternalObjectFlags::PendingKill, true); }
void UObject::ClearPendingKill() { SetInternal(this, EInternalObjectFlags::PendingKill, false); }
bool UObject::IsPendingKill() const { return HasInternal(this, EInternalObjectFlags::PendingKill); }
bool UObject::IsValidLowLevel() const {
    auto& S = FObjectSystem::Get();
    return InternalIndex >= 0 && InternalIndex < int32(S.Items.size()) && S.Items[InternalIndex].Object == this && GetClass();
}

void UMetaData::SetValue(const UObject* Object, const TCHAR* Key, const TCHAR* Value) {
    Values[{Object, FName(Key).GetComparisonIndex()}] = Value;
}
const FString& UMetaData::GetValue(const UObject* Object, const TCHAR* Key) {
    static const FString* Empty = new FString;
    auto It = Values.find({Object, FName(Key).GetComparisonIndex()});
    return It == Values.end() ? *Empty : It->second;
}
bool UMetaData::HasValue(const UObject* Object, const TCHAR* Key) { return Values.count({Object, FName(Key).GetComparisonIndex()}) != 0; }

UMetaData* UPackage::GetMetaData() {
    if (!MetaData) MetaData = NewObject<UMetaData>(this, FName(TEXT("PackageMetaData")), RF_Standalone);
    return MetaData;
}
void UPackage::AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector) {
    Collector.AddReferencedObject(static_cast<UPackage*>(InThis)->MetaData, InThis);
}

// --- Construction --------------------------------------------------------------------------

UObject* StaticConstructObject_Internal(UClass* Class, UObject* InOuter, FName Name, EObjectFlags SetFlags, EInternalObjectFlags,
                                        UObject*, bool, FObjectInstancingGraph*, bool) {
    check(Class && Class->ClassConstructor);
    check(!Class->HasAnyClassFlags(CLASS_Abstract));
    check(InOuter || Class->IsChildOf(UPackage::StaticClass()));
    if (Name.IsNone()) Name = MakeUniqueObjectName(InOuter, Class);
    checkf(!StaticFindObjectFast(nullptr, InOuter, Name), "an object of this name exists in this outer");
    UObject* Obj = static_cast<UObject*>(AllocateObjectMemory(Class->PropertiesSize));
    FObjectInitializer Init(Obj, Class, InOuter, Name, SetFlags);
    {
        FInitializerScope Scope(&Init);
        Class->ClassConstructor(Init);
    }
    Obj->PostInitProperties();
    if (SetFlags & RF_MarkAsRootSet) Obj->AddToRoot();
    return Obj;
}

FName MakeUniqueObjectName(UObject* Parent, UClass* Class, FName BaseName) {
    check(Class);
    if (BaseName.IsNone()) BaseName = Class->GetFName();
    FName TestName;
    do {
        TestName = FName(BaseName, ++Class->ClassUnique);
    } while (StaticFindObjectFast(nullptr, Parent, TestName));
    return TestName;
}

void GetPrivateStaticClassBody(const TCHAR* PackageName, const TCHAR* Name, UClass*& ReturnClass, void (*RegisterNativeFunc)(),
                               uint32 InSize, EClassFlags InClassFlags, EClassCastFlags InClassCastFlags, const TCHAR*,
                               ClassConstructorType InClassConstructor, void*, ClassAddReferencedObjectsType InClassAddReferencedObjects,
                               StaticClassFunctionType InSuperClassFn, StaticClassFunctionType InWithinClassFn, bool) {
    UClass* Class = static_cast<UClass*>(AllocateObjectMemory(sizeof(UClass)));
    FObjectInitializer Init(Class, nullptr, nullptr, FName(Name), RF_Public | RF_Standalone | RF_Transient | RF_MarkAsNative);
    {
        FInitializerScope Scope(&Init);
        InternalConstructor<UClass>(Init);
    }
    Class->PropertiesSize = InSize;
    Class->ClassFlags = InClassFlags | CLASS_Native;
    Class->ClassCastFlags = InClassCastFlags;
    Class->ClassConstructor = InClassConstructor;
    Class->ClassAddReferencedObjects = InClassAddReferencedObjects;
    Class->PrefixCPP = Name[-1] == TEXT('A') ? TEXT("A") : Name[-1] == TEXT('F') ? TEXT("F") : TEXT("U"); // Name points behind the prefix letter
    // Published before the class's own class, base and package are resolved, since those
    // may come back to this class (UClass's class is UClass; a package's class is UPackage).
    ReturnClass = Class;
    Class->SetClassPrivate(UClass::StaticClass());
    UClass* Super = InSuperClassFn();
    Class->SetSuperStruct(Super == Class ? nullptr : Super);
    UClass* Within = InWithinClassFn();
    Class->ClassWithin = Within == Class ? nullptr : Within;
    UPackage* Package = FindPackage(nullptr, PackageName);
    if (!Package) {
        Package = CreatePackage(nullptr, PackageName);
        Package->SetPackageFlags(PKG_CompiledIn);
        Package->AddToRoot();
    }
    Class->SetOuterPrivate(Package);
    Class->AddToRoot();
    if (RegisterNativeFunc) RegisterNativeFunc();
}

void UClassCompiledInDefer(FFieldCompiledInInfo* ClassInfo, const TCHAR*, SIZE_T, uint32) {
    auto& S = FObjectSystem::Get();
    S.DeferredClasses.push_back({ClassInfo, S.LoadingModule});
}

void UObjectCompiledInDefer(UClass* (*InRegister)(), UClass* (*)(), const TCHAR*, const TCHAR*, bool, const TCHAR*, void (*)(TMap<FName, FName>&)) {
    auto& S = FObjectSystem::Get();
    S.DeferredConstructs.push_back({InRegister, S.LoadingModule});
}

void UObjectForceRegistration(UObjectBase*) {}

void ProcessNewlyLoadedUObjects() {
    auto& S = FObjectSystem::Get();
    while (!S.DeferredClasses.empty() || !S.DeferredConstructs.empty()) {
        auto Classes = std::move(S.DeferredClasses);
        S.DeferredClasses.clear();
        for (auto& D : Classes) D.Info->Register()->OwningModule = D.Module;
        auto Constructs = std::move(S.DeferredConstructs);
        S.DeferredConstructs.clear();
        for (auto& D : Constructs) {
            UClass* Class = D.Register();
            Class->OwningModule = D.Module;
            Class->ClassFlags |= CLASS_Constructed;
        }
    }
}

// --- Packages and finding ------------------------------------------------------------------

UPackage* FindPackage(UObject* InOuter, const TCHAR* PackageName) {
    return static_cast<UPackage*>(StaticFindObjectFast(UPackage::StaticClass(), InOuter, FName(PackageName)));
}

UPackage* CreatePackage(UObject* InOuter, const TCHAR* PackageName) {
    if (UPackage* Existing = FindPackage(InOuter, PackageName)) return Existing;
    return NewObject<UPackage>(InOuter, FName(PackageName), RF_Public);
}

UPackage* GetTransientPackage() {
    static FWeakObjectPtr* Transient = new FWeakObjectPtr; // made again after an editor shut-down
    if (UPackage* Existing = static_cast<UPackage*>(Transient->Get())) return Existing;
    UPackage* Package = CreatePackage(nullptr, TEXT("/Engine/Transient"));
    Package->SetFlags(RF_Transient);
    Package->AddToRoot();
    *Transient = Package;
    return Package;
}

UObject* StaticFindObjectFast(UClass* Class, UObject* InOuter, FName InName, bool ExactClass, bool AnyPackage, EObjectFlags ExclusiveFlags,
                              EInternalObjectFlags ExclusiveInternalFlags) {
    auto& S = FObjectSystem::Get();
    auto It = S.Hash.find(InName.GetComparisonIndex());
    if (It == S.Hash.end()) return nullptr;
    const bool bAnyOuter = AnyPackage || InOuter == (UObject*)ANY_PACKAGE;
    for (auto Rit = It->second.rbegin(); Rit != It->second.rend(); ++Rit) {
        UObject* Obj = static_cast<UObject*>(*Rit);
        if (!bAnyOuter && Obj->GetOuter() != InOuter) continue;
        if (Class && (ExactClass ? Obj->GetClass() != Class : !Obj->IsA(Class))) continue;
        if (Obj->HasAnyFlags(ExclusiveFlags)) continue;
        if (ExclusiveInternalFlags != EInternalObjectFlags::None && HasInternal(Obj, ExclusiveInternalFlags)) continue;
        // Objects on their way out are not found: a failed load or a released module
        // leaves names that the next collection frees.
        if (HasInternal(Obj, EInternalObjectFlags::Unreachable) || HasInternal(Obj, EInternalObjectFlags::PendingKill)) continue;
        return Obj;
    }
    return nullptr;
}

UObject* StaticFindObject(UClass* Class, UObject* InOuter, const TCHAR* Name, bool ExactClass) {
    FString Path(Name);
    if (InOuter == (UObject*)ANY_PACKAGE) return StaticFindObjectFast(Class, nullptr, FName(*Path), ExactClass, true);
    // "/Pkg/Path.Obj:Sub" from the top, or a name inside InOuter.
    if (!InOuter && Path.StartsWith(TEXT("/"))) {
        FString PackageName, Rest;
        if (!Path.Split(TEXT("."), &PackageName, &Rest)) return StaticFindObjectFast(Class, nullptr, FName(*Path), ExactClass);
        UObject* Outer = FindPackage(nullptr, *PackageName);
        if (!Outer) return nullptr;
        Rest = Rest.Replace(TEXT(":"), TEXT("."));
        TArray<FString> Names;
        Rest.ParseIntoArray(Names, TEXT("."));
        for (int32 I = 0; I < Names.Num(); ++I) {
            Outer = StaticFindObjectFast(I + 1 == Names.Num() ? Class : nullptr, Outer, FName(*Names[I]), ExactClass && I + 1 == Names.Num());
            if (!Outer) return nullptr;
        }
        return Outer;
    }
    return StaticFindObjectFast(Class, InOuter, FName(*Path), ExactClass);
}

UPackage* LoadPackage(UPackage* InOuter, const TCHAR* InLongPackageName, uint32) {
    check(!InOuter);
    if (UPackage* Loaded = FindPackage(nullptr, InLongPackageName)) return Loaded;
    return UE4Host::LoadContentPackage(FString(InLongPackageName));
}

UObject* StaticLoadObject(UClass* Class, UObject* InOuter, const TCHAR* Name, const TCHAR*, uint32 LoadFlags, void*, bool) {
    FString Path = FString(Name).TrimStartAndEnd();
    if (Path.IsEmpty()) return nullptr;
    if (InOuter || !Path.StartsWith(TEXT("/"))) return StaticFindObject(Class, InOuter, *Path);
    if (Class && Class->IsChildOf(UPackage::StaticClass())) return LoadPackage(nullptr, *Path, LoadFlags);
    FString PackageName = Path, ObjectName;
    if (!Path.Split(TEXT("."), &PackageName, &ObjectName)) {
        // A package name alone means the asset of the same name inside it.
        int32 Slash;
        Path.FindLastChar(TEXT('/'), Slash);
        Path = PackageName + TEXT(".") + Path.Mid(Slash + 1);
    }
    // An asset still being read is not there yet: a file that needs itself fails.
    if (UE4Host::IsLoadingContentPackage(PackageName)) return nullptr;
    if (UObject* Found = StaticFindObject(Class, nullptr, *Path)) return Found;
    if (!LoadPackage(nullptr, *PackageName, LoadFlags)) return nullptr;
    return StaticFindObject(Class, nullptr, *Path);
}

int32 GetNumObjects() {
    auto& S = FObjectSystem::Get();
    return int32(S.Items.size() - S.FreeSlots.size());
}

// --- Weak pointers -------------------------------------------------------------------------

void FWeakObjectPtr::operator=(const UObject* Object) {
    if (!Object) {
        Reset();
        return;
    }
    ObjectIndex = Object->GetUniqueID();
    ObjectSerialNumber = FObjectSystem::Get().Items[ObjectIndex].Serial;
}
UObject* FWeakObjectPtr::Get(bool bEvenIfPendingKill) const {
    auto& S = FObjectSystem::Get();
    if (ObjectIndex < 0 || ObjectIndex >= int32(S.Items.size())) return nullptr;
    const auto& Item = S.Items[ObjectIndex];
    if (!Item.Object || Item.Serial != ObjectSerialNumber) return nullptr;
    if (Item.Flags & int32(EInternalObjectFlags::Unreachable)) return nullptr;
    if (!bEvenIfPendingKill && (Item.Flags & int32(EInternalObjectFlags::PendingKill))) return nullptr;
    return static_cast<UObject*>(Item.Object);
}
bool FWeakObjectPtr::IsValid(bool bEvenIfPendingKill, bool) const { return Get(bEvenIfPendingKill) != nullptr; }
bool FWeakObjectPtr::IsStale(bool bIncludingIfPendingKill, bool) const {
    return ObjectIndex != INDEX_NONE && !Get(!bIncludingIfPendingKill);
}

// --- Garbage collection --------------------------------------------------------------------

namespace {
struct FMarker : FReferenceCollector {
    std::vector<UObjectBase*> Stack;
    std::vector<char>& Reached;
    explicit FMarker(std::vector<char>& InReached) : Reached(InReached) {}
    void Visit(UObjectBase* Object) {
        if (!Object || Reached[Object->GetUniqueID()]) return;
        Reached[Object->GetUniqueID()] = 1;
        Stack.push_back(Object);
    }
    void HandleObjectReference(UObject*& Object, const UObject*) override {
        // References to objects marked for destruction do not keep them.
        if (Object && !HasInternal(Object, EInternalObjectFlags::PendingKill)) Visit(Object);
    }
};
} // namespace

void CollectGarbage(EObjectFlags KeepFlags, bool) {
    auto& S = FObjectSystem::Get();
    std::vector<char> Reached(S.Items.size(), 0);
    FMarker Marker(Reached);
    for (auto& Item : S.Items) {
        if (!Item.Object) continue;
        UObject* Obj = static_cast<UObject*>(Item.Object);
        const bool bRoot = Item.Flags & int32(EInternalObjectFlags::RootSet);
        const bool bKept = !(Item.Flags & int32(EInternalObjectFlags::PendingKill)) && Obj->HasAnyFlags(KeepFlags);
        if (bRoot || bKept) Marker.Visit(Obj);
    }
    while (!Marker.Stack.empty()) {
        UObject* Obj = static_cast<UObject*>(Marker.Stack.back());
        Marker.Stack.pop_back();
        Marker.Visit(Obj->GetOuter());
        Marker.Visit(Obj->GetClass());
        if (Obj->GetClass() && Obj->GetClass()->ClassAddReferencedObjects) Obj->GetClass()->CallAddReferencedObjects(Obj, Marker);
    }
    std::vector<UObjectBase*> Doomed;
    for (size_t I = 0; I < S.Items.size(); ++I)
        if (S.Items[I].Object && !Reached[I]) {
            S.Items[I].Flags |= int32(EInternalObjectFlags::Unreachable);
            Doomed.push_back(S.Items[I].Object);
        }
    S.Destroy(Doomed);
}

// --- Module support ------------------------------------------------------------------------

void UE4Host::SetLoadingModule(FName ModuleName) { FObjectSystem::Get().LoadingModule = ModuleName; }

void UE4Host::ReleaseModuleObjects(FName ModuleName) {
    auto& S = FObjectSystem::Get();
    for (auto& Item : S.Items) {
        if (!Item.Object || (Item.Flags & int32(EInternalObjectFlags::RootSet))) continue;
        UObject* Obj = static_cast<UObject*>(Item.Object);
        if (Obj->GetClass() && Obj->GetClass() != UClass::StaticClass() && OwnedByModule(Obj->GetClass(), ModuleName)) Obj->MarkPendingKill();
    }
    CollectGarbage(GARBAGE_COLLECTION_KEEPFLAGS);
}

int32 UE4Host::AbandonModuleObjects(FName ModuleName) {
    auto& S = FObjectSystem::Get();
    int32 Count = 0;
    for (auto& Item : S.Items) {
        if (!Item.Object) continue;
        UObject* Obj = static_cast<UObject*>(Item.Object);
        if (Obj->GetClass() == UClass::StaticClass()) {
            UClass* Class = static_cast<UClass*>(Obj);
            if (Class->OwningModule == ModuleName && !Class->HasAnyClassFlags(CLASS_NewerVersionExists)) {
                Class->ClassFlags |= CLASS_NewerVersionExists;
                S.Unhash(Class);
            }
        } else if (Obj->GetClass() && OwnedByModule(Obj->GetClass(), ModuleName)) {
            S.Remove(Obj);
            S.Abandoned.push_back(Obj);
            ++Count;
        }
    }
    return Count;
}

void UE4Host::DestroyAllObjects() {
    auto& S = FObjectSystem::Get();
    std::vector<UObjectBase*> All;
    // Compiled-in classes and their script packages stay: their libraries are still loaded.
    for (auto& Item : S.Items) {
        if (!Item.Object || Item.Object->GetClass() == UClass::StaticClass()) continue;
        const UPackage* Package = static_cast<UObject*>(Item.Object)->GetOutermost();
        if (Package && Package->HasAnyPackageFlags(PKG_CompiledIn)) continue; // script packages and their metadata
        All.push_back(Item.Object);
    }
    S.Destroy(All);
}
