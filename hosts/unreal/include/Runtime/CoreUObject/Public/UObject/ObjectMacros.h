#pragma once
// Object and class flags, and the reflection macros that headers and the code generated for
// them use (UCLASS, GENERATED_BODY, DECLARE_CLASS, IMPLEMENT_CLASS …).
#include "CoreMinimal.h"
#include <type_traits>

class UObject;
class UClass;
class UPackage;
class FObjectInitializer;
struct FReferenceCollector;
// Only named by the registration of dynamic classes, which the stand-in does not have.
template <typename KeyType, typename ValueType> class TMap;

enum EObjectFlags : uint32 {
    RF_NoFlags = 0x00000000,
    RF_Public = 0x00000001,
    RF_Standalone = 0x00000002,
    RF_MarkAsNative = 0x00000004,
    RF_Transactional = 0x00000008,
    RF_ClassDefaultObject = 0x00000010,
    RF_ArchetypeObject = 0x00000020,
    RF_Transient = 0x00000040,
    RF_MarkAsRootSet = 0x00000080,
    RF_TagGarbageTemp = 0x00000100,
    RF_NeedInitialization = 0x00000200,
    RF_NeedLoad = 0x00000400,
    RF_KeepForCooker = 0x00000800,
    RF_NeedPostLoad = 0x00001000,
    RF_NeedPostLoadSubobjects = 0x00002000,
    RF_NewerVersionExists = 0x00004000,
    RF_BeginDestroyed = 0x00008000,
    RF_FinishDestroyed = 0x00010000,
    RF_BeingRegenerated = 0x00020000,
    RF_DefaultSubObject = 0x00040000,
    RF_WasLoaded = 0x00080000,
    RF_TextExportTransient = 0x00100000,
    RF_LoadCompleted = 0x00200000,
    RF_InheritableComponentTemplate = 0x00400000,
    RF_DuplicateTransient = 0x00800000,
    RF_StrongRefOnFrame = 0x01000000,
    RF_NonPIEDuplicateTransient = 0x02000000,
    RF_Dynamic = 0x04000000,
};
constexpr EObjectFlags operator|(EObjectFlags A, EObjectFlags B) { return EObjectFlags(uint32(A) | uint32(B)); }
constexpr EObjectFlags operator&(EObjectFlags A, EObjectFlags B) { return EObjectFlags(uint32(A) & uint32(B)); }
constexpr EObjectFlags operator~(EObjectFlags A) { return EObjectFlags(~uint32(A)); }
#define GARBAGE_COLLECTION_KEEPFLAGS (GIsEditor ? RF_Standalone : RF_NoFlags)

enum class EInternalObjectFlags : int32 {
    None = 0,
    ReachableInCluster = 1 << 23,
    ClusterRoot = 1 << 24,
    Native = 1 << 25,
    Async = 1 << 26,
    AsyncLoading = 1 << 27,
    Unreachable = 1 << 28,
    PendingKill = 1 << 29,
    RootSet = 1 << 30,
};

enum EClassFlags : uint32 {
    CLASS_None = 0x00000000u,
    CLASS_Abstract = 0x00000001u,
    CLASS_DefaultConfig = 0x00000002u,
    CLASS_Config = 0x00000004u,
    CLASS_Transient = 0x00000008u,
    CLASS_Parsed = 0x00000010u,
    CLASS_AdvancedDisplay = 0x00000040u,
    CLASS_Native = 0x00000080u,
    CLASS_NoExport = 0x00000100u,
    CLASS_NotPlaceable = 0x00000200u,
    CLASS_PerObjectConfig = 0x00000400u,
    CLASS_EditInlineNew = 0x00001000u,
    CLASS_CollapseCategories = 0x00002000u,
    CLASS_Interface = 0x00004000u,
    CLASS_CustomConstructor = 0x00008000u,
    CLASS_Const = 0x00010000u,
    CLASS_CompiledFromBlueprint = 0x00040000u,
    CLASS_MinimalAPI = 0x00080000u,
    CLASS_RequiredAPI = 0x00100000u,
    CLASS_DefaultToInstanced = 0x00200000u,
    CLASS_TokenStreamAssembled = 0x00400000u,
    CLASS_HasInstancedReference = 0x00800000u,
    CLASS_Hidden = 0x01000000u,
    CLASS_Deprecated = 0x02000000u,
    CLASS_HideDropDown = 0x04000000u,
    CLASS_GlobalUserConfig = 0x08000000u,
    CLASS_Intrinsic = 0x10000000u,
    CLASS_Constructed = 0x20000000u,
    CLASS_ConfigDoNotCheckDefaults = 0x40000000u,
    CLASS_NewerVersionExists = 0x80000000u,
};
constexpr EClassFlags operator|(EClassFlags A, EClassFlags B) { return EClassFlags(uint32(A) | uint32(B)); }
inline EClassFlags& operator|=(EClassFlags& A, EClassFlags B) { return A = A | B; }
inline EClassFlags& operator|=(EClassFlags& A, uint32 B) { return A = EClassFlags(uint32(A) | B); }

