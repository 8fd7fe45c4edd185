// What the header tool generates for KVTTicker.h (kept here for builds without it).
#include "KVTTicker.h"
#include "UObject/GeneratedCppIncludes.h"

// Cross Module References
QUORBELLMIRROR_API UClass* Z_Construct_UClass_AKvtActor_NoRegister();
QUORBELLMIRROR_API UClass* Z_Construct_UClass_AKvtActor();
ENGINE_API UClass* Z_Construct_UClass_AActor();
UPackage* Z_Construct_UPackage__Script_QuorbellMirror();
// End Cross Module References

void AKvtActor::StaticRegisterNativesAKvtActor() {}
UClass* Z_Construct_UClass_AKvtActor_NoRegister() { return AKvtActor::StaticClass(); }
UClass* Z_Construct_UClass_AKvtActor() {
    static UClass* OuterClass = nullptr;
    if (!OuterClass) {
        Z_Construct_UClass_AActor();
        Z_Construct_UPackage__Script_QuorbellMirror();
        OuterClass = AKvtActor::StaticClass();
        if (!(OuterClass->ClassFlags & CLASS_Constructed)) {
            UObjectForceRegistration(OuterClass);
            // Native, has instanced references (0x00800080), constructed.
            OuterClass->ClassFlags |= (EClassFlags)0x20800080u;
            static TCppClassTypeInfo<TCppClassTypeTraits<AKvtActor>> StaticCppClassTypeInfo;
            OuterClass->SetCppTypeInfo(&StaticCppClassTypeInfo);
            OuterClass->StaticLink();
#if WITH_METADATA
            UMetaData* MetaData = OuterClass->GetOutermost()->GetMetaData();
            MetaData->SetValue(OuterClass, TEXT("IncludePath"), TEXT("KVTTicker.h"));
            MetaData->SetValue(OuterClass, TEXT("ModuleRelativePath"), TEXT("Private/KVTTicker.h"));
            MetaData->SetValue(OuterClass, TEXT("ToolTip"), TEXT("A hidden placeholder actor spawned into each editor world the mirror uses."));
#endif
        }
    }
    check(OuterClass->GetClass());
    return OuterClass;
}
IMPLEMENT_CLASS(AKvtActor, 1853212907)
static FCompiledInDefer Z_CompiledInDefer_UClass_AKvtActor(Z_Construct_UClass_AKvtActor, &AKvtActor::StaticClass,
                                                           TEXT("/Script/QuorbellMirror"), TEXT("AKvtActor"), false, nullptr, nullptr, nullptr);
