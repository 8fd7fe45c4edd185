// What the header tool generates for the module's script package (kept here for builds
// without it): compiled-in and developer, no metadata, no package-level singletons.
#include "UObject/GeneratedCppIncludes.h"

UPackage* Z_Construct_UPackage__Script_QuorbellMirror() {
    static UPackage* ReturnPackage = nullptr;
    if (!ReturnPackage) {
        ReturnPackage = CastChecked<UPackage>(StaticFindObjectFast(UPackage::StaticClass(), nullptr, FName(TEXT("/Script/QuorbellMirror")), false, false));
        ReturnPackage->SetPackageFlags(PKG_CompiledIn | PKG_EditorOnly);
        FGuid Guid;
        Guid.A = 0x4B7D2E91;
        Guid.B = 0xA3C05F18;
        Guid.C = 0x00000000;
        Guid.D = 0x00000000;
        ReturnPackage->SetGuid(Guid);
    }
    return ReturnPackage;
}