typedef uint64 EClassCastFlags;
#define CASTCLASS_None 0ull

enum EPackageFlags : uint32 {
    PKG_None = 0x00000000,
    PKG_NewlyCreated = 0x00000001,
    PKG_CompiledIn = 0x00000010,
    PKG_ForDiffing = 0x00000020,
    PKG_EditorOnly = 0x00000040,
    PKG_Developer = 0x00000080,
};

enum ELoadFlags { LOAD_None = 0x00000000, LOAD_NoWarn = 0x00000002, LOAD_Quiet = 0x00002000 };

// Placement construction into memory that the object system allocated.
enum EInternal { EC_InternalUseOnlyConstructor };

// Headers declare reflected types with these; the generated header of each file defines
// CURRENT_FILE_ID and the per-line bodies.
#define BODY_MACRO_COMBINE_INNER(A, B, C, D) A##B##C##D
#define BODY_MACRO_COMBINE(A, B, C, D) BODY_MACRO_COMBINE_INNER(A, B, C, D)
#define GENERATED_BODY(...) BODY_MACRO_COMBINE(CURRENT_FILE_ID, _, __LINE__, _GENERATED_BODY)
#define GENERATED_UCLASS_BODY(...) BODY_MACRO_COMBINE(CURRENT_FILE_ID, _, __LINE__, _GENERATED_BODY_LEGACY)
#define UCLASS(...) BODY_MACRO_COMBINE(CURRENT_FILE_ID, _, __LINE__, _PROLOG)
#define UPROPERTY(...)
#define UFUNCTION(...)
#define USTRUCT(...)
#define UENUM(...)
#define UMETA(...)
#define UPARAM(...)

#define COMPILED_IN_FLAGS(TStaticFlags) (TStaticFlags | CLASS_Intrinsic)
#define COMPILED_IN_INTRINSIC 0
#define DECLARE_SERIALIZER(TClass)
#define DECLARE_VTABLE_PTR_HELPER_CTOR(API, TClass)
#define DEFINE_VTABLE_PTR_HELPER_CTOR(TClass)
#define DEFINE_VTABLE_PTR_HELPER_CTOR_CALLER(TClass)
#define NO_API

#define DECLARE_CLASS(TClass, TSuperClass, TStaticFlags, TStaticCastFlags, TPackage, TRequiredAPI) \
private: \
    TClass& operator=(TClass&&); \
    TClass& operator=(const TClass&); \
    TRequiredAPI static UClass* GetPrivateStaticClass(const TCHAR* Package); \
public: \
    enum { StaticClassFlags = TStaticFlags }; \
    typedef TSuperClass Super; \
    typedef TClass ThisClass; \
    inline static UClass* StaticClass() { return GetPrivateStaticClass(TPackage); } \
    inline static const TCHAR* StaticPackage() { return TPackage; } \
    inline static EClassCastFlags StaticClassCastFlags() { return TStaticCastFlags; } \
    inline void* operator new(const size_t, EInternal* InMem) { return (void*)InMem; } \
    inline void operator delete(void*, EInternal*) {} \
    inline void operator delete(void* InMem) { ::operator delete(InMem); }

#define DEFINE_DEFAULT_CONSTRUCTOR_CALL(TClass) \
    static void __DefaultConstructor(const FObjectInitializer& X) { new ((EInternal*)X.GetObj()) TClass; }
#define DEFINE_DEFAULT_OBJECT_INITIALIZER_CONSTRUCTOR_CALL(TClass) \
    static void __DefaultConstructor(const FObjectInitializer& X) { new ((EInternal*)X.GetObj()) TClass(X); }

template <class T>
void InternalConstructor(const FObjectInitializer& X) { T::__DefaultConstructor(X); }

typedef void (*ClassConstructorType)(const FObjectInitializer&);
typedef void (*ClassAddReferencedObjectsType)(UObject*, FReferenceCollector&);
typedef UClass* (*StaticClassFunctionType)();

// Creates (once) the class object of a native class: name without its prefix letter, its
// package "/Script/…", size, flags, constructor, reference reporter, base and outer class.
COREUOBJECT_API void GetPrivateStaticClassBody(const TCHAR* PackageName, const TCHAR* Name, UClass*& ReturnClass,
                                               void (*RegisterNativeFunc)(), uint32 InSize, EClassFlags InClassFlags,
                                               EClassCastFlags InClassCastFlags, const TCHAR* InConfigName,
                                               ClassConstructorType InClassConstructor, void* InClassVTableHelperCtorCaller,
                                               ClassAddReferencedObjectsType InClassAddReferencedObjects,
                                               StaticClassFunctionType InSuperClassFn, StaticClassFunctionType InWithinClassFn,
                                               bool bIsDynamic = false);

