// What the header tool generates for KVTMeshComponent.h (kept here for builds without it).
#include "KVTMeshComponent.h"
#include "UObject/GeneratedCppIncludes.h"

// Cross Module References
QUORBELLMIRROR_API UClass* Z_Construct_UClass_UKvtMeshComponent_NoRegister();
QUORBELLMIRROR_API UClass* Z_Construct_UClass_UKvtMeshComponent();
ENGINE_API UClass* Z_Construct_UClass_UMeshComponent();
UPackage* Z_Construct_UPackage__Script_QuorbellMirror();
// End Cross Module References

void UKvtMeshComponent::StaticRegisterNativesUKvtMeshComponent() {}
UClass* Z_Construct_UClass_UKvtMeshComponent_NoRegister() { return UKvtMeshComponent::StaticClass(); }
UClass* Z_Construct_UClass_UKvtMeshComponent() {
    static UClass* OuterClass = nullptr;
    if (!OuterClass) {
        Z_Construct_UClass_UMeshComponent();
        Z_Construct_UPackage__Script_QuorbellMirror();
        OuterClass = UKvtMeshComponent::StaticClass();
        if (!(OuterClass->ClassFlags & CLASS_Constructed)) {
            UObjectForceRegistration(OuterClass);
            // Native, default to instanced, has instanced references (0x00A00080), constructed.
            OuterClass->ClassFlags |= (EClassFlags)0x20A00080u;
            static TCppClassTypeInfo<TCppClassTypeTraits<UKvtMeshComponent>> StaticCppClassTypeInfo;
            OuterClass->SetCppTypeInfo(&StaticCppClassTypeInfo);
            OuterClass->StaticLink();
#if WITH_METADATA
            UMetaData* MetaData = OuterClass->GetOutermost()->GetMetaData();
            MetaData->SetValue(OuterClass, TEXT("HideCategories"), TEXT("Object LOD Mobility Trigger"));
            MetaData->SetValue(OuterClass, TEXT("IncludePath"), TEXT("KVTMeshComponent.h"));
            MetaData->SetValue(OuterClass, TEXT("ModuleRelativePath"), TEXT("Private/KVTMeshComponent.h"));
            MetaData->SetValue(OuterClass, TEXT("ToolTip"), TEXT("Draws one instance of a mesh mirrored from Maya."));
#endif
        }
    }
    check(OuterClass->GetClass());
    return OuterClass;
}
IMPLEMENT_CLASS(UKvtMeshComponent, 3064215573)
static FCompiledInDefer Z_CompiledInDefer_UClass_UKvtMeshComponent(Z_Construct_UClass_UKvtMeshComponent, &UKvtMeshComponent::StaticClass,
                                                                   TEXT("/Script/QuorbellMirror"), TEXT("UKvtMeshComponent"), false, nullptr, nullptr, nullptr);
