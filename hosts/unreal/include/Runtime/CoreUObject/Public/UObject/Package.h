#pragma once
#include "UObject/Class.h"

class UMetaData;

struct FGuid {
    uint32 A = 0, B = 0, C = 0, D = 0;
    bool IsValid() const { return (A | B | C | D) != 0; }
};

class COREUOBJECT_API UPackage : public UObject {
    UE4HOST_DECLARE_CLASS(UPackage, UObject, CLASS_Native | CLASS_Intrinsic, TEXT("/Script/CoreUObject"), COREUOBJECT_API)
public:
    UPackage(const FObjectInitializer& X) : UObject(X) {}
    void SetPackageFlags(uint32 NewFlags) { PackageFlags |= NewFlags; }
    void ClearPackageFlags(uint32 Flags) { PackageFlags &= ~Flags; }
    bool HasAnyPackageFlags(uint32 Flags) const { return (PackageFlags & Flags) != 0; }
    uint32 GetPackageFlags() const { return PackageFlags; }
    UMetaData* GetMetaData();
    void SetGuid(FGuid NewGuid) { Guid = NewGuid; }
    FGuid GetGuid() const { return Guid; }
    static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector);

private:
    uint32 PackageFlags = 0;
    UMetaData* MetaData = nullptr;
    FGuid Guid;
};