// Registration of compiled-in classes for construction once the object system runs.
struct FFieldCompiledInInfo {
    FFieldCompiledInInfo(SIZE_T InClassSize, uint32 InCrc) : Size(InClassSize), Crc(InCrc) {}
    virtual ~FFieldCompiledInInfo() = default;
    virtual UClass* Register() const = 0;
    virtual const TCHAR* ClassPackage() const = 0;
    SIZE_T Size;
    uint32 Crc;
};
COREUOBJECT_API void UClassCompiledInDefer(FFieldCompiledInInfo* Class, const TCHAR* Name, SIZE_T ClassSize, uint32 Crc);
COREUOBJECT_API void UObjectCompiledInDefer(UClass* (*InRegister)(), UClass* (*InStaticClass)(), const TCHAR* Name,
                                            const TCHAR* PackageName, bool bDynamic, const TCHAR* DynamicPathName,
                                            void (*InInitSearchableValues)(TMap<FName, FName>&));

template <typename TClass>
struct TClassCompiledInDefer : public FFieldCompiledInInfo {
    TClassCompiledInDefer(const TCHAR* InName, SIZE_T InClassSize, uint32 InCrc) : FFieldCompiledInInfo(InClassSize, InCrc) {
        UClassCompiledInDefer(this, InName, InClassSize, InCrc);
    }
    UClass* Register() const override { return TClass::StaticClass(); }
    const TCHAR* ClassPackage() const override { return TClass::StaticPackage(); }
};

struct FCompiledInDefer {
    FCompiledInDefer(UClass* (*InRegister)(), UClass* (*InStaticClass)(), const TCHAR* PackageName, const TCHAR* Name,
                     bool bDynamic, const TCHAR* DynamicPackageName = nullptr, const TCHAR* DynamicPathName = nullptr,
                     void (*InInitSearchableValues)(TMap<FName, FName>&) = nullptr) {
        (void)DynamicPackageName;
        UObjectCompiledInDefer(InRegister, InStaticClass, Name, PackageName, bDynamic, DynamicPathName, InInitSearchableValues);
    }
};

#define IMPLEMENT_CLASS(TClass, TClassCrc) \
    static TClassCompiledInDefer<TClass> AutoInitialize##TClass(TEXT(#TClass), sizeof(TClass), TClassCrc); \
    UClass* TClass::GetPrivateStaticClass(const TCHAR* Package) { \
        static UClass* PrivateStaticClass = nullptr; \
        if (!PrivateStaticClass) { \
            GetPrivateStaticClassBody(Package, (const TCHAR*)TEXT(#TClass) + 1, PrivateStaticClass, \
                                      StaticRegisterNatives##TClass, sizeof(TClass), (EClassFlags)TClass::StaticClassFlags, \
                                      TClass::StaticClassCastFlags(), nullptr, &InternalConstructor<TClass>, nullptr, \
                                      &TClass::AddReferencedObjects, &TClass::Super::StaticClass, \
                                      &TClass::WithinClass::StaticClass); \
        } \
        return PrivateStaticClass; \
    }

// The stand-in's own engine classes declare themselves with this (the header tool's output
// for them is compiled into the stand-in).
#define UE4HOST_DECLARE_CLASS(TClass, TSuperClass, TStaticFlags, TPackage, TRequiredAPI) \
    DECLARE_CLASS(TClass, TSuperClass, TStaticFlags, CASTCLASS_None, TPackage, TRequiredAPI) \
    static void StaticRegisterNatives##TClass() {} \
    DEFINE_DEFAULT_OBJECT_INITIALIZER_CONSTRUCTOR_CALL(TClass)
#define UE4HOST_IMPLEMENT_CLASS(TClass) \
    IMPLEMENT_CLASS(TClass, 0) \
    UClass* Z_Construct_UClass_##TClass() { return TClass::StaticClass(); }
#define UE4HOST_DECLARE_CONSTRUCT(API, TClass) API UClass* Z_Construct_UClass_##TClass();

// Object classes cannot be abstract in C++ (the object system constructs every class);
// an operation every subclass must provide stops the program when it was not.
#define PURE_VIRTUAL(func, extra) { checkf(false, "Pure virtual not implemented (" #func ")"); extra }

// C++ type information the generated code attaches to each class.
template <class T> struct TCppClassTypeTraits {
    enum { IsAbstract = std::is_abstract<T>::value };
};
struct ICppClassTypeInfo {
    virtual ~ICppClassTypeInfo() = default;
    virtual bool IsAbstract() const = 0;
};
template <class Traits> struct TCppClassTypeInfo : ICppClassTypeInfo {
    bool IsAbstract() const override { return Traits::IsAbstract; }
};
