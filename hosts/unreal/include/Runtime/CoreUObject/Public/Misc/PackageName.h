#pragma once
// Long package names ("/Game/Materials/M_Red") and the content folders they are mounted on.
#include "CoreMinimal.h"

class CORE_API FPackageName {
public:
    // RootPath like "/Game/", ContentPath the folder on disk.
    static void RegisterMountPoint(const FString& RootPath, const FString& ContentPath);
    static void UnRegisterMountPoint(const FString& RootPath, const FString& ContentPath);
    static bool TryConvertLongPackageNameToFilename(const FString& InLongPackageName, FString& OutFilename, const FString& InExtension = FString());
    static FString GetShortName(const FString& LongName);
    static FString GetLongPackagePath(const FString& InLongPackageName);
    static FString GetAssetPackageExtension() { return FString(TEXT(".uasset")); }
    // "/Root/Dir/Name": no empty part, none of \\:*?"<>|' ,.&!~@# or control characters.
    static bool IsValidLongPackageName(const FString& InLongPackageName);
};
