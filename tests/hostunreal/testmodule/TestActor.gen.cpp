// What the header tool generates for the module's classes (kept by hand here).
#include "TestActor.h"
#include "UObject/GeneratedCppIncludes.h"

HOSTTESTMODULE_API UClass* Z_Construct_UClass_ATestActor_NoRegister();
HOSTTESTMODULE_API UClass* Z_Construct_UClass_ATestActor();
UPackage* Z_Construct_UPackage__Script_HostTestModule();

void ATestActor::StaticRegisterNativesATestActor() {}
UClass* Z_Construct_UClass_ATestActor_NoRegister() { return ATestActor::StaticClass(); }
UClass* Z_Construct_UClass_ATestActor() {
    static UClass* OuterClass = nullptr;
    if (!OuterClass) {
        Z_Construct_UClass_AActor();
        Z_Construct_UPackage__Script_HostTestModule();
        OuterClass = ATestActor::StaticClass();
        if (!(OuterClass->ClassFlags & CLASS_Constructed)) {
            UObjectForceRegistration(OuterClass);
            OuterClass->ClassFlags |= (EClassFlags)0x20900080u;
            OuterClass->StaticLink();
            static TCppClassTypeInfo<TCppClassTypeTraits<ATestActor>> StaticCppClassTypeInfo;
            OuterClass->SetCppTypeInfo(&StaticCppClassTypeInfo);
            UMetaData* MetaData = OuterClass->GetOutermost()->GetMetaData();
            MetaData->SetValue(OuterClass, TEXT("IncludePath"), TEXT("TestActor.h"));
            MetaData->SetValue(OuterClass, TEXT("ModuleRelativePath"), TEXT("TestActor.h"));
        }
    }
    check(OuterClass->GetClass());
    return OuterClass;
}
IMPLEMENT_CLASS(ATestActor, 2417390187)
static FCompiledInDefer Z_CompiledInDefer_UClass_ATestActor(Z_Construct_UClass_ATestActor, &ATestActor::StaticClass,
                                                            TEXT("/Script/HostTestModule"), TEXT("ATestActor"), false, nullptr, nullptr, nullptr);

UPackage* Z_Construct_UPackage__Script_HostTestModule() {
    static UPackage* ReturnPackage = nullptr;
    if (!ReturnPackage) {
        ReturnPackage = CastChecked<UPackage>(StaticFindObjectFast(UPackage::StaticClass(), nullptr, FName(TEXT("/Script/HostTestModule")), false, false));
        ReturnPackage->SetPackageFlags(PKG_CompiledIn | 0x00000080);
        FGuid Guid;
        Guid.A = 0x9E1C07B2;
        Guid.B = 0x5D7A4C11;
        Guid.C = 0x00000000;
        Guid.D = 0x00000000;
        ReturnPackage->SetGuid(Guid);
    }
    return ReturnPackage;
}
